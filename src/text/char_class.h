#pragma once

namespace zq {

// Fixed classifications of single UTF-16 units, independent of the machine's locale.
// Above U+00FF they follow Unicode: White_Space, general category Nd, and Alphabetic.
bool isWideSpace(char16_t unit);
bool isWideDigit(char16_t unit);
bool isWideAlpha(char16_t unit);

}  // namespace zq
