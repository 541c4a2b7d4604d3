#include "app/result_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace zq {
namespace {

struct CsvCase {
  const char* name;
  std::u16string csv;
  std::u16string json;
};

class ExtractResultJsonTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(ExtractResultJsonTest, TakesTheFirstField) {
  EXPECT_EQ(extractResultJson(GetParam().csv), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ExtractResultJsonTest,
    ::testing::Values(
        CsvCase{"Empty", u"", u"{}"}, CsvCase{"OnlyLineEnds", u"\r\n\n\r", u"{}"},
        CsvCase{"OnlyByteOrderMark", u"\uFEFF", u"{}"},
        CsvCase{"QuotedWithDoubledQuotes", u"\"{\"\"a\"\":1,\"\"b\"\":\"\"x,y\"\"}\"\r\n",
                u"{\"a\":1,\"b\":\"x,y\"}"},
        CsvCase{"QuotedThenMoreFieldsAndRecords", u"\"{\"\"a\"\":2}\",second\nnext,record\n",
                u"{\"a\":2}"},
        CsvCase{"QuotedEmpty", u"\"\"", u"{}"}, CsvCase{"QuotedEmptyThenMore", u"\"\",x", u"{}"},
        CsvCase{"QuotedUnclosed", u"\"{\"\"k\"\":\"\"v\"\"}", u"{\"k\":\"v\"}"},
        CsvCase{"QuotedKeepsInnerLineEnds", u"\"{\"\"t\"\":\"\"a\r\nb\"\"}\"\n",
                u"{\"t\":\"a\r\nb\"}"},
        CsvCase{"ClosingQuoteLast", u"\"abc\"", u"abc"}, CsvCase{"UnquotedBraces", u"{}", u"{}"},
        CsvCase{"UnquotedStopsAtFirstComma", u"{\"a\":1,\"b\":2}", u"{\"a\":1"},
        CsvCase{"UnquotedKeepsInnerLineEnds", u"ab\ncd\r\n", u"ab\ncd"},
        CsvCase{"UnquotedLeadingComma", u",rest", u""},
        CsvCase{"ByteOrderMarkDropped", u"\uFEFF\"{\"\"a\"\":3}\"", u"{\"a\":3}"},
        CsvCase{"OnlyOneByteOrderMarkDropped", u"\uFEFF\uFEFF{}", u"\uFEFF{}"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(WriteResultOutput, StoresTheJsonTextAloneWithoutLineEnd) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "results.csv",
                      "\xEF\xBB\xBF\"{\"\"name\"\":\"\"\xC3\xA9t\xC3\xA9\"\"}\"\r\n");
  testing::writeBytes(scratch / "out" / "answers.json", "an older, longer answer file");
  writeResultOutput(scratch / "results.csv", scratch / "out" / "answers.json");
  EXPECT_EQ(testing::readBytes(scratch / "out" / "answers.json"),
            "{\"name\":\"\xC3\xA9t\xC3\xA9\"}");
}

TEST(WriteResultOutput, MissingCsvFailsAndLeavesAnOldResultAlone) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "answers.json", "old");
  try {
    writeResultOutput(scratch / "results.csv", scratch / "answers.json");
    FAIL() << "a missing CSV was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Result CSV file was not created");
  }
  EXPECT_EQ(testing::readBytes(scratch / "answers.json"), "old");
}

TEST(WriteResultOutput, AFailedReplaceLeavesNoStagingFileBehind) {
  const testing::ScratchFolder scratch;
  testing::writeBytes(scratch / "results.csv", "{}");
  std::filesystem::create_directories(scratch / "answers.json" / "inside");
  EXPECT_ANY_THROW(writeResultOutput(scratch / "results.csv", scratch / "answers.json"));
  std::vector<std::filesystem::path> entries;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
    entries.push_back(entry.path().filename());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::filesystem::path>{"answers.json", "results.csv"}));
}

}  // namespace
}  // namespace zq
