#include "model/text_width.h"

#include <algorithm>

namespace sx {

namespace {

// Relative to a digit.
double characterWidth(char16_t c) {
  if (std::u16string_view(u"iljI.,:;'!|`").find(c) != std::u16string_view::npos) return 0.45;
  if (std::u16string_view(u" ftr()[]{}\"/\\-").find(c) != std::u16string_view::npos) return 0.65;
  if (std::u16string_view(u"MW@%").find(c) != std::u16string_view::npos) return 1.6;
  if (std::u16string_view(u"mw").find(c) != std::u16string_view::npos) return 1.45;
  if (c >= u'A' && c <= u'Z') return 1.2;
  // East Asian ideographs and kana take about two digits.
  if (c >= 0x2e80 && c <= 0x9fff) return 2.0;
  if (c >= 0xac00 && c <= 0xd7af) return 2.0;
  if (c >= 0xff00 && c <= 0xffef) return 2.0;
  return 1.0;
}

}  // namespace

double estimatedTextWidth(std::u16string_view text, const Font& font) {
  double widest = 0;
  double line = 0;
  for (char16_t c : text) {
    if (c == u'\n') {
      widest = std::max(widest, line);
      line = 0;
      continue;
    }
    if (c >= 0xdc00 && c <= 0xdfff) continue;  // the second half of a surrogate pair
    line += characterWidth(c);
  }
  widest = std::max(widest, line);
  double scale = font.size / 11.0;
  if (font.bold) scale *= 1.08;
  return widest * scale;
}

}  // namespace sx
