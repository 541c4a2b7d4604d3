#include "app/output_targets.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <stdexcept>
#include <string>

#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

class OutputTargetsTest : public ::testing::Test {
 protected:
  OutputTargetsTest() { testing::writeBytes(scratch_ / "dir" / "book.xlsx", "workbook"); }

  testing::ScratchFolder scratch_;
  fs::path dir_ = scratch_ / "dir";
};

TEST_F(OutputTargetsTest, OneFileUnderAnotherPathIsTheSameFile) {
  const fs::path book = dir_ / "book.xlsx";
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  const bool relative = sameFile("book.xlsx", book);
  const bool dotted = sameFile("./book.xlsx", book);
  const bool relativeAbsent = sameFile("new.json", dir_ / "new.json");
  fs::current_path(cwd);
  EXPECT_TRUE(relative);
  EXPECT_TRUE(dotted);
  EXPECT_TRUE(relativeAbsent);
  EXPECT_TRUE(sameFile(book, dir_ / "missing" / ".." / "book.xlsx"));
  EXPECT_TRUE(sameFile(dir_ / "a" / ".." / "new.json", dir_ / "new.json"));
  EXPECT_TRUE(sameFile(dir_ / "new.json", scratch_ / "dir" / "." / "new.json"));

  EXPECT_FALSE(sameFile(book, dir_ / "other.xlsx"));
  EXPECT_FALSE(sameFile(dir_ / "a.json", dir_ / "b.json"));
  EXPECT_FALSE(sameFile(book, scratch_ / "book.xlsx"));
}

TEST_F(OutputTargetsTest, CaseMattersOnlyWhereTheFileSystemIgnoresIt) {
#ifdef _WIN32
  EXPECT_TRUE(sameFile(dir_ / "New.JSON", dir_ / "new.json"));
  EXPECT_TRUE(sameFile(dir_ / "BOOK.xlsx", dir_ / "book.xlsx"));
#else
  EXPECT_FALSE(sameFile(dir_ / "New.JSON", dir_ / "new.json"));
#endif
}

#ifndef _WIN32
std::string refusal(const fs::path& output, const fs::path& resultOutput) {
  try {
    checkOutputTargets(output, resultOutput);
    return "";
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

TEST_F(OutputTargetsTest, LinksLeadToTheSameFile) {
  fs::create_symlink(dir_ / "book.xlsx", scratch_ / "soft.xlsx");
  fs::create_hard_link(dir_ / "book.xlsx", scratch_ / "hard.xlsx");
  fs::create_directory_symlink(dir_, scratch_ / "linked dir");
  EXPECT_TRUE(sameFile(scratch_ / "soft.xlsx", dir_ / "book.xlsx"));
  EXPECT_TRUE(sameFile(scratch_ / "hard.xlsx", dir_ / "book.xlsx"));
  EXPECT_TRUE(sameFile(scratch_ / "linked dir" / "book.xlsx", dir_ / "book.xlsx"));
  EXPECT_TRUE(sameFile(scratch_ / "linked dir" / "new.json", dir_ / "new.json"));
}

TEST_F(OutputTargetsTest, OnlyRegularFilesOrAbsentPathsMayBeReplaced) {
  ASSERT_EQ(mkfifo((scratch_ / "fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", scratch_ / "null link");
  fs::create_symlink(dir_ / "book.xlsx", scratch_ / "book link");
  fs::create_symlink(scratch_ / "absent", scratch_ / "dangling");

  EXPECT_EQ(refusal("/dev/null", {}), "Output is not a regular file");
  EXPECT_EQ(refusal(scratch_ / "fifo", {}), "Output is not a regular file");
  EXPECT_EQ(refusal(scratch_ / "null link", {}), "Output is not a regular file");
  EXPECT_EQ(refusal(dir_ / "new.xlsx", "/dev/null"), "Result output is not a regular file");
  EXPECT_EQ(refusal(dir_ / "new.xlsx", scratch_ / "fifo"), "Result output is not a regular file");

  EXPECT_EQ(refusal(scratch_ / "book link", scratch_ / "dangling"), "");
}
#endif

TEST(WindowsDeviceName, ReservedNamesInAnyCaseWithOrWithoutExtension) {
  for (const std::u16string_view name :
       {u"NUL", u"nul", u"Con.txt", u"PRN", u"aux.json", u"COM1", u"com9.xlsx", u"LPT1",
        u"lpt5.tar.gz", u"CONIN$", u"conout$", u"NUL .json", u"con"}) {
    EXPECT_TRUE(isWindowsDeviceName(name)) << std::string(name.begin(), name.end());
  }
  for (const std::u16string_view name : {u"", u"NULL", u"nul_x", u"xnul", u"COM0", u"COM10", u"LPT",
                                         u"console.txt", u"book.xlsx", u".nul", u"CON1"}) {
    EXPECT_FALSE(isWindowsDeviceName(name)) << std::string(name.begin(), name.end());
  }
}

}  // namespace
}  // namespace zq
