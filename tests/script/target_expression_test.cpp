#include "script/target_expression.h"

#include <gtest/gtest.h>

#include "script_test_support.h"

namespace zq {
namespace {

using test::failureOf;
using test::json;
using test::LineCase;
using test::utf8;

TEST(SheetExpression, NamesTheActiveSheetOrLooksTheSheetUp) {
  const LineCase cases[] = {
      {R"({})", "Api.GetActiveSheet()"},
      {R"({"sheet": null})", "Api.GetActiveSheet()"},
      {R"({"sheet": ""})", "Api.GetActiveSheet()"},
      {R"({"sheet": "Data"})", R"(__zq_sheet("Data"))"},
      {R"({"sheet": "a\"b\\c"})", R"(__zq_sheet("a\"b\\c"))"},
      {R"({"sheet": "Лист"})", R"(__zq_sheet("Лист"))"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(sheetExpression(json(c.json))), c.expected);
  }
  EXPECT_EQ(failureOf([] { sheetExpression(json(R"({"sheet": 1})")); }),
            "JSON key must be a string");
}

TEST(TargetExpression, ChoosesTheFirstRuleThatApplies) {
  const LineCase cases[] = {
      {R"({"cell": "A1"})", R"(Api.GetActiveSheet().GetRange("A1"))"},
      {R"({"range": "A1:B2"})", R"(Api.GetActiveSheet().GetRange("A1:B2"))"},
      {R"({"range": "A1:B2", "cell": "C3"})", R"(Api.GetActiveSheet().GetRange("A1:B2"))"},
      {R"({"range": null, "cell": "A1"})", R"(Api.GetActiveSheet().GetRange("A1"))"},
      {R"({"sheet": "Data", "row": 0, "col": 3, "part": "cols"})",
       R"(__zq_sheet("Data").GetRangeByNumber(0, 3).GetCols())"},
      {R"({"row": null, "col": null})", "Api.GetActiveSheet().GetRangeByNumber(null, null)"},
      {R"({"row": "3", "col": true})", R"(Api.GetActiveSheet().GetRangeByNumber("3", true))"},
      {R"({"row": 1.5, "col": 2, "cols": 1, "rows": 1, "usedRange": true, "range": "A1"})",
       "Api.GetActiveSheet().GetRangeByNumber(1.5, 2)"},
      {R"({"row": 1, "cols": "A:C", "rows": 2, "usedRange": true, "range": "A1"})",
       R"(Api.GetActiveSheet().GetCols("A:C"))"},
      {R"({"col": 1, "rows": "1:3", "usedRange": true, "range": "A1"})",
       R"(Api.GetActiveSheet().GetRows("1:3"))"},
      {R"({"rows": null})", "Api.GetActiveSheet().GetRows(null)"},
      {R"({"usedRange": true, "range": "A1", "cell": "B2"})",
       "Api.GetActiveSheet().GetUsedRange()"},
      {R"({"usedRange": false, "cell": "B2"})", R"(Api.GetActiveSheet().GetRange("B2"))"},
      {R"({"usedRange": null, "cell": "B2"})", R"(Api.GetActiveSheet().GetRange("B2"))"},
      {R"({"rows": 4, "usedRange": "yes"})", "Api.GetActiveSheet().GetRows(4)"},
      {R"({"cell": "A1", "part": "rows"})", R"(Api.GetActiveSheet().GetRange("A1").GetRows())"},
      {R"({"cell": "A1", "part": ""})", R"(Api.GetActiveSheet().GetRange("A1"))"},
      {R"({"cell": "A1", "part": null})", R"(Api.GetActiveSheet().GetRange("A1"))"},
      {R"({"rows": 100000000000000})", "Api.GetActiveSheet().GetRows(100000000000000)"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(targetExpression(json(c.json))), c.expected);
  }
}

TEST(TargetExpression, ReportsTheFirstFaultInReadingOrder) {
  const LineCase cases[] = {
      {R"({})", "Action needs cell, range, row/col, rows, cols, or usedRange"},
      {R"({"sheet": "Data"})", "Action needs cell, range, row/col, rows, cols, or usedRange"},
      {R"({"row": 1})", "Action needs cell, range, row/col, rows, cols, or usedRange"},
      {R"({"range": "", "cell": "A1"})",
       "Action needs cell, range, row/col, rows, cols, or usedRange"},
      {R"({"usedRange": false})", "Action needs cell, range, row/col, rows, cols, or usedRange"},
      // Text keys are checked even when another rule would decide.
      {R"({"rows": 1, "sheet": 2})", "JSON key must be a string"},
      {R"({"rows": 1, "cell": []})", "JSON key must be a string"},
      {R"({"rows": 1, "range": {}})", "JSON key must be a string"},
      {R"({"sheet": 1, "cell": 2})", "JSON key must be a string"},
      {R"({"row": [1], "col": 1})", "Only primitive JSON values can be converted to JS here"},
      {R"({"row": 1, "col": {}})", "Only primitive JSON values can be converted to JS here"},
      {R"({"cols": [], "rows": 1})", "Only primitive JSON values can be converted to JS here"},
      {R"({"rows": {}})", "Only primitive JSON values can be converted to JS here"},
      {R"({"usedRange": "yes", "cell": "A1"})", "JSON key must be a boolean"},
      {R"({"cell": "A1", "part": "Rows"})", "Unsupported range part"},
      {R"({"cell": "A1", "part": 1})", "JSON key must be a string"},
      // A missing target is reported before a bad part.
      {R"({"part": "bad"})", "Action needs cell, range, row/col, rows, cols, or usedRange"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(failureOf([&] { targetExpression(json(c.json)); }), c.expected);
  }
}

}  // namespace
}  // namespace zq
