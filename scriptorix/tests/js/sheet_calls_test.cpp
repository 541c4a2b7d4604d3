#include <gtest/gtest.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(SheetCalls, NewWorkbookHasOneActiveSheet) {
  const auto outcome = runChecked(
      "builder.CreateFile('xlsx'); same(Api.GetActiveSheet().GetName(), 'Sheet1');"
      " same(Api.GetSheets().length, 1);");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
