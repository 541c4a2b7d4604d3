#pragma once

#include <string>

#include "json/json_value.h"

namespace zq {

// Maximum nesting of arrays and objects; one level more fails with "JSON nesting too deep"
// at the offset of the bracket that passes the bound.
inline constexpr std::size_t kMaxJsonDepth = 512;

JsonValue parseJson(std::u16string text);

}  // namespace zq
