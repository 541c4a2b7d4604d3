#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <unistd.h>

#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

class SheetValues : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);
};

TEST_F(SheetValues, KeepEachKindOfValue) {
  sheet.setNumber(at(u"A1"), 42.5);
  sheet.setBoolean(at(u"A2"), true);
  sheet.setText(at(u"A3"), u"00123");
  sheet.setText(at(u"A4"), u"'abc");
  sheet.setText(at(u"A5"), u"=");
  sheet.setText(at(u"A6"), u"'=1+2");
  sheet.setValue(at(u"A7"), CellValue::fromError(u"#DIV/0!"));
  EXPECT_EQ(sheet.value(0, 0), CellValue::fromNumber(42.5));
  EXPECT_EQ(sheet.value(1, 0), CellValue::fromBoolean(true));
  EXPECT_EQ(sheet.value(2, 0), CellValue::fromText(u"00123"));
  EXPECT_EQ(sheet.value(3, 0), CellValue::fromText(u"abc"));
  EXPECT_EQ(sheet.value(4, 0), CellValue::fromText(u"="));
  EXPECT_EQ(sheet.value(5, 0), CellValue::fromText(u"=1+2"));
  EXPECT_FALSE(sheet.formula(5, 0).has_value());
  EXPECT_EQ(sheet.value(6, 0), CellValue::fromError(u"#DIV/0!"));
  EXPECT_TRUE(sheet.value(7, 0).isEmpty());
  EXPECT_EQ(sheet.formulaOrValueText(0, 0), u"42.5");
  EXPECT_EQ(sheet.formulaOrValueText(1, 0), u"TRUE");
  EXPECT_EQ(sheet.formulaOrValueText(7, 0), u"");
}

TEST_F(SheetValues, RefuseNumbersThatAreNotFinite) {
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(sheet.setNumber(at(u"B2"), bad), std::invalid_argument);
  }
  EXPECT_TRUE(sheet.value(1, 1).isEmpty());
}

TEST_F(SheetValues, StoreFormulasAsTextAndGiveTheirCalculatedValue) {
  sheet.setNumber(at(u"A1:A3"), 2);
  sheet.setText(at(u"C1"), u"=SUM(A1:A3)*2");
  EXPECT_EQ(sheet.formula(0, 2), u"SUM(A1:A3)*2");
  EXPECT_EQ(sheet.formulaOrValueText(0, 2), u"=SUM(A1:A3)*2");
  EXPECT_EQ(sheet.value(0, 2), CellValue::fromNumber(12));
  EXPECT_EQ(sheet.formula(0, 2), u"SUM(A1:A3)*2");
  // A plain value replaces the formula.
  sheet.setNumber(at(u"C1"), 1);
  EXPECT_FALSE(sheet.formula(0, 2).has_value());
}

TEST_F(SheetValues, FillAFormulaWithRelativeReferencesShifted) {
  sheet.setText(at(u"B1:C2"), u"=A1+$A$1+A$1+$A1");
  EXPECT_EQ(sheet.formula(0, 1), u"A1+$A$1+A$1+$A1");
  EXPECT_EQ(sheet.formula(0, 2), u"B1+$A$1+B$1+$A1");
  EXPECT_EQ(sheet.formula(1, 1), u"A2+$A$1+A$1+$A2");
  EXPECT_EQ(sheet.formula(1, 2), u"B2+$A$1+B$1+$A2");
}

TEST_F(SheetValues, FillValuesOverRangesAndClearThemKeepingFormats) {
  sheet.setNumber(at(u"A1:C3"), 7);
  EXPECT_EQ(sheet.value(2, 2), CellValue::fromNumber(7));
  sheet.setBold(at(u"B2"), true);
  sheet.clearValues(at(u"A1:C3"));
  EXPECT_TRUE(sheet.value(1, 1).isEmpty());
  EXPECT_TRUE(sheet.style(1, 1).font.bold);
  EXPECT_EQ(sheet.usedRange(), at(u"B2"));
  sheet.setText(at(u"B2"), u"");
  EXPECT_TRUE(sheet.value(1, 1).isEmpty());
}

TEST_F(SheetValues, ReachTheLastCellAndRefuseBeyond) {
  sheet.setNumber(at(u"XFD1048576"), 1);
  EXPECT_EQ(sheet.value(kMaxRows - 1, kMaxColumns - 1), CellValue::fromNumber(1));
  EXPECT_EQ(sheet.usedRange(), at(u"XFD1048576"));
  EXPECT_THROW(sheet.setNumber({0, 0, kMaxRows, 0}, 1), std::out_of_range);
  EXPECT_THROW(sheet.setNumber({0, 0, 0, kMaxColumns}, 1), std::out_of_range);
  EXPECT_THROW(sheet.setNumber({2, 0, 1, 0}, 1), std::out_of_range);
}

TEST_F(SheetValues, DisplayTextFollowsTheNumberFormat) {
  sheet.setNumber(at(u"A1"), 0.256);
  sheet.setNumberFormat(at(u"A1"), u"0.0%");
  sheet.setNumber(at(u"A2"), 45292);
  sheet.setNumberFormat(at(u"A2"), u"yyyy-mm-dd");
  sheet.setBoolean(at(u"A3"), false);
  EXPECT_EQ(sheet.displayText(0, 0), u"25.6%");
  EXPECT_EQ(sheet.displayText(1, 0), u"2024-01-01");
  EXPECT_EQ(sheet.displayText(2, 0), u"FALSE");
  EXPECT_EQ(sheet.displayText(5, 5), u"");
}

TEST_F(SheetValues, UsedRangeCoversValuesAndFormats) {
  EXPECT_EQ(sheet.usedRange(), at(u"A1"));
  sheet.setBold(at(u"D4"), true);
  EXPECT_TRUE(sheet.isEmpty());  // a format is no value
  sheet.setNumber(at(u"C3"), 1);
  EXPECT_FALSE(sheet.isEmpty());
  sheet.setFillColor(at(u"E2"), Color{1, 2, 3});
  sheet.setText(at(u"B7"), u"x");
  EXPECT_EQ(sheet.usedRange(), at(u"B2:E7"));
  sheet.setText(at(u"A9"), u"=B7");  // a formula counts before it has a value
  EXPECT_EQ(sheet.usedRange(), at(u"A2:E9"));
  sheet.clear(at(u"A1:Z100"));
  EXPECT_EQ(sheet.usedRange(), at(u"A1"));
}

TEST_F(SheetValues, FindMatchesDisplayedTextIgnoringCaseRowByRow) {
  sheet.setText(at(u"C1"), u"Total ÄPFEL");
  sheet.setText(at(u"A2"), u"total äpfel");
  sheet.setNumber(at(u"B1"), 0.5);
  sheet.setNumberFormat(at(u"B1"), u"0%");
  EXPECT_EQ(sheet.find(u"äpfel", at(u"A1:Z10")), at(u"C1"));
  EXPECT_EQ(sheet.find(u"50%", at(u"A1:Z10")), at(u"B1"));
  EXPECT_EQ(sheet.find(u"TOTAL", at(u"A2:Z10")), at(u"A2"));
  EXPECT_EQ(sheet.find(u"total", at(u"2:5")), at(u"A2"));
  EXPECT_FALSE(sheet.find(u"missing", at(u"A1:Z10")).has_value());
  EXPECT_FALSE(sheet.find(u"total", at(u"D1:Z10")).has_value());
}

long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

TEST(SheetScale, AMillionNumbersFitInAHundredMegabytes) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  const long before = residentBytes();
  for (int32_t row = 0; row < 1000; ++row) {
    for (int32_t column = 0; column < 1000; ++column)
      sheet.setNumber(cellRef(row, column), row + column);
  }
  const long grown = residentBytes() - before;
  EXPECT_LT(grown, 100L * 1024 * 1024);
  EXPECT_EQ(sheet.value(999, 999), CellValue::fromNumber(1998));
  // A whole-column format touches the column, not a million cells.
  sheet.setBold(parseRangeRef(u"ZZ:ZZ"), true);
  EXPECT_TRUE(sheet.style(kMaxRows - 1, 701).font.bold);
  EXPECT_EQ(sheet.usedRange(), parseRangeRef(u"A1:ALL1000"));
}

}  // namespace
}  // namespace sx
