#include "formula/function_names.h"

namespace sx::formula {

std::u16string_view withoutFunctionPrefix(std::u16string_view name) {
  for (std::u16string_view prefix : {u"_XLFN._XLWS.", u"_XLFN.", u"_XLWS."}) {
    if (name.substr(0, prefix.size()) == prefix) return name.substr(prefix.size());
  }
  return name;
}

}  // namespace sx::formula
