#pragma once

#include "core/ascii.h"

namespace sx::formula {

// Characters that may start a defined name, function name or unquoted sheet name.
inline bool isNameStart(char16_t c) {
  return isAsciiLetter(c) || c == u'_' || c == u'\\' || c >= 0x80;
}

// Characters that may continue one.
inline bool isNameChar(char16_t c) { return isNameStart(c) || isAsciiDigit(c) || c == u'.'; }

inline bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace sx::formula
