#include "text/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace zq {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    folder_ = fs::temp_directory_path() / ("zq_text_file_test_" + std::to_string(seed()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static void putBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }

  fs::path folder_;
};

template <typename Call>
void expectFailure(Call call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "expected failure: " << message;
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(error.what(), message);
  }
}

TEST_F(TextFileTest, ReadsBytesUnchanged) {
  const std::string bytes("line\r\nnext\0end\xFF", 15);
  putBytes(folder_ / "raw.bin", bytes);
  EXPECT_EQ(readFileBytes(folder_ / "raw.bin"), bytes);

  putBytes(folder_ / "empty.json", "");
  EXPECT_EQ(readFileBytes(folder_ / "empty.json"), "");
  EXPECT_EQ(readUtf8File(folder_ / "empty.json"), u"");
}

TEST_F(TextFileTest, ReadsLargeFilesWhole) {
  std::string bytes(200000, 'a');
  bytes.back() = 'z';
  putBytes(folder_ / "large.txt", bytes);
  EXPECT_EQ(readFileBytes(folder_ / "large.txt"), bytes);
}

TEST_F(TextFileTest, DecodesAndDropsTheMark) {
  putBytes(folder_ / "task.json", "\xEF\xBB\xBF{\"a\":\"\xC3\xA9\"}");
  EXPECT_EQ(readUtf8File(folder_ / "task.json"), u"{\"a\":\"\u00E9\"}");
}

TEST_F(TextFileTest, UnreadableInputFails) {
  expectFailure([&] { readFileBytes(folder_ / "missing.json"); }, "Cannot open input JSON");
  expectFailure([&] { readUtf8File(folder_ / "missing.json"); }, "Cannot open input JSON");
  expectFailure([&] { readFileBytes(folder_); }, "Cannot open input JSON");
}

TEST_F(TextFileTest, WritesExactBytesWithoutMark) {
  const fs::path file = folder_ / "script.js";
  writeUtf8File(file, u"a\r\nb\n\u00E9\U0001F600");
  EXPECT_EQ(readFileBytes(file), "a\r\nb\n\xC3\xA9\xF0\x9F\x98\x80");

  writeUtf8File(file, u"");
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::file_size(file), 0u) << "an existing file is truncated";
}

TEST_F(TextFileTest, CreatesMissingFolders) {
  const fs::path file = folder_ / "one" / "two" / "out.json";
  writeUtf8File(file, u"{}");
  EXPECT_EQ(readFileBytes(file), "{}");
}

TEST_F(TextFileTest, BareFileNameCreatesNoFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  writeUtf8File("bare.txt", u"x");
  fs::current_path(previous);
  EXPECT_EQ(readFileBytes(folder_ / "bare.txt"), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(TextFileTest, WideFileNamesRoundTrip) {
  const fs::path file = folder_ / fs::path(u"\u041B\u0438\u0441\u0442.txt");
  writeUtf8File(file, u"\u00FC");
  EXPECT_EQ(readUtf8File(file), u"\u00FC");
}

TEST_F(TextFileTest, UnopenableOutputFails) {
  // A folder cannot be opened as a file.
  fs::create_directories(folder_ / "taken");
  expectFailure([&] { writeUtf8File(folder_ / "taken", u"x"); }, "Cannot open output file");
}

TEST_F(TextFileTest, FolderCreationFailurePassesThrough) {
  putBytes(folder_ / "plain", "keep");
  EXPECT_THROW(writeUtf8File(folder_ / "plain" / "sub" / "out.txt", u"x"), fs::filesystem_error);
  EXPECT_EQ(readFileBytes(folder_ / "plain"), "keep");
}

TEST_F(TextFileTest, FailedWriteIsReported) {
  if (!fs::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full to simulate a full disk";
  }
  expectFailure([] { writeUtf8File("/dev/full", std::u16string(100000, u'x')); },
                "Cannot write output file");
}

}  // namespace
}  // namespace zq
