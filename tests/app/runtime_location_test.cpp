#include "app/runtime_location.h"

#include <gtest/gtest.h>

#include "support/test_environment.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

TEST(EnvironmentPath, UnsetOrEmptyGivesTheFallbackAnyOtherValueIsTakenAsIs) {
  const fs::path fallback = "fallback dir";
  {
    const testing::EnvironmentOverride unset("ZQ_H3_RUNTIME_PROBE", std::nullopt);
    EXPECT_EQ(environmentPath(u"ZQ_H3_RUNTIME_PROBE", fallback), fallback);
  }
  {
    const testing::EnvironmentOverride empty("ZQ_H3_RUNTIME_PROBE", "");
    EXPECT_EQ(environmentPath(u"ZQ_H3_RUNTIME_PROBE", fallback), fallback);
  }
  for (const char* value : {" \"quoted\" %HOME% $HOME ", "/opt/rt", "r\xC3\xA9p"}) {
    const testing::EnvironmentOverride set("ZQ_H3_RUNTIME_PROBE", value);
    EXPECT_EQ(environmentPath(u"ZQ_H3_RUNTIME_PROBE", fallback).string(), value);
  }
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgram) {
  EXPECT_EQ(fs::canonical(executableDirectory()), fs::canonical(ZQ_APP_TESTS_DIR));
}

TEST(DefaultRuntimeDirectory, WithoutAnEngineNearbyIsTheRuntimeFolderBesideTheProgram) {
  const fs::path programDirectory = ZQ_APP_TESTS_DIR;
  ASSERT_FALSE(fs::exists(programDirectory / "runtime" / "scriptorix.exe"));
  ASSERT_FALSE(fs::exists(programDirectory.parent_path() / "runtime" / "scriptorix.exe"));
  EXPECT_EQ(fs::canonical(defaultRuntimeDirectory().parent_path()),
            fs::canonical(programDirectory));
  EXPECT_EQ(defaultRuntimeDirectory().filename(), "runtime");
}

}  // namespace
}  // namespace zq
