#include <gtest/gtest.h>

#include <stdexcept>

#include "model/address.h"

namespace sx {
namespace {

using Shape = RangeRef::Shape;

struct ParseCase {
  const char16_t* text;
  RangeRef expected;
  const char16_t* relative;  // formatted back, relative
  const char16_t* absolute;
};

TEST(ParseRangeRef, ReadsEveryFormAndFormatsItBack) {
  const ParseCase cases[] = {
      {u"A1", {0, 0, 0, 0, Shape::Cells}, u"A1", u"$A$1"},
      {u"$b$2", {1, 1, 1, 1, Shape::Cells}, u"B2", u"$B$2"},
      {u"A$1", {0, 0, 0, 0, Shape::Cells}, u"A1", u"$A$1"},
      {u"A1:B2", {0, 0, 1, 1, Shape::Cells}, u"A1:B2", u"$A$1:$B$2"},
      {u"C5:A1", {0, 0, 4, 2, Shape::Cells}, u"A1:C5", u"$A$1:$C$5"},
      {u"A:C", {0, 0, kMaxRows - 1, 2, Shape::Columns}, u"A:C", u"$A:$C"},
      {u"$D:$D", {0, 3, kMaxRows - 1, 3, Shape::Columns}, u"D:D", u"$D:$D"},
      {u"1:3", {0, 0, 2, kMaxColumns - 1, Shape::Rows}, u"1:3", u"$1:$3"},
      {u"XFD1048576",
       {kMaxRows - 1, kMaxColumns - 1, kMaxRows - 1, kMaxColumns - 1, Shape::Cells},
       u"XFD1048576",
       u"$XFD$1048576"},
      {u"AA10:AB11", {9, 26, 10, 27, Shape::Cells}, u"AA10:AB11", u"$AA$10:$AB$11"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::u16string(c.text).size());
    const RangeRef parsed = parseRangeRef(c.text);
    EXPECT_EQ(parsed, c.expected);
    EXPECT_EQ(formatRangeRef(parsed, false), c.relative);
    EXPECT_EQ(formatRangeRef(parsed, true), c.absolute);
  }
}

TEST(ParseRangeRef, RefusesBadTextAndPositionsPastTheLimits) {
  for (const char16_t* text :
       {u"", u"A", u"1", u"A0", u"XFE1", u"A1048577", u"A1:", u":B2", u"A1:B", u"1:B", u"A1B2",
        u"$$A1", u"A$", u"A1 ", u"A-1", u"Sheet1!A1", u"AAAA1", u"1:1048577"}) {
    EXPECT_THROW(parseRangeRef(text), std::runtime_error) << std::u16string(text).size();
  }
}

TEST(ColumnLetters, CountsInBase26WithoutZeroAndReadBack) {
  EXPECT_EQ(columnLetters(0), u"A");
  EXPECT_EQ(columnLetters(25), u"Z");
  EXPECT_EQ(columnLetters(26), u"AA");
  EXPECT_EQ(columnLetters(701), u"ZZ");
  EXPECT_EQ(columnLetters(702), u"AAA");
  EXPECT_EQ(columnLetters(kMaxColumns - 1), u"XFD");
  for (int32_t column : {0, 25, 26, 51, 52, 701, 702, 16383}) {
    EXPECT_EQ(parseRangeRef(columnLetters(column) + u"1").firstColumn, column);
  }
}

TEST(NormalizedShape, FullWidthIsRowsAndFullHeightIsColumns) {
  EXPECT_EQ(normalizedShape(parseRangeRef(u"A1:XFD3")).shape, Shape::Rows);
  EXPECT_EQ(normalizedShape(parseRangeRef(u"B1:C1048576")).shape, Shape::Columns);
  EXPECT_EQ(normalizedShape(parseRangeRef(u"A1:XFD1048576")).shape, Shape::Columns);
  EXPECT_EQ(normalizedShape(parseRangeRef(u"1:1048576")).shape, Shape::Columns);
  EXPECT_EQ(normalizedShape(parseRangeRef(u"A2:XFC3")).shape, Shape::Cells);
}

TEST(CellRef, RefusesPositionsOutsideTheSheet) {
  EXPECT_EQ(cellRef(2, 3), parseRangeRef(u"D3"));
  EXPECT_THROW(cellRef(-1, 0), std::out_of_range);
  EXPECT_THROW(cellRef(kMaxRows, 0), std::out_of_range);
  EXPECT_THROW(cellRef(0, kMaxColumns), std::out_of_range);
}

TEST(ExternalRef, QuotesTheSheetWhereNeeded) {
  EXPECT_EQ(formatExternalRef(u"My sheet", parseRangeRef(u"A1:B2"), true), u"'My sheet'!$A$1:$B$2");
  EXPECT_EQ(formatExternalRef(u".x", parseRangeRef(u"A1"), false), u"'.x'!A1");
}

TEST(SheetRangeRef, ReadsTheSheetInFront) {
  const SheetRangeRef plain = parseSheetRangeRef(u"Sheet1!$A$1:$B$2");
  EXPECT_EQ(plain.sheet, u"Sheet1");
  EXPECT_EQ(plain.range, parseRangeRef(u"A1:B2"));
  const SheetRangeRef quoted = parseSheetRangeRef(u"='O''Brien''s'!C3");
  EXPECT_EQ(quoted.sheet, u"O'Brien's");
  EXPECT_EQ(quoted.range, parseRangeRef(u"C3"));
  EXPECT_TRUE(parseSheetRangeRef(u"B2").sheet.empty());
  EXPECT_THROW(parseSheetRangeRef(u"'open!A1"), std::runtime_error);
  EXPECT_THROW(parseSheetRangeRef(u"!A1"), std::runtime_error);
  EXPECT_THROW(parseSheetRangeRef(u"'x'A1"), std::runtime_error);
}

}  // namespace
}  // namespace sx
