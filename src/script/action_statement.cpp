#include "script/action_statement.h"

#include <stdexcept>
#include <string_view>

#include "json/json_lookup.h"
#include "json/script_literal.h"
#include "script/color_expression.h"
#include "script/defined_name_reference.h"
#include "script/target_expression.h"

namespace zq {
namespace {

using LineBuilder = std::u16string (*)(const JsonValue& action, std::int64_t sheetCounter);

struct Command {
  std::u16string_view name;
  LineBuilder line;
};

// `arguments` is evaluated by the caller, so a command's own keys fail before its target.
std::u16string rangeCall(const JsonValue& action, std::u16string_view method,
                         const std::u16string& arguments) {
  return targetExpression(action) + u"." + std::u16string(method) + u"(" + arguments + u");";
}

std::u16string stringArgument(const JsonValue& action, std::u16string_view key) {
  return scriptString(requireString(action, key));
}

std::u16string literalArgument(const JsonValue& action, std::u16string_view key) {
  return scriptLiteral(requireMember(action, key));
}

std::u16string literalOr(const JsonValue& action, std::u16string_view key,
                         std::u16string_view fallback) {
  const JsonValue* value = findMember(action, key);
  return value != nullptr ? scriptLiteral(*value) : std::u16string(fallback);
}

const JsonValue* nonNullMember(const JsonValue& action, std::u16string_view key) {
  const JsonValue* value = findMember(action, key);
  return value != nullptr && value->kind != JsonKind::Null ? value : nullptr;
}

std::u16string moveSheetLine(const JsonValue& action) {
  if (const JsonValue* before = nonNullMember(action, u"before")) {
    const std::u16string target = scriptLiteral(*before);
    return sheetExpression(action) + u".Move(__zq_sheet(" + target + u")); __zq_reindex_sheets();";
  }
  if (const JsonValue* after = nonNullMember(action, u"after")) {
    const std::u16string target = scriptLiteral(*after);
    return sheetExpression(action) + u".Move(null, __zq_sheet(" + target +
           u")); __zq_reindex_sheets();";
  }
  const std::u16string index = literalArgument(action, u"index");
  return u"(function(){ var __sheets = Api.GetSheets(); " + sheetExpression(action) +
         u".Move(__sheets[" + index + u"]); __zq_reindex_sheets(); })();";
}

std::u16string addDefNameLine(const JsonValue& action) {
  const std::u16string reference = defNameReference(action);
  const std::u16string name = stringArgument(action, u"name");
  return sheetExpression(action) + u".AddDefName(" + name + u", " + scriptString(reference) + u");";
}

std::u16string copyLine(const JsonValue& action) {
  // The destination is addressed like any target, from a sheet and a range of its own.
  JsonValue destination;
  destination.kind = JsonKind::Object;
  if (const JsonValue* destSheet = findMember(action, u"destSheet")) {
    destination.object[u"sheet"] = *destSheet;
  } else {
    JsonValue& sheet = destination.object[u"sheet"];
    sheet.kind = JsonKind::String;
    sheet.string = optionalString(action, u"sheet", u"");
  }
  destination.object[u"range"] = requireMember(action, u"destRange");
  return rangeCall(action, u"Copy", targetExpression(destination));
}

std::u16string borderArguments(const JsonValue& action) {
  const std::u16string position = scriptString(optionalString(action, u"position", u"Top"));
  const std::u16string lineStyle = scriptString(optionalString(action, u"lineStyle", u"Thin"));
  return position + u", " + lineStyle + u", " + colorExpression(requireMember(action, u"color"));
}

constexpr Command kCommands[] = {
    {u"rawJs", [](const JsonValue& a, std::int64_t) { return requireString(a, u"js"); }},
    {u"addSheet",
     [](const JsonValue& a, std::int64_t sheetCounter) {
       const std::u16string name = stringArgument(a, u"name");
       // A created workbook already has one sheet: the first added sheet takes it over.
       const std::u16string_view call =
           sheetCounter == 0 ? u"Api.GetActiveSheet().SetName(" : u"Api.AddSheet(";
       return std::u16string(call) + name + u"); __zq_reindex_sheets();";
     }},
    {u"moveSheet", [](const JsonValue& a, std::int64_t) { return moveSheetLine(a); }},
    {u"addDefName", [](const JsonValue& a, std::int64_t) { return addDefNameLine(a); }},
    {u"setValue",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetValue", literalArgument(a, u"value"));
     }},
    {u"setFormula",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetValue", stringArgument(a, u"formula"));
     }},
    {u"setNumberFormat",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetNumberFormat", stringArgument(a, u"format"));
     }},
    {u"setColumnWidth",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetColumnWidth", literalArgument(a, u"value"));
     }},
    {u"setFontName",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetFontName", stringArgument(a, u"value"));
     }},
    {u"setHorizontalAlignment",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetAlignHorizontal", stringArgument(a, u"value"));
     }},
    {u"setVerticalAlignment",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetAlignVertical", stringArgument(a, u"value"));
     }},
    {u"setFillColor",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetFillColor", colorExpression(requireMember(a, u"color")));
     }},
    {u"setWrapText",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"SetWrap", literalArgument(a, u"value"));
     }},
    {u"merge",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"Merge", literalOr(a, u"across", u"false"));
     }},
    {u"clear", [](const JsonValue& a, std::int64_t) { return rangeCall(a, u"Clear", u""); }},
    {u"setBorders", [](const JsonValue& a,
                       std::int64_t) { return rangeCall(a, u"SetBorders", borderArguments(a)); }},
    {u"copy", [](const JsonValue& a, std::int64_t) { return copyLine(a); }},
    {u"delete",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"Delete", literalOr(a, u"shift", u"\"up\""));
     }},
    {u"insert",
     [](const JsonValue& a, std::int64_t) {
       return rangeCall(a, u"Insert", literalOr(a, u"shift", u"\"down\""));
     }},
};

}  // namespace

std::u16string actionStatement(const JsonValue& action, std::int64_t sheetCounter) {
  const std::u16string cmd = requireString(action, u"cmd");
  for (const Command& command : kCommands) {
    if (command.name == cmd) return command.line(action, sheetCounter);
  }
  throw std::runtime_error("Unsupported action cmd");
}

}  // namespace zq
