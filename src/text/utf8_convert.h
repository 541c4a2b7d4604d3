#pragma once

#include <string>
#include <string_view>

namespace zq::detail {

// The platform's lenient converters, for non-empty input. Each throws the caller's
// failure message when the converter reports no output at all.
std::u16string convertUtf8ToUtf16(std::string_view bytes);
std::string convertUtf16ToUtf8(std::u16string_view text);

}  // namespace zq::detail
