#include "core/sheet_name.h"

#include "core/ascii.h"
#include "core/text_case.h"

namespace sx {

bool readsAsReference(std::u16string_view name) {
  size_t i = 0;
  while (i < name.size() && isAsciiLetter(name[i])) ++i;
  const size_t letters = i;
  while (i < name.size() && isAsciiDigit(name[i])) ++i;
  if (i == name.size() && letters >= 1 && letters <= 3 && i > letters) return true;
  i = 0;
  auto digitsFrom = [&](size_t& at) {
    while (at < name.size() && isAsciiDigit(name[at])) ++at;
  };
  if (i < name.size() && asciiUpper(name[i]) == u'R') {
    ++i;
    digitsFrom(i);
  }
  if (i < name.size() && asciiUpper(name[i]) == u'C') {
    ++i;
    digitsFrom(i);
  }
  return i > 0 && i == name.size();
}

std::u16string quoteSheetName(std::u16string_view name) {
  bool plain = !name.empty() && (isAsciiLetter(name[0]) || name[0] == u'_');
  for (char16_t c : name) {
    if (!(isAsciiLetter(c) || isAsciiDigit(c) || c == u'_' || c == u'.')) plain = false;
  }
  if (plain && (readsAsReference(name) || equalsAsciiIgnoringCase(name, "TRUE") ||
                equalsAsciiIgnoringCase(name, "FALSE"))) {
    plain = false;
  }
  if (plain) return std::u16string(name);
  std::u16string quoted = u"'";
  for (char16_t c : name) {
    quoted.push_back(c);
    if (c == u'\'') quoted.push_back(u'\'');
  }
  quoted.push_back(u'\'');
  return quoted;
}

std::u16string columnLetters(int32_t column) {
  std::u16string letters;
  for (int32_t n = column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), char16_t(u'A' + (n - 1) % 26));
  }
  return letters;
}

}  // namespace sx
