#pragma once

#include <string>

#include "json/json_value.h"

namespace zq {

// Script expression of the sheet an action names with "sheet" (the active sheet when empty).
std::u16string sheetExpression(const JsonValue& action);

// Script expression of the range an action addresses. Precedence: "row" with "col", then
// "cols", "rows", "usedRange", and last "range" (defaulting to "cell"); "part" narrows it.
std::u16string targetExpression(const JsonValue& action);

}  // namespace zq
