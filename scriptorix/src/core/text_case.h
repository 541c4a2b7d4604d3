#pragma once

#include <string>
#include <string_view>

namespace sx {

// Simple case folding for Latin, Greek and Cyrillic letters: enough for sheet names, defined
// names and Find, which compare without regard to case.
char16_t foldCase(char16_t c);
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);
bool containsIgnoringCase(std::u16string_view text, std::u16string_view part);
// Compares a UTF-16 word with an ASCII word, ignoring ASCII case.
bool equalsAsciiIgnoringCase(std::u16string_view text, std::string_view ascii);

}  // namespace sx
