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
      {"0;\nbuilder.CreateFile('pdf');",
       "line 2: Unsupported file format (use xlsx, xlsm, xltx or csv)"},
      {"0;\n\nbuilder.OpenFile('/nonexistent/folder/book.xlsx');",
       "line 3: Cannot open file: /nonexistent/folder/book.xlsx"},
      {"builder.CreateFile('xlsx');\nApi.GetActiveSheet().GetRange('A1').SetWrap('no');",
       "line 2: TypeError: Range.SetWrap: argument 1 must be a boolean, not a string"},
  };
  for (const auto& c : cases) {
    const auto outcome = runPlain(c.script);
    EXPECT_EQ(outcome.exitCode, 1) << c.script;
    // Each case throws on its last line, which the error line shows.
    const std::string script = c.script;
    EXPECT_EQ(outcome.errorLine,
              std::string(c.line) + "; the line reads: " + script.substr(script.rfind('\n') + 1))
        << c.script;
  }
}

TEST(ErrorReport, TheLineShowsTheStatementThatFailed) {
  struct Case {
    const char* script;
    const char* line;
  } cases[] = {
      // A text that spans lines (a rawJs action): the line that threw, without its blanks.
      {"builder.CreateFile('xlsx');\nvar a = 1;\n\t  null.f();  \nvar b = 2;",
       "line 3: TypeError: null is not an object (evaluating 'null.f'); the line reads: "
       "null.f();"},
      // Lines end at CR LF, CR and U+2028 too, as JavaScript counts them.
      {"0;\r\n0;\r0;\u2028null.f();",
       "line 4: TypeError: null is not an object (evaluating 'null.f'); the line reads: "
       "null.f();"},
      // Not inside a string literal, where JavaScriptCore takes U+2028 for text, nor after a
      // comment's quote.
      {"var s = 'a\u2028b', t = \"\\\"\u2029\";\nnull.f();",
       "line 2: TypeError: null is not an object (evaluating 'null.f'); the line reads: "
       "null.f();"},
      {"// don't\u2028null.f();",
       "line 2: TypeError: null is not an object (evaluating 'null.f'); the line reads: "
       "null.f();"},
      {"0;\nthrow new Error('x\\ty');", "line 2: x\ty; the line reads: throw new Error('x\\ty');"},
      {"0;\n\tthrow\tnew Error('tab');", "line 2: tab; the line reads: throw new Error('tab');"},
      {"var = 1;",
       "line 1: SyntaxError: Unexpected token '='. Expected a parameter pattern or a "
       "')' in parameter list.; the line reads: var = 1;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(runPlain(c.script).errorLine, c.line) << c.script;
  }
}

TEST(ErrorReport, LongLinesAreShortened) {
  const std::string statement = "null.f(" + std::string(300, '1') + ");";
  const std::string line = runPlain("0;\n" + statement).errorLine;
  const std::string shown = line.substr(line.find("; the line reads: ") + 18);
  EXPECT_EQ(shown, statement.substr(0, 117) + "...");
  // Never half a character: a pair of UTF-16 units at the cut is dropped whole.
  const std::string wide = "null.f('" + std::string(108, 'x') + "\xF0\x9F\x98\x80');";
  const std::string wideLine = runPlain(wide).errorLine;
  EXPECT_EQ(wideLine.substr(wideLine.find("; the line reads: ") + 18),
            "null.f('" + std::string(108, 'x') + "...");
}

TEST(ErrorReport, LaterChunksCountLinesTheSameWay) {
  std::string script = "var s = 'a\u2028b';\n";
  for (int i = 0; i < 150; ++i) script += "0;\n";
  script += "null.f();";
  EXPECT_EQ(runPlain(script, 100).errorLine,
            "line 152: TypeError: null is not an object (evaluating 'null.f'); the line reads: "
            "null.f();");
}

TEST(ErrorReport, ChunksWithoutALineShowNoStatement) {
  std::string script;
  for (int i = 0; i < 150; ++i) script += "0;\n";
  script += "throw 5;";
  const auto outcome = runPlain(script, 100);
  EXPECT_EQ(outcome.errorLine.find("the line reads"), std::string::npos) << outcome.errorLine;
}

// The helper looks sheets up through __zq_sheet(name), which gives undefined for a missing one.
TEST(ErrorReport, AMissingSheetOfTheHelpersLookupIsNamed) {
  const std::string prelude =
      "builder.CreateFile('xlsx');\n"
      "function __zq_sheet(name) { return Api.GetSheets().find(function (s) {"
      " return s.GetName() === name; }); }\n";
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"__zq_sheet(\"Data\").GetRange(\"A1\").SetValue(1);", "There is no sheet named \"Data\""},
      // The destination of a copy; escapes in the name are undone.
      {"__zq_sheet(\"Sheet1\").GetRange(\"A1\")"
       ".Copy(__zq_sheet(\"Ar\\\"ch\\\\ive\").GetRange(\"C5\"));",
       "There is no sheet named \"Ar\"ch\\ive\""},
      {"__zq_sheet('Two\\nlines').GetRange('A1').Clear();",
       "There is no sheet named \"Two lines\""},
      // Anything else undefined keeps JavaScriptCore's words.
      {"var t; t.GetRange('A1');",
       "TypeError: undefined is not an object (evaluating 't.GetRange')"},
      {"__zq_sheet(\"Sheet1\").Nothing();",
       "TypeError: __zq_sheet(\"Sheet1\").Nothing is not a function. (In "
       "'__zq_sheet(\"Sheet1\").Nothing()', '__zq_sheet(\"Sheet1\").Nothing' is undefined)"},
  };
  for (const auto& c : cases) {
    const std::string line = runPlain(prelude + c.line).errorLine;
    EXPECT_EQ(line, "line 3: " + std::string(c.message) + "; the line reads: " + c.line);
  }
}

TEST(ErrorReport, VeryLongMessagesAreCut) {
  const auto outcome = runPlain("throw new Error('x'.repeat(5000));");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_LT(outcome.errorLine.size(), 1100u);
}

}  // namespace
}  // namespace sx::testing
