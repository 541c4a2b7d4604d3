#pragma once

#include <string>
#include <string_view>

namespace zq {

// Lenient conversions: malformed UTF-8 becomes U+FFFD, a lone surrogate encodes as EF BF BD.
// decodeUtf8 drops one leading byte-order mark.
std::u16string decodeUtf8(std::string_view bytes);
std::string encodeUtf8(std::u16string_view text);

}  // namespace zq
