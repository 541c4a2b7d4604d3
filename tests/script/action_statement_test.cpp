#include "script/action_statement.h"

#include <gtest/gtest.h>

#include "script/color_expression.h"
#include "script_test_support.h"

namespace zq {
namespace {

using test::failureOf;
using test::json;
using test::LineCase;
using test::utf8;

constexpr const char* kMissingTarget =
    "Action needs cell, range, row/col, rows, cols, or usedRange";
constexpr const char* kNotPrimitive = "Only primitive JSON values can be converted to JS here";
constexpr const char* kBadColor = "Color must be an object {r,g,b} or a number";

void expectLines(const LineCase* begin, const LineCase* end) {
  for (const LineCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->json);
    EXPECT_EQ(utf8(actionStatement(json(c->json), 1)), c->expected);
  }
}

void expectFailures(const LineCase* begin, const LineCase* end) {
  for (const LineCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->json);
    EXPECT_EQ(failureOf([&] { actionStatement(json(c->json), 1); }), c->expected);
  }
}

TEST(ActionStatement, RejectsUnknownCommandsBeforeReadingAnythingElse) {
  const LineCase cases[] = {
      {R"({"cmd": "setvalue", "cell": "A1", "value": 1})", "Unsupported action cmd"},
      {R"({"cmd": "nothing"})", "Unsupported action cmd"},
      {R"({"cmd": "getValue", "cell": "A1"})", "Unsupported action cmd"},
      {R"({"cmd": "", "sheet": 1})", "Unsupported action cmd"},
      {R"({"cmd": 1})", "JSON key must be a string"},
      {R"({})", "Missing JSON key"},
  };
  expectFailures(std::begin(cases), std::end(cases));
}

TEST(ActionStatement, SheetLevelCommands) {
  const LineCase lines[] = {
      {R"({"cmd": "rawJs", "js": "a();\nb(\"x\");", "cell": 1})", "a();\nb(\"x\");"},
      {R"({"cmd": "moveSheet", "sheet": "A", "before": "B", "after": [], "index": {}})",
       R"(__zq_sheet("A").Move(__zq_sheet("B")); __zq_reindex_sheets();)"},
      {R"({"cmd": "moveSheet", "sheet": "A", "before": null, "after": "C", "index": {}})",
       R"(__zq_sheet("A").Move(null, __zq_sheet("C")); __zq_reindex_sheets();)"},
      {R"({"cmd": "moveSheet", "before": null, "after": null, "index": 0})",
       "(function(){ var __sheets = Api.GetSheets(); Api.GetActiveSheet().Move(__sheets[0]); "
       "__zq_reindex_sheets(); })();"},
      {R"({"cmd": "moveSheet", "sheet": "A", "index": 2, "cell": []})",
       "(function(){ var __sheets = Api.GetSheets(); __zq_sheet(\"A\").Move(__sheets[2]); "
       "__zq_reindex_sheets(); })();"},
      {R"({"cmd": "addDefName", "name": "Total", "range": "A1:B2", "sheet": "Data"})",
       R"(__zq_sheet("Data").AddDefName("Total", "'Data'!$A$1:$B$2");)"},
      {R"({"cmd": "addDefName", "name": "N", "range": "S!A1", "cell": []})",
       R"(Api.GetActiveSheet().AddDefName("N", "S!A1");)"},
  };
  expectLines(std::begin(lines), std::end(lines));

  const LineCase failures[] = {
      {R"({"cmd": "rawJs"})", "Missing JSON key"},
      {R"({"cmd": "rawJs", "js": null})", "JSON key must be a string"},
      {R"({"cmd": "addSheet"})", "Missing JSON key"},
      {R"({"cmd": "addSheet", "name": 1})", "JSON key must be a string"},
      {R"({"cmd": "moveSheet", "sheet": "A"})", "Missing JSON key"},
      {R"({"cmd": "moveSheet", "before": null, "after": null})", "Missing JSON key"},
      {R"({"cmd": "moveSheet", "before": [1], "sheet": 1})", kNotPrimitive},
      {R"({"cmd": "moveSheet", "after": {}, "sheet": 1})", kNotPrimitive},
      {R"({"cmd": "moveSheet", "index": [], "sheet": 1})", kNotPrimitive},
      {R"({"cmd": "moveSheet", "index": 0, "sheet": 1})", "JSON key must be a string"},
      {R"({"cmd": "addDefName", "name": "N"})", "Missing JSON key"},
      {R"({"cmd": "addDefName", "range": "A1"})", "Missing JSON key"},
      {R"({"cmd": "addDefName", "range": "A1", "name": 3})", "JSON key must be a string"},
      // The reference (and with it "sheet") is read before "name".
      {R"({"cmd": "addDefName", "range": "A1", "sheet": 4})", "JSON key must be a string"},
      {R"({"cmd": "addDefName", "range": 1})", "JSON key must be a string"},
  };
  expectFailures(std::begin(failures), std::end(failures));
}

TEST(ActionStatement, AddSheetClaimsTheFirstSheetOfACreatedWorkbookOnly) {
  const JsonValue action = json(R"({"cmd": "addSheet", "name": "Q\"1"})");
  EXPECT_EQ(utf8(actionStatement(action, 0)),
            R"(Api.GetActiveSheet().SetName("Q\"1"); __zq_reindex_sheets();)");
  for (std::int64_t counter : {1, 2, 7}) {
    EXPECT_EQ(utf8(actionStatement(action, counter)),
              R"(Api.AddSheet("Q\"1"); __zq_reindex_sheets();)");
  }
}

TEST(ActionStatement, ValueCommands) {
  const LineCase lines[] = {
      {R"({"cmd": "setValue", "cell": "A1", "value": 42})",
       R"(Api.GetActiveSheet().GetRange("A1").SetValue(42);)"},
      {R"({"cmd": "setValue", "cell": "A1", "value": null})",
       R"(Api.GetActiveSheet().GetRange("A1").SetValue(null);)"},
      {R"({"cmd": "setValue", "cell": "A1", "value": "=A1"})",
       R"(Api.GetActiveSheet().GetRange("A1").SetValue("=A1");)"},
      {R"({"cmd": "setValue", "sheet": "S", "rows": 2, "value": false})",
       R"(__zq_sheet("S").GetRows(2).SetValue(false);)"},
      {R"j({"cmd": "setFormula", "range": "B1:B2", "formula": "=SUM(A1:A2)"})j",
       R"j(Api.GetActiveSheet().GetRange("B1:B2").SetValue("=SUM(A1:A2)");)j"},
      {R"({"cmd": "setNumberFormat", "cell": "A1", "format": "0.00"})",
       R"(Api.GetActiveSheet().GetRange("A1").SetNumberFormat("0.00");)"},
      {R"({"cmd": "setColumnWidth", "cols": "A:B", "value": "12"})",
       R"(Api.GetActiveSheet().GetCols("A:B").SetColumnWidth("12");)"},
      {R"({"cmd": "setColumnWidth", "cell": "A1", "value": 12.5})",
       R"(Api.GetActiveSheet().GetRange("A1").SetColumnWidth(12.5);)"},
      {R"({"cmd": "setFontName", "cell": "A1", "value": "Arial"})",
       R"(Api.GetActiveSheet().GetRange("A1").SetFontName("Arial");)"},
      {R"({"cmd": "setHorizontalAlignment", "cell": "A1", "value": "center"})",
       R"(Api.GetActiveSheet().GetRange("A1").SetAlignHorizontal("center");)"},
      {R"({"cmd": "setVerticalAlignment", "cell": "A1", "value": "top"})",
       R"(Api.GetActiveSheet().GetRange("A1").SetAlignVertical("top");)"},
      {R"({"cmd": "setWrapText", "cell": "A1", "value": true})",
       R"(Api.GetActiveSheet().GetRange("A1").SetWrap(true);)"},
  };
  expectLines(std::begin(lines), std::end(lines));

  // A command's own keys are read before its target.
  const LineCase failures[] = {
      {R"({"cmd": "setValue"})", "Missing JSON key"},
      {R"({"cmd": "setValue", "value": [1]})", kNotPrimitive},
      {R"({"cmd": "setValue", "value": 1})", kMissingTarget},
      {R"({"cmd": "setValue", "value": 1, "cell": "A1", "part": "x"})", "Unsupported range part"},
      {R"({"cmd": "setFormula", "formula": 1})", "JSON key must be a string"},
      {R"({"cmd": "setFormula", "sheet": 1})", "Missing JSON key"},
      {R"({"cmd": "setFormula", "formula": "=1"})", kMissingTarget},
      {R"({"cmd": "setNumberFormat", "format": null})", "JSON key must be a string"},
      {R"({"cmd": "setNumberFormat", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setColumnWidth"})", "Missing JSON key"},
      {R"({"cmd": "setColumnWidth", "value": {}})", kNotPrimitive},
      {R"({"cmd": "setFontName", "value": 1})", "JSON key must be a string"},
      {R"({"cmd": "setFontName"})", "Missing JSON key"},
      {R"({"cmd": "setHorizontalAlignment", "value": true})", "JSON key must be a string"},
      {R"({"cmd": "setHorizontalAlignment", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setVerticalAlignment", "value": []})", "JSON key must be a string"},
      {R"({"cmd": "setVerticalAlignment", "value": "top"})", kMissingTarget},
      {R"({"cmd": "setWrapText", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setWrapText", "value": [], "cell": "A1"})", kNotPrimitive},
  };
  expectFailures(std::begin(failures), std::end(failures));
}

TEST(ActionStatement, FormattingAndStructureCommands) {
  const LineCase lines[] = {
      {R"({"cmd": "setFillColor", "cell": "A1", "color": 255})",
       "Api.GetActiveSheet().GetRange(\"A1\").SetFillColor(Api.CreateColorFromRGB(255 & 255, "
       "(255 >> 8) & 255, (255 >> 16) & 255));"},
      {R"({"cmd": "setFillColor", "cell": "A1", "color": {"r": "1", "g": 2, "b": null}})",
       R"(Api.GetActiveSheet().GetRange("A1").SetFillColor(Api.CreateColorFromRGB("1", 2, null));)"},
      {R"({"cmd": "merge", "range": "A1:B1"})",
       R"(Api.GetActiveSheet().GetRange("A1:B1").Merge(false);)"},
      {R"({"cmd": "merge", "range": "A1:B1", "across": true})",
       R"(Api.GetActiveSheet().GetRange("A1:B1").Merge(true);)"},
      {R"({"cmd": "merge", "range": "A1:B1", "across": null})",
       R"(Api.GetActiveSheet().GetRange("A1:B1").Merge(null);)"},
      {R"({"cmd": "clear", "cell": "A1", "part": "rows"})",
       R"(Api.GetActiveSheet().GetRange("A1").GetRows().Clear();)"},
      {R"({"cmd": "setBorders", "cell": "A1", "color": {"r": 0, "g": 0, "b": 0}})",
       "Api.GetActiveSheet().GetRange(\"A1\").SetBorders(\"Top\", \"Thin\", "
       "Api.CreateColorFromRGB(0, 0, 0));"},
      {R"({"cmd": "setBorders", "cell": "A1", "position": null, "lineStyle": "Thick", "color": 1})",
       "Api.GetActiveSheet().GetRange(\"A1\").SetBorders(\"Top\", \"Thick\", "
       "Api.CreateColorFromRGB(1 & 255, (1 >> 8) & 255, (1 >> 16) & 255));"},
      {R"({"cmd": "setBorders", "cell": "A1", "position": "Bottom", "lineStyle": null,
           "color": {"r": 1, "g": 2, "b": 3}})",
       "Api.GetActiveSheet().GetRange(\"A1\").SetBorders(\"Bottom\", \"Thin\", "
       "Api.CreateColorFromRGB(1, 2, 3));"},
      {R"({"cmd": "delete", "cell": "A1"})",
       R"(Api.GetActiveSheet().GetRange("A1").Delete("up");)"},
      {R"({"cmd": "delete", "cell": "A1", "shift": "left"})",
       R"(Api.GetActiveSheet().GetRange("A1").Delete("left");)"},
      {R"({"cmd": "delete", "cell": "A1", "shift": null})",
       R"(Api.GetActiveSheet().GetRange("A1").Delete(null);)"},
      {R"({"cmd": "insert", "cell": "A1"})",
       R"(Api.GetActiveSheet().GetRange("A1").Insert("down");)"},
      {R"({"cmd": "insert", "rows": 3, "shift": "right"})",
       R"(Api.GetActiveSheet().GetRows(3).Insert("right");)"},
  };
  expectLines(std::begin(lines), std::end(lines));

  const LineCase failures[] = {
      {R"({"cmd": "setFillColor", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setFillColor", "color": "red"})", kBadColor},
      {R"({"cmd": "setFillColor", "color": {"r": 1, "g": 2}, "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setFillColor", "color": {"r": 1, "g": 2, "b": 3}})", kMissingTarget},
      {R"({"cmd": "setFillColor", "color": {"r": [], "g": 2, "b": 3}, "cell": "A1"})",
       kNotPrimitive},
      {R"({"cmd": "merge", "across": []})", kNotPrimitive},
      {R"({"cmd": "merge", "across": true})", kMissingTarget},
      {R"({"cmd": "clear"})", kMissingTarget},
      {R"({"cmd": "clear", "cell": "A1", "part": "Cols"})", "Unsupported range part"},
      {R"({"cmd": "setBorders", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "setBorders", "position": 3})", "JSON key must be a string"},
      {R"({"cmd": "setBorders", "lineStyle": false})", "JSON key must be a string"},
      {R"({"cmd": "setBorders", "color": true})", kBadColor},
      {R"({"cmd": "setBorders", "color": 0})", kMissingTarget},
      {R"({"cmd": "delete", "shift": []})", kNotPrimitive},
      {R"({"cmd": "delete"})", kMissingTarget},
      {R"({"cmd": "insert", "shift": {}})", kNotPrimitive},
      {R"({"cmd": "insert", "shift": "up"})", kMissingTarget},
  };
  expectFailures(std::begin(failures), std::end(failures));
}

TEST(ActionStatement, CopyAddressesItsDestinationFirst) {
  const LineCase lines[] = {
      {R"({"cmd": "copy", "cell": "A1", "destRange": "B5"})",
       R"(Api.GetActiveSheet().GetRange("A1").Copy(Api.GetActiveSheet().GetRange("B5"));)"},
      {R"({"cmd": "copy", "sheet": "S", "cell": "A1", "destRange": "B5"})",
       R"(__zq_sheet("S").GetRange("A1").Copy(__zq_sheet("S").GetRange("B5"));)"},
      {R"({"cmd": "copy", "sheet": "S", "cell": "A1", "destRange": "B5", "destSheet": null})",
       R"(__zq_sheet("S").GetRange("A1").Copy(Api.GetActiveSheet().GetRange("B5"));)"},
      {R"({"cmd": "copy", "rows": 1, "destRange": "A:A", "destSheet": "D"})",
       R"(Api.GetActiveSheet().GetRows(1).Copy(__zq_sheet("D").GetRange("A:A"));)"},
  };
  expectLines(std::begin(lines), std::end(lines));

  const LineCase failures[] = {
      {R"({"cmd": "copy", "cell": "A1"})", "Missing JSON key"},
      {R"({"cmd": "copy", "cell": "A1", "destRange": null})", kMissingTarget},
      {R"({"cmd": "copy", "cell": "A1", "destRange": ""})", kMissingTarget},
      {R"({"cmd": "copy", "cell": "A1", "destRange": 5})", "JSON key must be a string"},
      {R"({"cmd": "copy", "cell": "A1", "destRange": "B1", "destSheet": 5})",
       "JSON key must be a string"},
      {R"({"cmd": "copy", "destRange": "B1", "destSheet": []})", "JSON key must be a string"},
      {R"({"cmd": "copy", "destRange": "B1"})", kMissingTarget},
      // The entry's "sheet" is read for the destination before "destRange".
      {R"({"cmd": "copy", "sheet": 1})", "JSON key must be a string"},
      {R"({"cmd": "copy", "sheet": "S", "destRange": "B1", "cell": "A1", "part": "x"})",
       "Unsupported range part"},
  };
  expectFailures(std::begin(failures), std::end(failures));
}

TEST(ColorExpression, NumbersAreMaskedByTheEngineAndObjectsAreTakenAsGiven) {
  const LineCase cases[] = {
      {"16711680",
       "Api.CreateColorFromRGB(16711680 & 255, (16711680 >> 8) & 255, (16711680 >> 16) & 255)"},
      {"-1", "Api.CreateColorFromRGB(-1 & 255, (-1 >> 8) & 255, (-1 >> 16) & 255)"},
      {R"({"r": 300, "g": -2, "b": 0.5, "a": []})", "Api.CreateColorFromRGB(300, -2, 0.5)"},
      {R"({"r": true, "g": "x\"", "b": false})", R"(Api.CreateColorFromRGB(true, "x\"", false))"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(colorExpression(json(c.json))), c.expected);
  }
  for (const char* bad : {"null", "true", "\"#ff0000\"", "[1, 2, 3]"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(failureOf([&] { colorExpression(json(bad)); }), kBadColor);
  }
  EXPECT_EQ(failureOf([] { colorExpression(json(R"({"r": 1, "g": 2})")); }), "Missing JSON key");
}

}  // namespace
}  // namespace zq
