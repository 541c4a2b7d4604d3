#include <gtest/gtest.h>

#include <string>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(ErrorReport, EveryThrownValueGivesOneClearLine) {
  struct Case {
    const char* script;
    const char* line;
  } cases[] = {
      {"0;\nthrow new Error('Sheet missing');", "line 2: Sheet missing"},
      {"throw new TypeError('bad kind');", "line 1: TypeError: bad kind"},
      {"0;\n\nthrow new Error();", "line 3: Error thrown without a message"},
      {"throw new RangeError('');", "line 1: RangeError thrown without a message"},
      {"throw 'plain text';", "line 1: uncaught exception: \"plain text\""},
      {"throw null;", "line 1: uncaught exception: null"},
      {"throw undefined;", "line 1: uncaught exception: undefined"},
      {"throw {code: 7};", "line 1: uncaught exception: {\"code\":7}"},
      {"throw {};", "line 1: uncaught exception: an object without a message"},
      {"throw Symbol('s');", "line 1: uncaught exception: a value"},
      {"throw new Error('two\\nlines');", "line 1: two lines"},
      {"var e = new Error('x'); e.name = 42; throw e;", "line 1: x"},
      {"null.f();", "line 1: TypeError: null is not an object (evaluating 'null.f')"},
      {"0;\nbuilder.CreateFile('pdf');", "line 2: Unsupported file format (use xlsx, xlsm, xltx or csv)"},
      {"0;\n\nbuilder.OpenFile('/nonexistent/folder/book.xlsx');",
       "line 3: Cannot open file: /nonexistent/folder/book.xlsx"},
      {"builder.CreateFile('xlsx');\nApi.GetActiveSheet().GetRange('A1').SetWrap('no');",
       "line 2: TypeError: Range.SetWrap: argument 1 must be a boolean, not a string"},
  };
  for (const auto& c : cases) {
    const auto outcome = runPlain(c.script);
    EXPECT_EQ(outcome.exitCode, 1) << c.script;
    EXPECT_EQ(outcome.errorLine, c.line) << c.script;
  }
}

TEST(ErrorReport, NativeErrorsAreCatchableByKind) {
  const auto outcome = runChecked(
      "builder.CreateFile('xlsx'); var s = Api.GetActiveSheet();"
      " try { s.GetRange('A1').SetWrap(1); } catch (e) { same(e instanceof TypeError, true); }"
      " try { s.GetRangeByNumber(-1, 0); } catch (e) { same(e instanceof RangeError, true); }"
      " try { Api.AddSheet('Sheet1'); } catch (e) { same(e instanceof Error, true); same(e.name, 'Error'); }"
      " TypeError = null; try { s.GetRange('A1').SetWrap(1); } catch (e) { same(e.name, 'TypeError'); }");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

TEST(ErrorReport, VeryLongMessagesAreCut) {
  const auto outcome = runPlain("throw new Error('x'.repeat(5000));");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_LT(outcome.errorLine.size(), 1100u);
}

}  // namespace
}  // namespace sx::testing
