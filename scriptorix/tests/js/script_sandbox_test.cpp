#include <gtest/gtest.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(ScriptSandbox, DynamicImportIsRefused) {
  const auto outcome = runChecked(
      "var failed = false; import('/etc/passwd').then(function () {}, function () { failed = true; "
      "});\n"
      "same(failed, true);",
      1);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
