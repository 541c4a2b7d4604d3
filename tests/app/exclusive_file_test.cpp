#include "app/exclusive_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <set>
#include <string>

#include "app/result_output.h"
#include "engine/process_id.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

TEST(WriteExclusiveFile, WritesANewFileAndNeverOneThatStands) {
  const testing::ScratchFolder scratch;
  const fs::path file = scratch / "new.json";
  EXPECT_EQ(writeExclusiveFile(file, "{\"a\":1}", NewFileAccess::Default), NewFileOutcome::Written);
  EXPECT_EQ(testing::readBytes(file), "{\"a\":1}");

  EXPECT_EQ(writeExclusiveFile(file, "other", NewFileAccess::Default), NewFileOutcome::NotCreated);
  EXPECT_EQ(testing::readBytes(file), "{\"a\":1}");
  EXPECT_EQ(writeExclusiveFile(scratch.path(), "x", NewFileAccess::Default),
            NewFileOutcome::NotCreated);
  EXPECT_EQ(writeExclusiveFile(scratch / "missing" / "x", "x", NewFileAccess::Default),
            NewFileOutcome::NotCreated);
}

#ifndef _WIN32
TEST(WriteExclusiveFile, NeverWritesThroughALink) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "victim", "precious");
  fs::create_symlink(scratch / "victim", scratch / "link");
  fs::create_symlink(scratch / "absent", scratch / "dangling");
  EXPECT_EQ(writeExclusiveFile(scratch / "link", "x", NewFileAccess::Default),
            NewFileOutcome::NotCreated);
  EXPECT_EQ(writeExclusiveFile(scratch / "dangling", "x", NewFileAccess::Default),
            NewFileOutcome::NotCreated);
  EXPECT_EQ(testing::readBytes(scratch / "victim"), "precious");
  EXPECT_FALSE(fs::exists(scratch / "absent"));
}

TEST(WriteExclusiveFile, OwnerOnlyOrTheUsualPermissions) {
  const testing::ScratchFolder scratch;
  const mode_t mask = umask(022);
  ASSERT_EQ(writeExclusiveFile(scratch / "private", "", NewFileAccess::OwnerOnly),
            NewFileOutcome::Written);
  ASSERT_EQ(writeExclusiveFile(scratch / "shared", "", NewFileAccess::Default),
            NewFileOutcome::Written);
  umask(mask);
  EXPECT_EQ(fs::status(scratch / "private").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(scratch / "shared").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}
#endif

TEST(ResultStagingName, CarriesTheProcessIdAndAnUnguessablePart) {
  const std::u16string prefix = u"zq_scriptorix_result_" + currentProcessIdText() + u"_";
  std::set<std::u16string> names;
  for (int draw = 0; draw < 8; ++draw) {
    const std::u16string name = resultStagingName();
    ASSERT_EQ(name.size(), prefix.size() + 16 + 4) << std::string(name.begin(), name.end());
    EXPECT_EQ(name.substr(0, prefix.size()), prefix);
    const std::u16string random = name.substr(prefix.size(), 16);
    EXPECT_EQ(random.find_first_not_of(u"0123456789abcdef"), std::u16string::npos);
    EXPECT_EQ(name.substr(prefix.size() + 16), u".tmp");
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 8u);
}

}  // namespace
}  // namespace zq
