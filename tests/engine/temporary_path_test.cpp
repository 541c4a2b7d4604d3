#include "engine/temporary_path.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_folder.h"
#include "support/test_environment.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
TEST(TemporaryDirectory, EmptyVariablesMeanTheNextOneOrTheDefault) {
  const testing::ScratchFolder scratch;
  const testing::EnvironmentOverride tmpdir("TMPDIR", "");
  const testing::EnvironmentOverride tmp("TMP", std::nullopt);
  const testing::EnvironmentOverride temp("TEMP", "");
  const testing::EnvironmentOverride tempdir("TEMPDIR", std::nullopt);
  EXPECT_EQ(temporaryDirectory(), fs::path("/tmp"));

  const testing::EnvironmentOverride named("TEMPDIR", scratch.path().string());
  EXPECT_EQ(temporaryDirectory(), scratch.path());
}

TEST(TemporaryDirectory, AVariableNamingNoFolderIsAnError) {
  const testing::ScratchFolder scratch;
  const testing::EnvironmentOverride tmpdir("TMPDIR", (scratch / "missing").string());
  EXPECT_THROW(temporaryDirectory(), fs::filesystem_error);
}
#endif

}  // namespace
}  // namespace zq
