#pragma once

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace zq {

const JsonValue* findMember(const JsonValue& object, std::u16string_view key);
const JsonValue& requireMember(const JsonValue& object, std::u16string_view key);
std::u16string requireString(const JsonValue& object, std::u16string_view key);
std::u16string optionalString(const JsonValue& object, std::u16string_view key,
                              std::u16string_view fallback);
bool optionalBool(const JsonValue& object, std::u16string_view key, bool fallback);

}  // namespace zq
