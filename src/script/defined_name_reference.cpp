#include "script/defined_name_reference.h"

#include "json/json_lookup.h"
#include "text/char_class.h"

namespace zq {

std::u16string quoteSheetName(std::u16string_view name) {
  std::u16string quoted = u"'";
  for (char16_t unit : name) {
    quoted += unit;
    if (unit == u'\'') quoted += unit;
  }
  quoted += u'\'';
  return quoted;
}

std::u16string absoluteReference(std::u16string_view reference) {
  std::u16string result;
  std::size_t i = 0;
  while (i < reference.size()) {
    const char16_t unit = reference[i];
    if (unit == u'$' || !isWideAlpha(unit)) {
      result += unit;
      ++i;
      continue;
    }
    if (i == 0 || reference[i - 1] != u'$') result += u'$';
    while (i < reference.size() && isWideAlpha(reference[i])) result += reference[i++];
    if (i < reference.size() && isWideDigit(reference[i])) {
      result += u'$';
      while (i < reference.size() && isWideDigit(reference[i])) result += reference[i++];
    }
  }
  return result;
}

std::u16string defNameReference(const JsonValue& action) {
  const std::u16string range = requireString(action, u"range");
  if (range.find(u'!') != std::u16string::npos) return range;
  const std::u16string sheet = optionalString(action, u"sheet", u"");
  if (sheet.empty()) return absoluteReference(range);
  return quoteSheetName(sheet) + u"!" + absoluteReference(range);
}

}  // namespace zq
