#pragma once

#include <string>
#include <string_view>

namespace sx {

// Malformed input never throws: bad UTF-8 bytes and lone surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
bool isValidUtf8(std::string_view text);

}  // namespace sx
