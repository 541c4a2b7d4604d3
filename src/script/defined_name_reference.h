#pragma once

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace zq {

// 'name' with every single quote doubled; always quoted.
std::u16string quoteSheetName(std::u16string_view name);

// A1 reference with "$" before each column run and the row digits that follow it.
std::u16string absoluteReference(std::u16string_view reference);

// Reference text of a defined name from the action's "range" and "sheet"; a range that
// already names its sheet ("!") is taken as written.
std::u16string defNameReference(const JsonValue& action);

}  // namespace zq
