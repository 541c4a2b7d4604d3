#pragma once

#include <string>
#include <string_view>

namespace zq {

// The text between double quotes, each double quote and backslash inside preceded by a backslash.
std::u16string quotedPathText(std::u16string_view text);

}  // namespace zq
