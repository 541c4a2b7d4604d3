#pragma once

#include <string_view>

namespace zq::detail {

// Converts the longest prefix of `text` that reads as a decimal number, like the wide
// string-to-double conversion of the C locale. Throws std::invalid_argument("invalid stod
// argument") when no prefix converts and std::out_of_range("stod argument out of range") on
// overflow or underflow to zero. Subnormal results are kept: they are exact enough for a
// cell value and the caller's text did denote a non-zero number.
double convertJsonNumber(std::u16string_view text);

}  // namespace zq::detail
