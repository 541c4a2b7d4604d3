#include "core/sheet_name.h"

#include <gtest/gtest.h>

#include "core/text_case.h"

namespace sx {
namespace {

TEST(QuoteSheetName, LeavesPlainNamesAsTheyAre) {
  for (std::u16string_view name : {u"Sheet1", u"Data_2024.v2", u"_x", u"Totals"}) {
    EXPECT_EQ(quoteSheetName(name), name);
  }
}

TEST(QuoteSheetName, QuotesWhatAFormulaWouldMisread) {
  EXPECT_EQ(quoteSheetName(u"My sheet"), u"'My sheet'");
  EXPECT_EQ(quoteSheetName(u"O'Brien"), u"'O''Brien'");
  EXPECT_EQ(quoteSheetName(u"2024"), u"'2024'");
  EXPECT_EQ(quoteSheetName(u".x"), u"'.x'");  // a leading dot is no name start
  EXPECT_EQ(quoteSheetName(u"a-b"), u"'a-b'");
  EXPECT_EQ(quoteSheetName(u"A1"), u"'A1'");
  EXPECT_EQ(quoteSheetName(u"xfd9"), u"'xfd9'");
  EXPECT_EQ(quoteSheetName(u"R1C1"), u"'R1C1'");
  EXPECT_EQ(quoteSheetName(u"rc"), u"'rc'");
  EXPECT_EQ(quoteSheetName(u"true"), u"'true'");
  EXPECT_EQ(quoteSheetName(u"\u00C4rger"), u"'\u00C4rger'");
}

TEST(ReadsAsReference, TellsCellsAndR1C1FromNames) {
  for (std::u16string_view text : {u"A1", u"abc123", u"R", u"C", u"R2C3", u"RC", u"c7"}) {
    EXPECT_TRUE(readsAsReference(text)) << std::string(text.begin(), text.end());
  }
  for (std::u16string_view text : {u"", u"A", u"ABCD1", u"R1D", u"Sales", u"A1B"}) {
    EXPECT_FALSE(readsAsReference(text)) << std::string(text.begin(), text.end());
  }
}

TEST(TextCase, FoldsLettersBeyondAscii) {
  EXPECT_TRUE(equalsIgnoringCase(u"\u00C4RGER", u"\u00E4rger"));
  EXPECT_TRUE(equalsIgnoringCase(u"\u0394\u0435", u"\u03B4\u0415"));  // Greek and Cyrillic
  EXPECT_FALSE(equalsIgnoringCase(u"\u00C4rger", u"Arger"));
  EXPECT_TRUE(containsIgnoringCase(u"Gro\u00DF \u00C4rger", u"\u00E4RG"));
}

}  // namespace
}  // namespace sx
