#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "js/script_chunker.h"
#include "script_harness.h"

namespace sx::testing {
namespace {

std::string repeatLines(const std::string& line, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line + "\n";
  return text;
}

std::vector<ScriptChunk> chunksOf(std::u16string_view script, size_t target,
                                  ScriptChunker::ParsesAlone parses) {
  ScriptChunker chunker(script, target, std::move(parses));
  std::vector<ScriptChunk> chunks;
  while (auto chunk = chunker.next()) chunks.push_back(*chunk);
  return chunks;
}

TEST(ScriptChunker, WholeLinesWithTheirNumbers) {
  const std::u16string script = u"a;\nb;\r\nc;\rd;\u2028e;\nf;";
  const auto chunks = chunksOf(script, 2, [](std::u16string_view, int) { return true; });
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].text, u"a;\nb;\r\n");
  EXPECT_EQ(chunks[0].firstLine, 1);
  EXPECT_EQ(chunks[0].lastLine, 2);
  EXPECT_EQ(chunks[1].text, u"c;\rd;\u2028");
  EXPECT_EQ(chunks[1].firstLine, 3);
  EXPECT_EQ(chunks[2].text, u"e;\nf;");
  EXPECT_EQ(chunks[2].firstLine, 5);
  EXPECT_EQ(chunks[2].lastLine, 6);
  std::u16string joined;
  for (const auto& chunk : chunks) joined += chunk.text;
  EXPECT_EQ(joined, script);
}

TEST(ScriptChunker, NeverEndsBeforeALineThatContinuesTheStatement) {
  for (const char16_t* next : {u".b()", u"  (c)", u"[1]", u"+ 1", u"? x : y", u"else {}",
                               u"catch (e) {}", u"instanceof X", u"`t`", u"// note\n.b()"}) {
    const std::u16string script = std::u16string(u"a\n") + next + u"\nz;\n";
    const auto chunks = chunksOf(script, 1, [](std::u16string_view, int) { return true; });
    ASSERT_FALSE(chunks.empty());
    EXPECT_NE(chunks[0].text, u"a\n") << "split before a continuing line";
  }
  const auto always = [](std::u16string_view, int) { return true; };
  EXPECT_EQ(chunksOf(u"a\n!b\n", 1, always)[0].text, u"a\n");
  // A semicolon ends the statement: what follows starts a new one, unless it is an else.
  for (const char16_t* next : {u"(function () {})();", u"[1].forEach(f);", u"-x;"}) {
    EXPECT_EQ(chunksOf(std::u16string(u"a;  \n") + next, 1, always)[0].text, u"a;  \n")
        << toUtf8(next);
  }
  EXPECT_NE(chunksOf(u"if (a) b;\nelse c;\n", 1, always)[0].text, u"if (a) b;\n");
  EXPECT_NE(chunksOf(u"a; // c\n(b)\n", 1, always)[0].text, u"a; // c\n");
}

TEST(ScriptChunker, GrowsUntilItParsesWithFewChecks) {
  // Only the whole text parses: a long construct must cost far fewer checks than lines.
  const std::u16string script = fromUtf8(repeatLines("x;", 20000));
  int checks = 0;
  const auto chunks = chunksOf(script, 100, [&](std::u16string_view text, int) {
    ++checks;
    return text.size() == script.size();
  });
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_LT(checks, 200);
}

TEST(ChunkedRun, RawTextSpanningABoundaryRuns) {
  // Lines 1-3 fill the first chunk of 4 lines; the object literal runs on across the boundary.
  const std::string script =
      "builder.CreateFile('xlsx');\nvar s = Api.GetActiveSheet();\nvar k = 0;\n"
      "var o = {\n a: 1,\n b: 2\n};\ns.GetRange('A1').SetValue(o.a + o.b);\n"
      "same(s.GetRange('A1').GetValue(), 3);\n";
  for (size_t chunkLines : {1, 2, 3, 4, 5, 100}) {
    const auto outcome = runChecked(script, chunkLines);
    EXPECT_EQ(outcome.exitCode, 0) << chunkLines << ": " << outcome.errorLine;
  }
}

TEST(ChunkedRun, ErrorLinesInTheMiddleOfALongScript) {
  std::string script =
      repeatLines("var x = 1;", 249) + "Api.GetActiveSheet();\n" + repeatLines("x = 2;", 300);
  const auto outcome = runPlain(script, 100);
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.errorLine.rfind("line 250: ", 0), 0u) << outcome.errorLine;
  // A thrown value without a line names its chunk.
  const auto thrown =
      runPlain(repeatLines("var y = 1;", 150) + "throw 5;\n" + repeatLines("y = 2;", 10), 100);
  EXPECT_EQ(thrown.errorLine, "lines 101-161: uncaught exception: 5");
}

TEST(ChunkedRun, SyntaxErrorAtTheEndMeansNothingRan) {
  const std::string script = "globalThis.ran = true; builder.CreateFile('xlsx');\n" +
                             repeatLines("var z = 0;", 500) + "var = ;\n";
  const auto outcome = runPlain(script, 100);
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.errorLine.rfind("line 502: SyntaxError: ", 0), 0u) << outcome.errorLine;
}

TEST(ChunkedRun, ChunksShareOneGlobalScope) {
  const std::string script =
      "let a = 1; const b = 2; var c = 3; function f() { return a + b + c; }\n" +
      repeatLines("c = c + 0;", 10) + "same(f(), 6); a = 5; same(f(), 10);\n";
  EXPECT_EQ(runChecked(script, 2).exitCode, 0);
}

TEST(ChunkedRun, LaterFunctionsAreNotHoistedIntoEarlierChunks) {
  const std::string script = "later();\n" + repeatLines("0;", 5) + "function later() {}\n";
  EXPECT_EQ(runPlain(script, 100).exitCode, 0);  // one chunk: hoisted as usual
  const auto split = runPlain(script, 2);
  EXPECT_EQ(split.exitCode, 1);
  EXPECT_NE(split.errorLine.find("line 1: ReferenceError"), std::string::npos) << split.errorLine;
}

TEST(ChunkedRun, StrictModeHoldsForEveryChunk) {
  const std::string script = "'use strict';\n" + repeatLines("0;", 5) + "undeclared = 1;\n";
  const auto outcome = runPlain(script, 2);
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.errorLine.find("line 7: ReferenceError"), std::string::npos)
      << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
