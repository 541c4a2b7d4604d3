#include "script/script_builder.h"

#include <cstdint>
#include <stdexcept>

#include "json/json_lookup.h"
#include "json/script_literal.h"
#include "script/action_statement.h"
#include "script/path_resolution.h"
#include "script/result_statement.h"
#include "script/script_prelude.h"

namespace zq {
namespace {

// Appends the open or create line; true when an input workbook is opened.
bool appendOpening(std::u16string& script, const JsonValue& task, std::u16string_view format,
                   const std::filesystem::path& workingDirectory) {
  const JsonValue* input = findMember(task, u"input");
  if (input == nullptr || input->kind == JsonKind::Null) {
    script += u"builder.CreateFile(" + scriptString(format) + u");\n";
    return false;
  }
  if (input->kind != JsonKind::String) throw std::runtime_error("input must be a string");
  script += u"builder.OpenFile(" + scriptString(resolveAgainst(input->string, workingDirectory)) +
            u");\n";
  return true;
}

void appendActions(std::u16string& script, const JsonValue& task, bool opened) {
  const JsonValue& actions = requireMember(task, u"actions");
  if (actions.kind != JsonKind::Array) throw std::runtime_error("actions must be an array");
  // An opened workbook has no unclaimed first sheet.
  std::int64_t sheetCounter = opened ? 1 : 0;
  for (const JsonValue& action : actions.array) {
    if (action.kind != JsonKind::Object) throw std::runtime_error("Every action must be an object");
    const std::u16string cmd = requireString(action, u"cmd");
    script +=
        isResultAction(action) ? resultStatement(action) : actionStatement(action, sheetCounter);
    script += u'\n';
    if (cmd == u"addSheet") ++sheetCounter;
  }
}

// Saved after the workbook, so the workbook itself never holds the results sheet.
void appendResults(std::u16string& script, std::u16string_view resultsPath) {
  script += u"Api.AddSheet(\"__zq_results\");\n";
  script += u"__zq_reindex_sheets();\n";
  script +=
      u"__zq_sheet(\"__zq_results\").GetRange(\"A1\").SetValue(JSON.stringify(__zq_results));\n";
  script += u"builder.SaveFile(\"csv\", " + scriptString(resultsPath) + u");\n";
}

}  // namespace

std::u16string buildScript(const JsonValue& task, std::u16string_view format,
                           std::u16string_view outputPath, std::u16string_view resultsPath,
                           const std::filesystem::path& workingDirectory) {
  std::u16string script;
  const bool opened = appendOpening(script, task, format, workingDirectory);
  script += scriptPrelude();
  script += u'\n';
  appendActions(script, task, opened);
  script += u"builder.SaveFile(" + scriptString(format) + u", " +
            scriptString(resolveAgainst(outputPath, workingDirectory)) + u");\n";
  if (!resultsPath.empty()) appendResults(script, resultsPath);
  script += u"builder.CloseFile();\n";
  return script;
}

}  // namespace zq
