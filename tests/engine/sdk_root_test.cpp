#include "engine/sdk_root.h"

#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

void placeLibrary(const fs::path& root) {
  testing::writeBytes(root / "sdkjs" / "common" / "Native" / "native.js", "//");
}

TEST(LocateSdkRoot, FindsTheNearestOfFourCandidates) {
  const testing::ScratchFolder scratch;
  const fs::path runtime = scratch / "l1" / "l2" / "l3" / "l4" / "runtime";
  fs::create_directories(runtime);
  EXPECT_FALSE(locateSdkRoot(runtime).has_value());

  placeLibrary(scratch / "l1");  // four levels up: out of reach
  EXPECT_FALSE(locateSdkRoot(runtime).has_value());

  placeLibrary(scratch / "l1" / "l2" / "l3");  // two levels up
  EXPECT_EQ(locateSdkRoot(runtime), scratch / "l1" / "l2" / "l3");

  placeLibrary(scratch / "l1" / "l2");  // farther than the one found already
  EXPECT_EQ(locateSdkRoot(runtime), scratch / "l1" / "l2" / "l3");

  placeLibrary(runtime);
  EXPECT_EQ(locateSdkRoot(runtime), runtime);
}

}  // namespace
}  // namespace zq
