#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

class SheetFormat : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);
};

TEST_F(SheetFormat, EverySetterReachesEveryCellOfTheRange) {
  const RangeRef range = at(u"B2:C3");
  sheet.setNumberFormat(range, u"0.00");
  sheet.setFontName(range, u"Arial");
  sheet.setFontSize(range, 14);
  sheet.setBold(range, true);
  sheet.setItalic(range, true);
  sheet.setUnderline(range, FontUnderline::Double);
  sheet.setFontColor(range, {255, 0, 0});
  sheet.setHorizontalAlignment(range, HorizontalAlignment::Center);
  sheet.setVerticalAlignment(range, VerticalAlignment::Top);
  sheet.setFillColor(range, Color{0, 128, 255});
  sheet.setWrap(range, true);
  for (int32_t row = 1; row <= 2; ++row) {
    for (int32_t column = 1; column <= 2; ++column) {
      const Style& style = sheet.style(row, column);
      EXPECT_EQ(style.numberFormat, u"0.00");
      EXPECT_EQ(style.font.name, u"Arial");
      EXPECT_EQ(style.font.size, 14);
      EXPECT_TRUE(style.font.bold && style.font.italic &&
                  style.font.underline == FontUnderline::Double);
      EXPECT_EQ(style.font.color, (Color{255, 0, 0}));
      EXPECT_EQ(style.horizontal, HorizontalAlignment::Center);
      EXPECT_EQ(style.vertical, VerticalAlignment::Top);
      EXPECT_EQ(style.fill, (Color{0, 128, 255}));
      EXPECT_TRUE(style.wrap);
    }
  }
  EXPECT_EQ(sheet.styleIndex(0, 0), 0u);
  EXPECT_EQ(sheet.styleIndex(3, 3), 0u);
  EXPECT_EQ(sheet.styleIndex(1, 1), sheet.styleIndex(2, 2));
}

TEST_F(SheetFormat, EqualFormatsShareOneStyle) {
  sheet.setBold(at(u"A1"), true);
  sheet.setBold(at(u"D9"), true);
  sheet.setItalic(at(u"E1"), true);
  sheet.setBold(at(u"E1"), true);
  sheet.setItalic(at(u"E1"), false);
  EXPECT_EQ(sheet.styleIndex(0, 0), sheet.styleIndex(8, 3));
  EXPECT_EQ(sheet.styleIndex(0, 0), sheet.styleIndex(0, 4));
  EXPECT_EQ(book.styles().size(), 4u);  // default, bold, italic, bold italic
}

TEST_F(SheetFormat, SettersRefuseBadValues) {
  EXPECT_THROW(sheet.setNumberFormat(at(u"A1"), u""), std::invalid_argument);
  EXPECT_THROW(sheet.setFontName(at(u"A1"), u""), std::invalid_argument);
  EXPECT_THROW(sheet.setFontSize(at(u"A1"), 0), std::invalid_argument);
  EXPECT_THROW(sheet.setColumnWidth(at(u"A1"), -1), std::invalid_argument);
  EXPECT_THROW(sheet.setColumnWidth(at(u"A1"), 256), std::invalid_argument);
  EXPECT_THROW(sheet.setRowHeight(at(u"A1"), 410), std::invalid_argument);
  EXPECT_THROW(sheet.setFreezePanes({-1, 0}), std::out_of_range);
  EXPECT_EQ(book.styles().size(), 1u);
}

TEST(StyleWords, ParseTheScriptWordsAndRefuseOthers) {
  EXPECT_EQ(parseHorizontalAlignment(u"left"), HorizontalAlignment::Left);
  EXPECT_EQ(parseHorizontalAlignment(u"Center"), HorizontalAlignment::Center);
  EXPECT_EQ(parseHorizontalAlignment(u"justify"), HorizontalAlignment::Justify);
  EXPECT_EQ(parseVerticalAlignment(u"distributed"), VerticalAlignment::Distributed);
  EXPECT_EQ(parseVerticalAlignment(u"bottom"), VerticalAlignment::Bottom);
  EXPECT_EQ(parseBorderLineStyle(u"Thin"), BorderLineStyle::Thin);
  EXPECT_EQ(parseBorderLineStyle(u"mediumDashDotDot"), BorderLineStyle::MediumDashDotDot);
  EXPECT_EQ(parseBorderPosition(u"InsideVertical"), BorderPosition::InsideVertical);
  EXPECT_EQ(parseBorderPosition(u"DiagonalUp"), BorderPosition::DiagonalUp);
  EXPECT_THROW(parseHorizontalAlignment(u"middle"), std::invalid_argument);
  EXPECT_THROW(parseVerticalAlignment(u"left"), std::invalid_argument);
  EXPECT_THROW(parseBorderLineStyle(u"Bold"), std::invalid_argument);
  EXPECT_THROW(parseBorderPosition(u"Outside"), std::invalid_argument);
  EXPECT_THROW(parseBorderPosition(u""), std::invalid_argument);
  EXPECT_EQ(borderLineStyleName(BorderLineStyle::MediumDashDot), "mediumDashDot");
  EXPECT_EQ(horizontalAlignmentName(HorizontalAlignment::Center), "center");
}

TEST_F(SheetFormat, OuterBordersTouchOnlyTheEdgeCells) {
  const RangeRef range = at(u"B2:D4");
  const Color red{255, 0, 0};
  sheet.setBorders(range, BorderPosition::Top, BorderLineStyle::Thin, red);
  sheet.setBorders(range, BorderPosition::Bottom, BorderLineStyle::Thick, red);
  sheet.setBorders(range, BorderPosition::Left, BorderLineStyle::Dashed, red);
  sheet.setBorders(range, BorderPosition::Right, BorderLineStyle::Double, red);
  const BorderEdge none{};
  EXPECT_EQ(sheet.style(1, 2).borders.top, (BorderEdge{BorderLineStyle::Thin, red}));
  EXPECT_EQ(sheet.style(2, 2).borders.top, none);
  EXPECT_EQ(sheet.style(3, 1).borders.bottom, (BorderEdge{BorderLineStyle::Thick, red}));
  EXPECT_EQ(sheet.style(2, 2).borders.bottom, none);
  EXPECT_EQ(sheet.style(2, 1).borders.left, (BorderEdge{BorderLineStyle::Dashed, red}));
  EXPECT_EQ(sheet.style(2, 2).borders.left, none);
  EXPECT_EQ(sheet.style(2, 3).borders.right, (BorderEdge{BorderLineStyle::Double, red}));
  EXPECT_EQ(sheet.style(2, 2), Style{});
  EXPECT_EQ(sheet.style(0, 1), Style{});  // outside the range above
}

TEST_F(SheetFormat, InsideAndDiagonalBorders) {
  const RangeRef range = at(u"A1:B2");
  const Color blue{0, 0, 255};
  sheet.setBorders(range, BorderPosition::InsideHorizontal, BorderLineStyle::Thin, blue);
  EXPECT_EQ(sheet.style(0, 0).borders.bottom.line, BorderLineStyle::Thin);
  EXPECT_EQ(sheet.style(1, 1).borders.top.line, BorderLineStyle::Thin);
  EXPECT_EQ(sheet.style(0, 0).borders.top.line, BorderLineStyle::None);
  EXPECT_EQ(sheet.style(1, 0).borders.bottom.line, BorderLineStyle::None);
  sheet.setBorders(range, BorderPosition::InsideVertical, BorderLineStyle::Hair, blue);
  EXPECT_EQ(sheet.style(0, 0).borders.right.line, BorderLineStyle::Hair);
  EXPECT_EQ(sheet.style(0, 1).borders.left.line, BorderLineStyle::Hair);
  EXPECT_EQ(sheet.style(0, 1).borders.right.line, BorderLineStyle::None);
  sheet.setBorders(at(u"D4"), BorderPosition::DiagonalDown, BorderLineStyle::Medium, blue);
  sheet.setBorders(at(u"D4"), BorderPosition::DiagonalUp, BorderLineStyle::Medium, blue);
  EXPECT_TRUE(sheet.style(3, 3).borders.diagonalDown && sheet.style(3, 3).borders.diagonalUp);
  sheet.setBorders(at(u"D4"), BorderPosition::DiagonalDown, BorderLineStyle::None, blue);
  EXPECT_FALSE(sheet.style(3, 3).borders.diagonalDown);
  EXPECT_EQ(sheet.style(3, 3).borders.diagonal.line, BorderLineStyle::Medium);
  sheet.setBorders(at(u"D4"), BorderPosition::DiagonalUp, BorderLineStyle::None, blue);
  EXPECT_EQ(sheet.style(3, 3), Style{});
  // A single row has no inside horizontal edge.
  sheet.setBorders(at(u"F1:G1"), BorderPosition::InsideHorizontal, BorderLineStyle::Thin, blue);
  EXPECT_EQ(sheet.style(0, 5), Style{});
}

TEST_F(SheetFormat, WholeColumnsAndRowsUseTheirOwnFormats) {
  sheet.setNumber(at(u"B5"), 1);
  sheet.setFillColor(at(u"B:B"), Color{9, 9, 9});
  EXPECT_EQ(sheet.style(4, 1).fill, (Color{9, 9, 9}));             // existing cell
  EXPECT_EQ(sheet.style(kMaxRows - 1, 1).fill, (Color{9, 9, 9}));  // every other row
  EXPECT_FALSE(sheet.style(0, 2).fill.has_value());
  sheet.setBold(at(u"3:3"), true);
  EXPECT_TRUE(sheet.style(2, kMaxColumns - 1).font.bold);
  // The intersection keeps the column's fill and takes the row's bold.
  EXPECT_TRUE(sheet.style(2, 1).font.bold);
  EXPECT_EQ(sheet.style(2, 1).fill, (Color{9, 9, 9}));
  EXPECT_FALSE(sheet.style(3, 1).font.bold);
  // A new value in a formatted column keeps the column's format.
  sheet.setNumber(at(u"B100"), 3);
  EXPECT_EQ(sheet.style(99, 1).fill, (Color{9, 9, 9}));
  // Clearing a cell there leaves it with no format at all.
  sheet.clear(at(u"B100"));
  EXPECT_FALSE(sheet.style(99, 1).fill.has_value());
  EXPECT_TRUE(sheet.value(99, 1).isEmpty());
}

// A clear that spans formatted rows and columns stores cells only where a format showed.
TEST_F(SheetFormat, ClearingAHugeAreaVisitsOnlyFormattedRowsAndColumns) {
  sheet.setBold(at(u"5:5"), true);
  sheet.setFillColor(at(u"C:C"), Color{1, 2, 3});
  sheet.setNumber(at(u"XFC99999"), 4);
  const auto began = std::chrono::steady_clock::now();
  sheet.clear(at(u"A1:XFC1048575"));  // all but the last row and column: a block of cells
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));  // hours by area
  EXPECT_FALSE(sheet.style(4, 0).font.bold);
  EXPECT_FALSE(sheet.style(4, kMaxColumns - 2).font.bold);
  EXPECT_TRUE(sheet.style(4, kMaxColumns - 1).font.bold);  // XFD is outside the range
  EXPECT_FALSE(sheet.style(0, 2).fill.has_value());
  EXPECT_FALSE(sheet.style(kMaxRows - 2, 2).fill.has_value());
  EXPECT_TRUE(sheet.style(kMaxRows - 1, 2).fill.has_value());
  EXPECT_FALSE(sheet.style(4, 2).fill.has_value());
  EXPECT_TRUE(sheet.value(99998, kMaxColumns - 2).isEmpty());
  size_t stored = 0;
  for (int32_t row = 0; row < sheet.rowLimit(); ++row) stored += sheet.rowCells(row).size();
  EXPECT_EQ(stored, size_t{kMaxColumns - 1} + kMaxRows - 2);  // row 5 and column C, once
}

TEST_F(SheetFormat, WidthsHeightsHiddenAndFrozen) {
  sheet.setColumnWidth(at(u"B2:D9"), 20);
  EXPECT_EQ(sheet.columnFormats().at(1).width, 20);
  EXPECT_EQ(sheet.columnFormats().at(3).width, 20);
  EXPECT_FALSE(sheet.columnFormats().contains(4));
  sheet.setRowHeight(at(u"2:3"), 30);
  EXPECT_EQ(sheet.rowFormats().at(2).height, 30);
  sheet.setRowsHidden(at(u"7:7"), true);
  EXPECT_TRUE(sheet.rowFormats().at(6).hidden);
  sheet.setRowsHidden(at(u"7:7"), false);
  EXPECT_FALSE(sheet.rowFormats().contains(6));
  sheet.setColumnsHidden(at(u"F:G"), true);
  EXPECT_TRUE(sheet.columnFormats().at(6).hidden);
  sheet.setFreezePanes({1, 2});
  EXPECT_EQ(sheet.freezePanes(), (FreezePanes{1, 2}));
}

}  // namespace
}  // namespace sx
