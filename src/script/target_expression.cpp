#include "script/target_expression.h"

#include <stdexcept>
#include <string_view>

#include "json/json_lookup.h"
#include "json/script_literal.h"

namespace zq {
namespace {

std::u16string sheetExpressionFor(std::u16string_view sheetName) {
  if (sheetName.empty()) return u"Api.GetActiveSheet()";
  return u"__zq_sheet(" + scriptString(sheetName) + u")";
}

std::u16string selection(const std::u16string& sheet, std::u16string_view method,
                         const JsonValue& argument) {
  return sheet + u"." + std::u16string(method) + u"(" + scriptLiteral(argument) + u")";
}

}  // namespace

std::u16string sheetExpression(const JsonValue& action) {
  return sheetExpressionFor(optionalString(action, u"sheet", u""));
}

std::u16string targetExpression(const JsonValue& action) {
  // Every text key is checked before a branch is chosen, whichever branch that is.
  const std::u16string sheetName = optionalString(action, u"sheet", u"");
  const std::u16string cell = optionalString(action, u"cell", u"");
  const std::u16string range = optionalString(action, u"range", cell);
  const std::u16string sheet = sheetExpressionFor(sheetName);

  const JsonValue* row = findMember(action, u"row");
  const JsonValue* col = findMember(action, u"col");
  const JsonValue* cols = findMember(action, u"cols");
  const JsonValue* rows = findMember(action, u"rows");
  std::u16string target;
  if (row != nullptr && col != nullptr) {
    const std::u16string rowLiteral = scriptLiteral(*row);
    target = sheet + u".GetRangeByNumber(" + rowLiteral + u", " + scriptLiteral(*col) + u")";
  } else if (cols != nullptr) {
    target = selection(sheet, u"GetCols", *cols);
  } else if (rows != nullptr) {
    target = selection(sheet, u"GetRows", *rows);
  } else if (optionalBool(action, u"usedRange", false)) {
    target = sheet + u".GetUsedRange()";
  } else if (!range.empty()) {
    target = sheet + u".GetRange(" + scriptString(range) + u")";
  } else {
    throw std::runtime_error("Action needs cell, range, row/col, rows, cols, or usedRange");
  }

  const std::u16string part = optionalString(action, u"part", u"");
  if (part == u"cols") {
    target += u".GetCols()";
  } else if (part == u"rows") {
    target += u".GetRows()";
  } else if (!part.empty()) {
    throw std::runtime_error("Unsupported range part");
  }
  return target;
}

}  // namespace zq
