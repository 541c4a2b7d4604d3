#pragma once

namespace sx::formula {

inline bool isAsciiLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
inline bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline char16_t asciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

// Characters that may start a defined name, function name or unquoted sheet name.
inline bool isNameStart(char16_t c) {
  return isAsciiLetter(c) || c == u'_' || c == u'\\' || c >= 0x80;
}

// Characters that may continue one.
inline bool isNameChar(char16_t c) { return isNameStart(c) || isAsciiDigit(c) || c == u'.'; }

inline bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace sx::formula
