#include "script/result_statement.h"

#include <gtest/gtest.h>

#include "script_test_support.h"

namespace zq {
namespace {

using test::failureOf;
using test::json;
using test::LineCase;
using test::utf8;

constexpr const char* kMissingTarget =
    "Action needs cell, range, row/col, rows, cols, or usedRange";

TEST(IsResultAction, NeedsANonNullResultOfAnyKind) {
  EXPECT_FALSE(isResultAction(json(R"({"cmd": "getValue"})")));
  EXPECT_FALSE(isResultAction(json(R"({"cmd": "getValue", "result": null})")));
  EXPECT_TRUE(isResultAction(json(R"({"cmd": "getValue", "result": "total"})")));
  EXPECT_TRUE(isResultAction(json(R"({"result": 5})")));
  EXPECT_TRUE(isResultAction(json(R"({"result": false})")));
  EXPECT_FALSE(isResultAction(json(R"({"Result": "x"})")));
}

TEST(ResultExpression, EachGetter) {
  const LineCase cases[] = {
      {R"({"cmd": "getValue", "cell": "A1"})", R"(Api.GetActiveSheet().GetRange("A1").GetValue())"},
      {R"({"cmd": "getValue", "cell": "A1", "part": "rows"})",
       R"(Api.GetActiveSheet().GetRange("A1").GetRows().GetValue())"},
      {R"({"cmd": "getAddress", "cell": "A1"})",
       R"(Api.GetActiveSheet().GetRange("A1").GetAddress(false, false))"},
      {R"({"cmd": "getAddress", "cell": "A1", "absolute": true, "external": false})",
       R"(Api.GetActiveSheet().GetRange("A1").GetAddress(true, false))"},
      {R"({"cmd": "getAddress", "cell": "A1", "absolute": null, "external": true})",
       R"(Api.GetActiveSheet().GetRange("A1").GetAddress(false, true))"},
      {R"({"cmd": "getFormula", "sheet": "S", "cell": "B2"})",
       R"(__zq_sheet("S").GetRange("B2").GetFormula())"},
      {R"({"cmd": "getDefName", "range": "A1:B2"})",
       R"(Api.GetActiveSheet().GetRange("A1:B2").GetDefName())"},
      {R"({"cmd": "getCount", "usedRange": true})",
       "Api.GetActiveSheet().GetUsedRange().GetCount()"},
      {R"({"cmd": "getRows", "cell": "A1"})", R"(Api.GetActiveSheet().GetRange("A1").GetRows())"},
      {R"({"cmd": "getCols", "row": 0, "col": 0})",
       "Api.GetActiveSheet().GetRangeByNumber(0, 0).GetCols()"},
      // Only "sheet" matters here, so broken range keys go unnoticed.
      {R"({"cmd": "getUsedRange", "sheet": "S", "cell": 1, "range": [], "row": [], "col": {},
           "rows": [], "cols": {}, "usedRange": "x", "part": 5})",
       R"(__zq_sheet("S").GetUsedRange())"},
      {R"({"cmd": "getUsedRange"})", "Api.GetActiveSheet().GetUsedRange()"},
      {R"({"cmd": "getSheets", "sheet": 1, "part": "bad"})", "Api.GetSheets()"},
      {R"({"cmd": "find", "usedRange": true, "what": "a\"b"})",
       R"(Api.GetActiveSheet().GetUsedRange().Find("a\"b"))"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(resultExpression(json(c.json))), c.expected);
  }
}

TEST(ResultStatement, GuardsTheGetterAndPacksOutsideTheGuard) {
  EXPECT_EQ(utf8(resultStatement(json(R"({"cmd": "getValue", "cell": "A1", "result": "total"})"))),
            "__zq_results[\"total\"] = __zq_pack((function(){ try { return "
            "Api.GetActiveSheet().GetRange(\"A1\").GetValue(); } catch(e) { return null; } })());");
  EXPECT_EQ(utf8(resultStatement(json(R"({"cmd": "getSheets", "result": "say \"hi\"\\"})"))),
            "__zq_results[\"say \\\"hi\\\"\\\\\"] = __zq_pack((function(){ try { return "
            "Api.GetSheets(); } catch(e) { return null; } })());");
}

TEST(ResultStatement, ReportsFaultsInReadingOrder) {
  const LineCase cases[] = {
      {R"({"cmd": "getValue", "result": 5})", "JSON key must be a string"},
      {R"({"cmd": "getValue"})", "Missing JSON key"},
      {R"({"result": "r", "cmd": 1})", "JSON key must be a string"},
      {R"({"result": "r"})", "Missing JSON key"},
      {R"({"result": "r", "cmd": "GetValue", "cell": "A1"})", "Unsupported result action cmd"},
      {R"({"result": "r", "cmd": "setValue", "cell": "A1", "value": 1})",
       "Unsupported result action cmd"},
      {R"({"result": "r", "cmd": "getValue"})", kMissingTarget},
      {R"({"result": "r", "cmd": "getFormula", "cell": "A1", "part": "Rows"})",
       "Unsupported range part"},
      {R"({"result": "r", "cmd": "getCount", "sheet": 2})", "JSON key must be a string"},
      {R"({"result": "r", "cmd": "getUsedRange", "sheet": 2})", "JSON key must be a string"},
      {R"({"result": "r", "cmd": "getAddress", "cell": "A1", "absolute": 1})",
       "JSON key must be a boolean"},
      // Both flags are read before the target.
      {R"({"result": "r", "cmd": "getAddress", "external": "yes"})", "JSON key must be a boolean"},
      {R"({"result": "r", "cmd": "getAddress", "absolute": "yes"})", "JSON key must be a boolean"},
      {R"({"result": "r", "cmd": "getAddress"})", kMissingTarget},
      {R"({"result": "r", "cmd": "find"})", "Missing JSON key"},
      {R"({"result": "r", "cmd": "find", "what": 1})", "JSON key must be a string"},
      {R"({"result": "r", "cmd": "find", "what": "x"})", kMissingTarget},
      // "result" comes first of all.
      {R"({"result": [], "cmd": "nope"})", "JSON key must be a string"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(failureOf([&] { resultStatement(json(c.json)); }), c.expected);
  }
}

}  // namespace
}  // namespace zq
