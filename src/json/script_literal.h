#pragma once

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace zq {

std::u16string scriptLiteral(const JsonValue& value);
std::u16string scriptString(std::u16string_view text);

}  // namespace zq
