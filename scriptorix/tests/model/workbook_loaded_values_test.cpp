#include <gtest/gtest.h>

#include "model/workbook.h"

namespace sx {
namespace {

// A workbook as a reader leaves it: formulas with the values the file gave them.
class LoadedValuesTest : public ::testing::Test {
 protected:
  Workbook book{false};
  Sheet& sheet = book.addSheet(u"Data");

  void SetUp() override {
    sheet.setNumber(parseRangeRef(u"A1"), 2);
    sheet.setNumber(parseRangeRef(u"A2"), 3);
    loadFormula(u"B1", u"A1*10", 999);  // the file says 999, we would say 20
    loadFormula(u"B2", u"SUM(A1:A5)", 888);
    loadFormula(u"B3", u"MYADDIN(A1)", 777);          // a function only the file's writer knows
    loadFormula(u"B4", u"Missing*2", 0);              // a name that does not exist yet
    sheet.setFormula(parseRangeRef(u"B5"), u"A2*2");  // no cached value
    book.finishLoading();
  }
  void loadFormula(const char16_t* cell, std::u16string_view formula, double cached) {
    const RangeRef at = parseRangeRef(cell);
    sheet.setFormula(at, formula);
    sheet.setCachedValue(
        at.firstRow, at.firstColumn,
        cached == 0 ? CellValue::fromError(u"#NAME?") : CellValue::fromNumber(cached));
  }
  CellValue get(const char16_t* cell) const {
    const RangeRef at = parseRangeRef(cell);
    return sheet.value(at.firstRow, at.firstColumn);
  }
  static CellValue number(double value) { return CellValue::fromNumber(value); }
};

TEST_F(LoadedValuesTest, CachedValuesStayThroughEditsThatDoNotReachThem) {
  EXPECT_EQ(get(u"B1"), number(999));
  EXPECT_EQ(get(u"B2"), number(888));
  EXPECT_EQ(get(u"B5"), number(6));  // calculated: the file had no value
  book.addSheet(u"Notes").setNumber(parseRangeRef(u"C3"), 42);
  book.renameSheet(sheet, u"Figures");
  sheet.setNumber(parseRangeRef(u"Z100"), 1);
  EXPECT_EQ(get(u"B1"), number(999));
  EXPECT_EQ(get(u"B2"), number(888));
  EXPECT_EQ(*sheet.formula(0, 1), u"A1*10");
}

TEST_F(LoadedValuesTest, AnEditRecalculatesWhatReadsIt) {
  sheet.setNumber(parseRangeRef(u"A1"), 5);
  EXPECT_EQ(get(u"B1"), number(50));
  EXPECT_EQ(get(u"B2"), number(8));
  // Not calculable here: the file's value stays (the saved file asks for a full calculation).
  EXPECT_EQ(get(u"B3"), number(777));
}

TEST_F(LoadedValuesTest, EditsWaitingForARebuildAreNotLost) {
  book.addSheet(u"Notes");                        // a rebuild is pending
  sheet.setNumber(parseRangeRef(u"A2"), 10);      // noted while it waits
  book.addDefinedName(u"Missing", u"Data!$A$2");  // #NAME? values are calculated again
  EXPECT_EQ(get(u"B2"), number(12));
  EXPECT_EQ(get(u"B4"), number(20));
  EXPECT_EQ(get(u"B1"), number(999));
}

TEST_F(LoadedValuesTest, MovedCellsRecalculateWhatReadsThem) {
  sheet.insertCells(parseRangeRef(u"3:3"), InsertShift::Down);  // A3:A5 become A3:A6
  EXPECT_EQ(*sheet.formula(1, 1), u"SUM(A1:A6)");
  EXPECT_EQ(get(u"B2"), number(5));
  EXPECT_EQ(get(u"B1"), number(999));  // above the insertion, reading nothing that moved
  sheet.deleteCells(parseRangeRef(u"1:1"), DeleteShift::Up);
  EXPECT_EQ(get(u"B1"), number(3));  // was B2, now SUM(A1:A5)
  EXPECT_EQ(get(u"B5"), number(6));  // was B6, =A2*2 now =A1*2: same cell, same value
  sheet.deleteCells(parseRangeRef(u"1:1"), DeleteShift::Up);
  EXPECT_EQ(get(u"B4"), CellValue::fromError(u"#REF!"));  // its input is gone
}

TEST_F(LoadedValuesTest, LargeFillsAndCopiesRecalculateWhatTheyReach) {
  sheet.setNumber(parseRangeRef(u"A1:A100000"), 1);
  EXPECT_EQ(get(u"B2"), number(5));
  EXPECT_EQ(get(u"B1"), number(10));
  sheet.copyTo(parseRangeRef(u"B1"), sheet, parseRangeRef(u"C1"));  // =B1*10 there
  EXPECT_EQ(get(u"C1"), number(100));
  book.recalculateAll();
  EXPECT_EQ(get(u"B3"), number(777));
}

}  // namespace
}  // namespace sx
