#pragma once

#include <string>

#include "json/json_value.h"

namespace zq {

// True when the action carries a non-null "result": it asks for an answer.
bool isResultAction(const JsonValue& action);

// Script expression that runs the getter named by "cmd" on the action's target.
std::u16string resultExpression(const JsonValue& action);

// One script line (without its line end) storing the packed answer under the "result" key;
// a getter that throws inside the engine answers null.
std::u16string resultStatement(const JsonValue& action);

}  // namespace zq
