#ifndef _WIN32

#include "app/private_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>

#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

TEST(WritePrivateUtf8File, CreatesAnOwnerOnlyFileAndReplacesWhatStoodThere) {
  const testing::ScratchFolder scratch;
  const fs::path file = scratch / "new dir" / "script.js";
  writePrivateUtf8File(file, u"line\u00e9\n");
  EXPECT_EQ(testing::readBytes(file), "line\xC3\xA9\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  writePrivateUtf8File(file, u"x");
  EXPECT_EQ(testing::readBytes(file), "x");
}

TEST(WritePrivateUtf8File, PlantedLinkIsNotWrittenThrough) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "victim", "precious");
  fs::create_symlink(scratch / "victim", scratch / "script.js");
  fs::create_symlink(scratch / "absent", scratch / "dangling.js");

  writePrivateUtf8File(scratch / "script.js", u"script");
  writePrivateUtf8File(scratch / "dangling.js", u"script");

  EXPECT_EQ(testing::readBytes(scratch / "victim"), "precious");
  EXPECT_FALSE(fs::exists(scratch / "absent"));
  EXPECT_FALSE(fs::is_symlink(scratch / "script.js"));
  EXPECT_EQ(testing::readBytes(scratch / "script.js"), "script");
}

TEST(WritePrivateUtf8File, NameHeldByAnotherEntryFails) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "taken" / "inside", "");
  try {
    writePrivateUtf8File(scratch / "taken", u"script");
    FAIL() << "wrote over a directory";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Cannot create temporary file");
  }
}

TEST(RemoveStaleFile, RemovesFilesAndLinksAndFailsWhenSomethingStays) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "old.csv", "stale");
  fs::create_symlink(scratch / "absent", scratch / "link.csv");
  removeStaleFile(scratch / "old.csv");
  removeStaleFile(scratch / "link.csv");
  removeStaleFile(scratch / "never.csv");
  EXPECT_FALSE(fs::exists(fs::symlink_status(scratch / "old.csv")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(scratch / "link.csv")));

  testing::writeBytes(scratch / "dir.csv" / "inside", "");
  EXPECT_THROW(removeStaleFile(scratch / "dir.csv"), std::runtime_error);
}

}  // namespace
}  // namespace zq

#else

#include <gtest/gtest.h>

TEST(WritePrivateUtf8File, GuardsTheSharedTemporaryFolder) {
  GTEST_SKIP() << "owner-only files written without following links guard POSIX's shared "
                  "temporary folder; Windows gives each user a temporary folder of their own";
}

#endif
