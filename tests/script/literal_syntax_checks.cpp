// Built into zq_script_tests where JavaScriptCore is available: the generated scripts are
// parsed and run by a real JavaScript engine against recording stand-ins.
#include <gtest/gtest.h>

#include "hostile_tasks.h"
#include "script/script_prelude.h"
#include "script_checker.h"

namespace zq {
namespace {

using test::hostileScript;
using test::hostileTexts;
using test::kPlacements;
using test::Placement;
using test::ScriptChecker;
using test::utf8;

// Stand-ins for the engine: every call answers another stand-in and records its string
// arguments and the property names asked of it.
constexpr std::u16string_view kRecordingEngine =
    u"var __seen = []; var __zq_results = {};"
    u"function __record(args) { for (var i = 0; i < args.length; i++)"
    u"  if (typeof args[i] === 'string') __seen.push(args[i]); }"
    u"function __stub() { return new Proxy({}, { get: function(target, property) {"
    u"  if (typeof property === 'string') __seen.push(property);"
    u"  return function() { __record(arguments); return __stub(); }; } }); }"
    u"var builder = __stub(); var Api = __stub();"
    u"function __zq_sheet(name) { __record([name]); return __stub(); }"
    u"function __zq_reindex_sheets() {}"
    u"function __zq_pack(v) { return v; }";

TEST(LiteralSyntax, EveryTaskTextDecodesToItself) {
  for (const Placement& placement : kPlacements) {
    for (const std::u16string& text : hostileTexts()) {
      SCOPED_TRACE(std::string(placement.name) + ": " + utf8(text));
      const std::u16string script = hostileScript(placement, text).script;

      ScriptChecker checker;
      EXPECT_TRUE(checker.parses(script));

      // Without the prelude line, so the recording stand-ins stay in place.
      const std::size_t preludeStart = script.find(u'\n') + 1;
      ASSERT_EQ(script.substr(preludeStart, scriptPrelude().size()), scriptPrelude());
      const std::u16string body =
          script.substr(0, preludeStart) + script.substr(preludeStart + scriptPrelude().size() + 1);
      ASSERT_EQ(checker.run(kRecordingEngine), u"");
      EXPECT_EQ(utf8(checker.run(body)), "");
      checker.setGlobalString(u"__expected", text);
      EXPECT_TRUE(
          checker.isTrue(u"__seen.indexOf(__expected) >= 0 || "
                         u"Object.prototype.hasOwnProperty.call(__zq_results, __expected)"));
    }
  }
}

// The checker itself must notice a literal that breaks out, or the test above proves nothing.
TEST(LiteralSyntax, CheckerRejectsABrokenLiteral) {
  ScriptChecker checker;
  EXPECT_FALSE(checker.parses(u"builder.OpenFile(\"a\nb\");\n"));
  EXPECT_TRUE(checker.parses(u"builder.OpenFile(\"a\\nb\");\n"));
  ASSERT_EQ(checker.run(kRecordingEngine), u"");
  EXPECT_EQ(checker.run(u"builder.OpenFile(\"x\"); Api.Evil(\"\");"), u"");
  checker.setGlobalString(u"__expected", u"x\"); Api.Evil(\"");
  EXPECT_FALSE(checker.isTrue(u"__seen.indexOf(__expected) >= 0"));
}

}  // namespace
}  // namespace zq
