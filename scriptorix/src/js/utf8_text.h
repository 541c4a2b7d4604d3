#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sx {

// Strict UTF-8 to UTF-16 for script files (the model's fromUtf8 is lenient by design): no overlong
// forms, no surrogates, nothing past U+10FFFF. Gives nothing when the bytes are not UTF-8.
std::optional<std::u16string> decodeUtf8(std::string_view bytes);

}  // namespace sx
