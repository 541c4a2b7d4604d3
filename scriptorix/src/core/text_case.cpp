#include "core/text_case.h"

namespace sx {

char16_t foldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return static_cast<char16_t>(c + 32);
  }
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    // Latin Extended-A pairs: even upper/odd lower, except the run from 0x139 to 0x148 and
    // from 0x179 to 0x17E, where upper case is odd.
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool isUpper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
    return isUpper ? static_cast<char16_t>(c + 1) : c;
  }
  return c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  }
  return true;
}

bool containsIgnoringCase(std::u16string_view text, std::u16string_view part) {
  if (part.empty()) return true;
  if (part.size() > text.size()) return false;
  for (size_t start = 0; start + part.size() <= text.size(); ++start) {
    size_t k = 0;
    while (k < part.size() && foldCase(text[start + k]) == foldCase(part[k])) ++k;
    if (k == part.size()) return true;
  }
  return false;
}

bool equalsAsciiIgnoringCase(std::u16string_view text, std::string_view ascii) {
  if (text.size() != ascii.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (foldCase(text[i]) != foldCase(static_cast<char16_t>(ascii[i]))) return false;
  }
  return true;
}

}  // namespace sx
