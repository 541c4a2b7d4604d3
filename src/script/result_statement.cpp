#include "script/result_statement.h"

#include <stdexcept>
#include <string_view>

#include "json/json_lookup.h"
#include "json/script_literal.h"
#include "script/target_expression.h"

namespace zq {
namespace {

using ExpressionBuilder = std::u16string (*)(const JsonValue& action);

struct Getter {
  std::u16string_view name;
  ExpressionBuilder expression;
};

std::u16string flag(bool value) { return value ? u"true" : u"false"; }

std::u16string addressExpression(const JsonValue& action) {
  const std::u16string external = flag(optionalBool(action, u"external", false));
  const std::u16string absolute = flag(optionalBool(action, u"absolute", false));
  return targetExpression(action) + u".GetAddress(" + absolute + u", " + external + u")";
}

std::u16string findExpression(const JsonValue& action) {
  const std::u16string what = scriptString(requireString(action, u"what"));
  return targetExpression(action) + u".Find(" + what + u")";
}

constexpr Getter kGetters[] = {
    {u"getValue", [](const JsonValue& a) { return targetExpression(a) + u".GetValue()"; }},
    {u"getAddress", addressExpression},
    {u"getFormula", [](const JsonValue& a) { return targetExpression(a) + u".GetFormula()"; }},
    {u"getDefName", [](const JsonValue& a) { return targetExpression(a) + u".GetDefName()"; }},
    {u"getCount", [](const JsonValue& a) { return targetExpression(a) + u".GetCount()"; }},
    {u"getRows", [](const JsonValue& a) { return targetExpression(a) + u".GetRows()"; }},
    {u"getCols", [](const JsonValue& a) { return targetExpression(a) + u".GetCols()"; }},
    {u"getUsedRange", [](const JsonValue& a) { return sheetExpression(a) + u".GetUsedRange()"; }},
    {u"getSheets", [](const JsonValue&) { return std::u16string(u"Api.GetSheets()"); }},
    {u"find", findExpression},
};

}  // namespace

bool isResultAction(const JsonValue& action) {
  const JsonValue* result = findMember(action, u"result");
  return result != nullptr && result->kind != JsonKind::Null;
}

std::u16string resultExpression(const JsonValue& action) {
  const std::u16string cmd = requireString(action, u"cmd");
  for (const Getter& getter : kGetters) {
    if (getter.name == cmd) return getter.expression(action);
  }
  throw std::runtime_error("Unsupported result action cmd");
}

std::u16string resultStatement(const JsonValue& action) {
  const std::u16string key = scriptString(requireString(action, u"result"));
  const std::u16string expression = resultExpression(action);
  return u"__zq_results[" + key + u"] = __zq_pack((function(){ try { return " + expression +
         u"; } catch(e) { return null; } })());";
}

}  // namespace zq
