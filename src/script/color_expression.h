#pragma once

#include <string>

#include "json/json_value.h"

namespace zq {

// Engine colour from {"r","g","b"} or from one number packing red in its low byte.
std::u16string colorExpression(const JsonValue& color);

}  // namespace zq
