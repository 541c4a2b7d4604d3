#pragma once

namespace sx {

// The reference grammar (A1, R1C1, function names) is ASCII: these classify its characters.
inline bool isAsciiLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
inline bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline char16_t asciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

}  // namespace sx
