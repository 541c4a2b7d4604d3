#include <gtest/gtest.h>

#include <stdexcept>

#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

class SheetStructure : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);

  double number(const char16_t* cell) {
    const RangeRef ref = at(cell);
    return sheet.value(ref.firstRow, ref.firstColumn).number;
  }
  bool empty(const char16_t* cell) {
    const RangeRef ref = at(cell);
    return sheet.value(ref.firstRow, ref.firstColumn).isEmpty();
  }
  std::u16string formulaAt(const Sheet& on, const char16_t* cell) {
    const RangeRef ref = at(cell);
    return on.formula(ref.firstRow, ref.firstColumn).value_or(u"<none>");
  }
  void fillNumbers(const char16_t* range) {
    const RangeRef ref = at(range);
    for (int32_t row = ref.firstRow; row <= ref.lastRow; ++row) {
      for (int32_t column = ref.firstColumn; column <= ref.lastColumn; ++column) {
        sheet.setNumber(cellRef(row, column), (row + 1) * 10 + column + 1);
      }
    }
  }
};

TEST_F(SheetStructure, MergeAcrossAndReplaceOverlappingMerges) {
  sheet.merge(at(u"A1:C3"), false);
  EXPECT_EQ(sheet.merges(), std::vector<RangeRef>{at(u"A1:C3")});
  sheet.merge(at(u"B2:D2"), false);  // overlaps the first: replaces it
  EXPECT_EQ(sheet.merges(), std::vector<RangeRef>{at(u"B2:D2")});
  sheet.merge(at(u"A5:B7"), true);
  EXPECT_EQ(sheet.merges(),
            (std::vector<RangeRef>{at(u"B2:D2"), at(u"A5:B5"), at(u"A6:B6"), at(u"A7:B7")}));
  sheet.merge(at(u"F1"), false);  // one cell is no merge
  EXPECT_EQ(sheet.merges().size(), 4u);
  sheet.unmerge(at(u"A6"));
  EXPECT_EQ(sheet.merges().size(), 3u);
}

TEST_F(SheetStructure, LoadedMergesKeepFileOrderAndDropOverlaps) {
  sheet.merge(at(u"Z1:Z2"), false);
  // C1:D2 starts right of B1:C3 and overlaps it; B4:C4 touches nothing; A2:B2 starts below
  // B1:C3's first row and overlaps it; E1:E1 is a single cell.
  sheet.loadMerges(
      {at(u"B4:C4"), at(u"C1:D2"), at(u"B1:C3"), at(u"A2:B2"), at(u"E1:E1"), at(u"D3:E9")});
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"B4:C4"), at(u"B1:C3"), at(u"D3:E9")}));
  EXPECT_THROW(sheet.loadMerges({RangeRef{0, 0, 0, kMaxColumns}}), std::out_of_range);
}

TEST_F(SheetStructure, LoadingManyMergesTakesNoQuadraticTime) {
  std::vector<RangeRef> areas;
  for (int32_t row = 0; row < 200000; ++row) areas.push_back({row, 0, row, 1});
  areas.push_back(at(u"A7:A8"));  // starts where a kept area starts: the file's earlier one wins
  sheet.loadMerges(areas);
  ASSERT_EQ(sheet.merges().size(), 200000u);
  EXPECT_EQ(sheet.merges().back(), (RangeRef{199999, 0, 199999, 1}));
}

TEST_F(SheetStructure, ClearRemovesValuesFormulasFormatsAndMerges) {
  sheet.setNumber(at(u"A1"), 1);
  sheet.setText(at(u"B1"), u"=A1");
  sheet.setBold(at(u"A1:B1"), true);
  sheet.merge(at(u"A2:B2"), false);
  sheet.setNumber(at(u"C1"), 3);
  sheet.clear(at(u"A1:B2"));
  EXPECT_TRUE(empty(u"A1"));
  EXPECT_EQ(formulaAt(sheet, u"B1"), u"<none>");
  EXPECT_EQ(sheet.style(0, 0), Style{});
  EXPECT_TRUE(sheet.merges().empty());
  EXPECT_EQ(number(u"C1"), 3);
}

TEST_F(SheetStructure, CopyCarriesValuesShiftedFormulasFormatsAndMerges) {
  sheet.setNumber(at(u"A1"), 5);
  sheet.setText(at(u"B1"), u"=A1*$A$1");
  sheet.setItalic(at(u"A1"), true);
  sheet.merge(at(u"A2:B2"), false);
  sheet.setNumber(at(u"E6"), 99);  // lies in the destination: overwritten by the empty source cell
  sheet.copyTo(at(u"A1:B2"), sheet, at(u"D5"));
  EXPECT_EQ(number(u"D5"), 5);
  EXPECT_TRUE(sheet.style(4, 3).font.italic);
  EXPECT_EQ(formulaAt(sheet, u"E5"), u"D5*$A$1");
  EXPECT_TRUE(empty(u"E6"));
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"A2:B2"), at(u"D6:E6")}));
  EXPECT_EQ(number(u"A1"), 5);  // the source stays
}

TEST_F(SheetStructure, OverlappingCopyReadsTheSourceFirst) {
  fillNumbers(u"A1:A4");
  sheet.copyTo(at(u"A1:A4"), sheet, at(u"A2"));
  EXPECT_EQ(number(u"A1"), 11);
  EXPECT_EQ(number(u"A2"), 11);
  EXPECT_EQ(number(u"A3"), 21);
  EXPECT_EQ(number(u"A5"), 41);
  sheet.copyTo(at(u"A2:A5"), sheet, at(u"A1"));
  EXPECT_EQ(number(u"A1"), 11);
  EXPECT_EQ(number(u"A4"), 41);
}

TEST_F(SheetStructure, CopyToAnotherSheetAndRefuseCopiesOffTheEdge) {
  Sheet& other = book.addSheet(u"Other");
  sheet.setText(at(u"A1"), u"=B1+Sheet1!C1");
  sheet.setFillColor(at(u"A1"), Color{1, 1, 1});
  sheet.copyTo(at(u"A1"), other, at(u"C3"));
  EXPECT_EQ(formulaAt(other, u"C3"), u"D3+Sheet1!E3");
  EXPECT_EQ(other.style(2, 2).fill, (Color{1, 1, 1}));
  EXPECT_EQ(formulaAt(sheet, u"A1"), u"B1+Sheet1!C1");
  EXPECT_THROW(sheet.copyTo(at(u"A1:B2"), sheet, at(u"XFD1")), std::out_of_range);
  Workbook stranger;
  EXPECT_THROW(sheet.copyTo(at(u"A1"), stranger.sheet(0), at(u"A1")), std::invalid_argument);
}

TEST_F(SheetStructure, CopyWholeRowsCarriesTheRowFormats) {
  fillNumbers(u"A1:B2");
  sheet.setRowHeight(at(u"2:2"), 40);
  sheet.setItalic(at(u"1:1"), true);
  sheet.copyTo(at(u"1:2"), sheet, at(u"C5"));  // whole rows land in column A
  EXPECT_EQ(number(u"A5"), 11);
  EXPECT_EQ(number(u"B6"), 22);
  EXPECT_TRUE(empty(u"C5"));
  EXPECT_EQ(sheet.rowFormats().at(5).height, 40);
  EXPECT_TRUE(sheet.style(4, 700).font.italic);
  EXPECT_FALSE(sheet.style(5, 700).font.italic);
}

TEST_F(SheetStructure, DeleteUpShiftsTheColumnsBandOnly) {
  fillNumbers(u"A1:C5");
  sheet.deleteCells(at(u"A2:B3"), DeleteShift::Up);
  EXPECT_EQ(number(u"A1"), 11);
  EXPECT_EQ(number(u"A2"), 41);
  EXPECT_EQ(number(u"B3"), 52);
  EXPECT_TRUE(empty(u"A4"));
  EXPECT_EQ(number(u"C2"), 23);  // outside the band: stays
  EXPECT_EQ(number(u"C5"), 53);
}

TEST_F(SheetStructure, DeleteLeftAndInsertRightShiftWithinTheRows) {
  fillNumbers(u"A1:D2");
  sheet.deleteCells(at(u"B1:B1"), DeleteShift::Left);
  EXPECT_EQ(number(u"B1"), 13);
  EXPECT_EQ(number(u"C1"), 14);
  EXPECT_TRUE(empty(u"D1"));
  EXPECT_EQ(number(u"B2"), 22);
  sheet.insertCells(at(u"A2:B2"), InsertShift::Right);
  EXPECT_TRUE(empty(u"A2"));
  EXPECT_EQ(number(u"C2"), 21);
  EXPECT_EQ(number(u"F2"), 24);
}

TEST_F(SheetStructure, InsertDownAndWholeRowsAndColumns) {
  fillNumbers(u"A1:B3");
  sheet.setRowHeight(at(u"3:3"), 25);
  sheet.insertCells(at(u"2:3"), InsertShift::Right);  // whole rows always go down
  EXPECT_EQ(number(u"A1"), 11);
  EXPECT_TRUE(empty(u"A2"));
  EXPECT_EQ(number(u"B4"), 22);
  EXPECT_EQ(number(u"A5"), 31);
  EXPECT_EQ(sheet.rowFormats().at(4).height, 25);
  sheet.deleteCells(at(u"A:A"), DeleteShift::Up);  // whole columns always go left
  EXPECT_EQ(number(u"A1"), 12);
  EXPECT_TRUE(empty(u"B1"));
  sheet.deleteCells(at(u"2:3"), DeleteShift::Left);
  EXPECT_EQ(number(u"A2"), 22);
  EXPECT_EQ(sheet.rowFormats().at(2).height, 25);
}

TEST_F(SheetStructure, ShiftsKeepFormulasOnEverySheetAndNamesPointingAtTheData) {
  Sheet& other = book.addSheet(u"Other");
  fillNumbers(u"A1:A5");
  sheet.setText(at(u"C1"), u"=SUM(A1:A5)+A5");
  other.setText(at(u"A1"), u"=Sheet1!A4+A4");
  book.addDefinedName(u"Data", u"Sheet1!$A$3:$A$5");
  sheet.deleteCells(at(u"A2"), DeleteShift::Up);
  EXPECT_EQ(formulaAt(sheet, u"C1"), u"SUM(A1:A4)+A4");
  EXPECT_EQ(formulaAt(other, u"A1"), u"Sheet1!A3+A4");
  EXPECT_EQ(book.findDefinedName(u"Data")->reference, u"Sheet1!$A$2:$A$4");
  sheet.insertCells(at(u"1:2"), InsertShift::Down);
  EXPECT_EQ(formulaAt(sheet, u"C3"), u"SUM(A3:A6)+A6");
  EXPECT_EQ(book.findDefinedName(u"Data")->reference, u"Sheet1!$A$4:$A$6");
  sheet.deleteCells(at(u"A6"), DeleteShift::Up);
  EXPECT_EQ(formulaAt(sheet, u"C3"), u"SUM(A3:A5)+#REF!");
}

TEST_F(SheetStructure, ShiftsMoveAndShrinkMergesAndRefuseToSplitThem) {
  sheet.merge(at(u"A3:B4"), false);
  sheet.merge(at(u"A6:A8"), false);
  sheet.insertCells(at(u"A1:B1"), InsertShift::Down);
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"A4:B5"), at(u"A7:A9")}));
  sheet.deleteCells(at(u"7:8"), DeleteShift::Up);
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"A4:B5")}));  // A7:A9 shrank to one cell
  sheet.setNumber(at(u"A4"), 1);
  EXPECT_THROW(sheet.deleteCells(at(u"A1"), DeleteShift::Up), std::runtime_error);
  EXPECT_THROW(sheet.insertCells(at(u"B2"), InsertShift::Down), std::runtime_error);
  EXPECT_EQ(number(u"A4"), 1);  // a refused shift changes nothing
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"A4:B5")}));
  sheet.deleteCells(at(u"A1:B1"), DeleteShift::Up);
  EXPECT_EQ(sheet.merges(), (std::vector<RangeRef>{at(u"A3:B4")}));
}

TEST_F(SheetStructure, InsertRefusesToPushDataOffTheSheet) {
  sheet.setNumber(cellRef(kMaxRows - 1, 0), 1);
  sheet.setNumber(cellRef(0, kMaxColumns - 1), 2);
  EXPECT_THROW(sheet.insertCells(at(u"A1"), InsertShift::Down), std::runtime_error);
  EXPECT_THROW(sheet.insertCells(at(u"A1"), InsertShift::Right), std::runtime_error);
  sheet.insertCells(at(u"B1"), InsertShift::Down);  // column B has room
  EXPECT_EQ(sheet.value(kMaxRows - 1, 0).number, 1);
}

TEST(ShiftWords, ParseTheDirections) {
  EXPECT_EQ(parseDeleteShift(u"up"), DeleteShift::Up);
  EXPECT_EQ(parseDeleteShift(u"LEFT"), DeleteShift::Left);
  EXPECT_EQ(parseInsertShift(u"down"), InsertShift::Down);
  EXPECT_EQ(parseInsertShift(u"right"), InsertShift::Right);
  EXPECT_THROW(parseDeleteShift(u"down"), std::invalid_argument);
  EXPECT_THROW(parseInsertShift(u"up"), std::invalid_argument);
}

}  // namespace
}  // namespace sx
