#include "script/script_builder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "script/script_prelude.h"
#include "script_test_support.h"

namespace zq {
namespace {

using test::failureOf;
using test::json;
using test::LineCase;
using test::utf8;

// The prelude, as the engine must receive it.
constexpr const char* kPrelude =
    R"(var __zq_sheets = {}; var __zq_results = {}; function __zq_reindex_sheets() { __zq_sheets = {}; Api.GetSheets().forEach(function(s) { __zq_sheets[s.GetName()] = s; }); } function __zq_sheet(name) { __zq_reindex_sheets(); return __zq_sheets[name]; } function __zq_pack(v) { if (v === undefined || v === null) return null; if (Array.isArray(v)) return v.map(__zq_pack); if (v && typeof v.GetName === 'function') return v.GetName(); if (v && typeof v.GetAddress === 'function') return v.GetAddress(false, false); if (v && typeof v.GetCount === 'function') return v.GetCount(); if (typeof v === 'object') return String(v); return v; } __zq_reindex_sheets();)";

std::string scriptOf(const char* task, std::u16string_view resultsPath = u"",
                     const std::filesystem::path& workingDirectory = {}) {
  return utf8(buildScript(json(task), u"xlsx", u"out.xlsx", resultsPath, workingDirectory));
}

std::vector<std::string> linesOf(const std::string& script) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = script.find('\n'); end != std::string::npos;
       start = end + 1, end = script.find('\n', start)) {
    lines.push_back(script.substr(start, end - start));
  }
  EXPECT_EQ(start, script.size()) << "the script must end with a line feed";
  return lines;
}

TEST(ScriptPrelude, IsOneLineOf653Characters) {
  EXPECT_EQ(scriptPrelude().size(), 653u);
  EXPECT_EQ(utf8(scriptPrelude()), kPrelude);
}

TEST(BuildScript, WritesTheCompleteExampleByteForByte) {
  const JsonValue task =
      json(R"({"output": "C:\\out\\book.xlsx", "resultOutput": "C:\\out\\answers.json",
      "actions": [{"cmd": "setValue", "cell": "A1", "value": 42},
                  {"cmd": "getValue", "cell": "A1", "result": "total"}]})");
  const std::string expected =
      std::string("builder.CreateFile(\"xlsx\");\n") + kPrelude + "\n" +
      "Api.GetActiveSheet().GetRange(\"A1\").SetValue(42);\n"
      "__zq_results[\"total\"] = __zq_pack((function(){ try { return "
      "Api.GetActiveSheet().GetRange(\"A1\").GetValue(); } catch(e) { return null; } })());\n"
      "builder.SaveFile(\"xlsx\", \"C:\\\\out\\\\book.xlsx\");\n"
      "Api.AddSheet(\"__zq_results\");\n"
      "__zq_reindex_sheets();\n"
      "__zq_sheet(\"__zq_results\").GetRange(\"A1\").SetValue(JSON.stringify(__zq_results));\n"
      "builder.SaveFile(\"csv\", \"C:\\\\Temp\\\\zq_scriptorix_results_316.csv\");\n"
      "builder.CloseFile();\n";
  EXPECT_EQ(utf8(buildScript(task, u"xlsx", u"C:\\out\\book.xlsx",
                             u"C:\\Temp\\zq_scriptorix_results_316.csv")),
            expected);
}

TEST(BuildScript, MinimalScriptIsFourLines) {
  const std::string expected = std::string("builder.CreateFile(\"xlsx\");\n") + kPrelude + "\n" +
                               "builder.SaveFile(\"xlsx\", \"out.xlsx\");\nbuilder.CloseFile();\n";
  EXPECT_EQ(scriptOf(R"({"actions": []})"), expected);
  EXPECT_EQ(scriptOf(R"({"input": null, "actions": []})"), expected);
}

TEST(BuildScript, OpensTheInputAndPassesTheFormatOnUnchecked) {
  EXPECT_EQ(linesOf(scriptOf(R"({"input": "", "actions": []})"))[0], R"(builder.OpenFile("");)");
  EXPECT_EQ(linesOf(scriptOf(R"({"input": "C:\\in\\a.xlsx", "actions": []})"))[0],
            R"(builder.OpenFile("C:\\in\\a.xlsx");)");

  const auto lines = linesOf(utf8(buildScript(json(R"({"actions": []})"), u"we\"ird", u"o", u"")));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], R"(builder.CreateFile("we\"ird");)");
  EXPECT_EQ(lines[2], R"(builder.SaveFile("we\"ird", "o");)");
}

TEST(BuildScript, KeepsReadBackLinesInPlaceWithoutAResultsBlock) {
  const auto lines = linesOf(scriptOf(R"({"actions": [
      {"cmd": "getSheets", "result": "s"}, {"cmd": "clear", "cell": "A1"},
      {"cmd": "getValue", "cell": "A1", "result": "v"}]})"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[2].rfind("__zq_results[\"s\"]", 0), 0u);
  EXPECT_EQ(lines[3], R"(Api.GetActiveSheet().GetRange("A1").Clear();)");
  EXPECT_EQ(lines[4].rfind("__zq_results[\"v\"]", 0), 0u);
  EXPECT_EQ(lines[5], R"(builder.SaveFile("xlsx", "out.xlsx");)");
  EXPECT_EQ(lines[6], "builder.CloseFile();");
}

TEST(BuildScript, RawScriptKeepsItsOwnLineBreaks) {
  const auto lines = linesOf(scriptOf(R"({"actions": [{"cmd": "rawJs", "js": "a();\nb();"}]})"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], "a();");
  EXPECT_EQ(lines[3], "b();");
}

TEST(BuildScript, FirstAddSheetOfACreatedWorkbookRenamesTheActiveSheet) {
  const char* created = R"({"actions": [
      {"cmd": "getSheets", "result": "s"}, {"cmd": "moveSheet", "index": 0},
      {"cmd": "rawJs", "js": "x();"}, {"cmd": "addSheet", "name": "A"},
      {"cmd": "addSheet", "name": "B"}]})";
  auto lines = linesOf(scriptOf(created));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[5], R"(Api.GetActiveSheet().SetName("A"); __zq_reindex_sheets();)");
  EXPECT_EQ(lines[6], R"(Api.AddSheet("B"); __zq_reindex_sheets();)");

  lines = linesOf(scriptOf(R"({"input": "in.xlsx", "actions": [
      {"cmd": "addSheet", "name": "A"}, {"cmd": "addSheet", "name": "B"}]})"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], R"(Api.AddSheet("A"); __zq_reindex_sheets();)");
  EXPECT_EQ(lines[3], R"(Api.AddSheet("B"); __zq_reindex_sheets();)");
}

TEST(BuildScript, ReportsTheFirstFaultInScriptOrder) {
  const LineCase cases[] = {
      {R"({"input": 5})", "input must be a string"},
      {R"({"input": [], "actions": 1})", "input must be a string"},
      {R"({})", "Missing JSON key"},
      {R"({"actions": null})", "actions must be an array"},
      {R"({"actions": {}})", "actions must be an array"},
      {R"({"actions": "x"})", "actions must be an array"},
      {R"({"actions": 1})", "actions must be an array"},
      {R"({"actions": true})", "actions must be an array"},
      {R"({"actions": [1]})", "Every action must be an object"},
      {R"({"actions": ["x"]})", "Every action must be an object"},
      {R"({"actions": [[]]})", "Every action must be an object"},
      {R"({"actions": [null]})", "Every action must be an object"},
      {R"({"actions": [{"result": "r"}]})", "Missing JSON key"},
      {R"({"actions": [{"cmd": 1, "result": "r"}]})", "JSON key must be a string"},
      {R"({"actions": [{"cmd": "nope"}, 5]})", "Unsupported action cmd"},
      {R"({"actions": [{"cmd": "clear", "cell": "A1"}, 5, {"cmd": "nope"}]})",
       "Every action must be an object"},
      {R"({"actions": [{"cmd": "getValue", "cell": "A1", "result": null}]})",
       "Unsupported action cmd"},
      {R"({"actions": [{"cmd": "nope", "result": "r"}]})", "Unsupported result action cmd"},
      {R"({"actions": [{"cmd": "addsheet", "name": "A"}]})", "Unsupported action cmd"},
      {R"({"actions": [{"cmd": "addSheet", "name": "A", "result": "r"}]})",
       "Unsupported result action cmd"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(failureOf([&] { scriptOf(c.json); }), c.expected);
  }
}

#ifdef _WIN32
const std::filesystem::path kWorkingDirectory = L"C:\\work\\dir";
constexpr const char* kJoinedInput = R"(builder.OpenFile("C:\\work\\dir\\in\\a.xlsx");)";
constexpr const char* kAbsoluteInput = R"(D:\\abs\\a.xlsx)";
constexpr const char* kJoinedOutput = R"("C:\\work\\dir\\out.xlsx")";
#else
const std::filesystem::path kWorkingDirectory = "/work/dir";
constexpr const char* kJoinedInput = R"(builder.OpenFile("/work/dir/in/a.xlsx");)";
constexpr const char* kAbsoluteInput = "/abs/a.xlsx";
constexpr const char* kJoinedOutput = R"("/work/dir/out.xlsx")";
#endif

TEST(BuildScript, ResolvesRelativePathsAgainstTheWorkingDirectory) {
#ifdef _WIN32
  const char* relativeTask = R"({"input": "in\\a.xlsx", "actions": []})";
#else
  const char* relativeTask = R"({"input": "in/a.xlsx", "actions": []})";
#endif
  auto lines = linesOf(scriptOf(relativeTask, u"", kWorkingDirectory));
  EXPECT_EQ(lines[0], kJoinedInput);
  EXPECT_EQ(lines[2], std::string("builder.SaveFile(\"xlsx\", ") + kJoinedOutput + ");");

  const std::string absoluteTask =
      std::string(R"({"input": ")") + kAbsoluteInput + R"(", "actions": []})";
  lines = linesOf(scriptOf(absoluteTask.c_str(), u"", kWorkingDirectory));
  EXPECT_EQ(lines[0], std::string("builder.OpenFile(\"") + kAbsoluteInput + "\");");

  // An empty input, the results path and everything without a working directory stay as given.
  lines = linesOf(scriptOf(R"({"input": "", "actions": []})", u"res.csv", kWorkingDirectory));
  EXPECT_EQ(lines[0], R"(builder.OpenFile("");)");
  EXPECT_EQ(lines[6], R"(builder.SaveFile("csv", "res.csv");)");
  lines = linesOf(scriptOf(relativeTask));
  EXPECT_EQ(lines[2], R"(builder.SaveFile("xlsx", "out.xlsx");)");
}

}  // namespace
}  // namespace zq
