#pragma once

#include <cstdint>
#include <string>

#include "json/json_value.h"

namespace zq {

// One script line (without its line end) for an ordinary action. `sheetCounter` is 0 while
// the first sheet of a created workbook is still unclaimed by an "addSheet".
std::u16string actionStatement(const JsonValue& action, std::int64_t sheetCounter);

}  // namespace zq
