#include "app/quoted_path.h"

namespace zq {

std::u16string quotedPathText(std::u16string_view text) {
  std::u16string quoted = u"\"";
  for (const char16_t unit : text) {
    if (unit == u'"' || unit == u'\\') {
      quoted += u'\\';
    }
    quoted += unit;
  }
  quoted += u'"';
  return quoted;
}

}  // namespace zq
