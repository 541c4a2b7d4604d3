#include <gtest/gtest.h>

#include <algorithm>

#include "hostile_tasks.h"

namespace zq {
namespace {

using test::HostileScript;
using test::hostileScript;
using test::hostileTexts;
using test::kPlacements;
using test::Placement;

TEST(LiteralSafety, EveryActionStaysOnOneLine) {
  for (const Placement& placement : kPlacements) {
    for (const std::u16string& text : hostileTexts()) {
      SCOPED_TRACE(std::string(placement.name) + ": " + test::utf8(text));
      const HostileScript built = hostileScript(placement, text);
      const std::size_t frame = built.hasResults ? 8 : 4;
      EXPECT_EQ(
          static_cast<std::size_t>(std::count(built.script.begin(), built.script.end(), u'\n')),
          frame + built.actionCount);
      // Nothing of the frame but its own line ends: the last line is the close line.
      EXPECT_TRUE(built.script.ends_with(u"\nbuilder.CloseFile();\n"));
    }
  }
}

}  // namespace
}  // namespace zq
