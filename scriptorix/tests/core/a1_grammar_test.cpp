#include "core/a1_grammar.h"

#include <gtest/gtest.h>

namespace sx {
namespace {

struct CornerCase {
  std::u16string_view text;
  int32_t row;
  int32_t column;
  bool rowAbsolute;
  bool columnAbsolute;
  std::size_t end;
};

TEST(A1Corner, ReadsCellsColumnsAndRows) {
  const CornerCase cases[] = {
      {u"A1", 0, 0, false, false, 2},
      {u"$b$12", 11, 1, true, true, 5},
      {u"XFD1048576", 1048575, 16383, false, false, 10},
      {u"C", -1, 2, false, false, 1},
      {u"$C", -1, 2, false, true, 2},
      {u"3", 2, -1, false, false, 1},
      {u"$3", 2, -1, true, false, 2},
      {u"A$", -1, 0, false, false, 1},  // a dollar no row follows is left unread
      {u"B2:C3", 1, 1, false, false, 2},
      {u"Tax2023+1", 2022, 13569, false, false, 7},
  };
  for (const CornerCase& c : cases) {
    const A1CornerMatch match = matchA1Corner(c.text, 0);
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    ASSERT_EQ(match.fault, A1Fault::None);
    EXPECT_EQ(match.corner.row, c.row);
    EXPECT_EQ(match.corner.column, c.column);
    EXPECT_EQ(match.corner.rowAbsolute, c.rowAbsolute);
    EXPECT_EQ(match.corner.columnAbsolute, c.columnAbsolute);
    EXPECT_EQ(match.corner.end, c.end);
  }
  EXPECT_EQ(matchA1Corner(u"=D4", 1).corner.end, 3u);
}

TEST(A1Corner, NamesWhatIsWrong) {
  EXPECT_EQ(matchA1Corner(u"XFE1", 0).fault, A1Fault::ColumnBeyondSheet);
  EXPECT_EQ(matchA1Corner(u"AAAA1", 0).fault, A1Fault::ColumnBeyondSheet);
  EXPECT_EQ(matchA1Corner(u"A1048577", 0).fault, A1Fault::RowBeyondSheet);
  EXPECT_EQ(matchA1Corner(u"A99999999999999999999", 0).fault, A1Fault::RowBeyondSheet);
  EXPECT_EQ(matchA1Corner(u"A0", 0).fault, A1Fault::RowZero);
  for (std::u16string_view text : {u"", u"$", u"$$1", u"-1", u"\u00C41"}) {
    EXPECT_EQ(matchA1Corner(text, 0).fault, A1Fault::NotACorner);
  }
}

TEST(QuotedSheetName, UndoublesApostrophesAndFindsTheEnd) {
  const auto plain = readQuotedSheetName(u"'My Sheet'!A1", 0);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->name, u"My Sheet");
  EXPECT_EQ(plain->end, 10u);
  const auto inner = readQuotedSheetName(u"x+'O''Brien'''!B2", 2);
  ASSERT_TRUE(inner);
  EXPECT_EQ(inner->name, u"O'Brien'");
  EXPECT_EQ(inner->end, 14u);
  EXPECT_FALSE(readQuotedSheetName(u"'open", 0));
  EXPECT_FALSE(readQuotedSheetName(u"'a''", 0));
  EXPECT_FALSE(readQuotedSheetName(u"Sheet1!A1", 0));
}

}  // namespace
}  // namespace sx
