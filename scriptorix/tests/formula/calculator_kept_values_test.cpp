#include <gtest/gtest.h>

#include "formula/calculator.h"
#include "memory_workbook.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;

// Formulas entered with the values a file gave them.
class KeptValuesTest : public testing::Test {
 protected:
  MemoryWorkbook book{{u"Sheet1", u"Sheet2"}};
  Calculator calculator{book};

  void kept(int32_t row, int32_t column, std::u16string_view text, double value,
            int32_t sheet = 0) {
    book.touch(sheet, row, column);
    calculator.keepFormula({sheet, row, column}, text, Scalar::fromNumber(value));
  }
  void store(int32_t row, int32_t column, double value, int32_t sheet = 0) {
    book.set(sheet, row, column, Scalar::fromNumber(value));
    calculator.valueChanged({sheet, row, column});
  }
  double at(int32_t row, int32_t column, int32_t sheet = 0) {
    const Scalar value = calculator.value({sheet, row, column});
    EXPECT_EQ(value.kind, Scalar::Kind::Number);
    return value.number;
  }
};

TEST_F(KeptValuesTest, AValueStaysUntilSomethingItNamesChanges) {
  store(0, 0, 2);
  store(0, 3, 7, 1);
  kept(0, 1, u"A1*10", 999);            // B1: the file's value, whatever we would calculate
  kept(0, 2, u"B1+1", 1000);            // C1 reads a kept formula
  kept(1, 0, u"SUM(Sheet2!D:D)", 555);  // A2 reads a whole column of another sheet
  kept(2, 0, u"SUM(Sheet2!A1:B2)", 3);  // A3: an area not edited below
  EXPECT_EQ(at(0, 1), 999);
  EXPECT_EQ(at(0, 2), 1000);
  EXPECT_EQ(at(1, 0), 555);
  store(5, 5, 1);  // read by nothing
  EXPECT_EQ(at(0, 2), 1000);
  store(0, 0, 3);  // B1 and, through it, C1 are calculated again
  EXPECT_EQ(at(0, 1), 30);
  EXPECT_EQ(at(0, 2), 31);
  store(40, 3, 5, 1);  // Sheet2!D41
  EXPECT_EQ(at(1, 0), 12);
  EXPECT_EQ(at(2, 0), 3);
}

TEST_F(KeptValuesTest, NamesAndRangesBetweenReferencesAreDependencies) {
  book.defineName(u"Rate", u"Sheet1!$A$1");
  store(0, 0, 2);
  kept(1, 1, u"Rate*2", 100);
  kept(2, 1, u"SUM(C1:C3:C10)", 100);  // C1 to C10
  store(0, 0, 4);
  store(8, 2, 1);  // C9
  EXPECT_EQ(at(1, 1), 8);
  EXPECT_EQ(at(2, 1), 1);
}

TEST_F(KeptValuesTest, WhatCannotBeCalculatedKeepsItsValueEvenAfterAChange) {
  store(0, 0, 2);
  kept(0, 1, u"MYADDIN(A1)", 42);  // an add-in's function
  kept(0, 2, u"_xlfn.NOSUCHTHING(A1)+1", 7);
  kept(0, 3, u"VLOOKUP(1,Sheet1:Sheet2!A1:B2,2)",
       9);  // through sheets where the application refuses it
  kept(0, 4, u"B1+1", 43);
  kept(0, 5, u"A1*LocalRate", 11);  // a name held elsewhere (a built-in one kept as read, say)
  store(0, 0, 3);
  EXPECT_EQ(at(0, 5), 11);
  EXPECT_EQ(at(0, 1), 42);
  EXPECT_EQ(at(0, 2), 7);
  EXPECT_EQ(at(0, 3), 9);
  EXPECT_EQ(at(0, 4), 43);
  // Entered fresh (no value kept), an unknown function is #NAME? as in the application.
  calculator.setFormula({0, 2, 0}, u"MYADDIN(A1)");
  EXPECT_EQ(calculator.value({0, 2, 0}), Scalar::fromError(ErrorCode::Name));
  // Recalculated with a fallback, it keeps the fallback.
  calculator.setFormula({0, 2, 1}, u"MYADDIN(A1)", Scalar::fromNumber(5));
  EXPECT_EQ(at(2, 1), 5);
  calculator.setFormula({0, 2, 2}, u"A1*2", Scalar::fromNumber(5));
  EXPECT_EQ(at(2, 2), 6);
}

TEST_F(KeptValuesTest, VolatileFormulasAndWhatReadsThemAreCalculatedOnRefresh) {
  book.setNow(45000.25);
  kept(0, 0, u"TODAY()", 40000);
  kept(0, 1, u"A1+1", 40001);
  kept(0, 2, u"NOW()", 40000);
  EXPECT_EQ(at(0, 1), 40001);
  calculator.refreshVolatile();
  EXPECT_EQ(at(0, 0), 45000);
  EXPECT_EQ(at(0, 1), 45001);
  EXPECT_EQ(at(0, 2), 45000.25);
}

TEST_F(KeptValuesTest, AChangedAreaRecalculatesWhateverReadsIntoIt) {
  kept(0, 0, u"SUM(B5:B10)", 50);
  kept(1, 0, u"B20", 60);
  kept(2, 0, u"C5", 70);
  book.set(0, 6, 1, Scalar::fromNumber(4));            // B7
  calculator.areaChanged({0, 6, 0, kMaxRows - 1, 1});  // rows 7 down, columns A:B
  EXPECT_EQ(at(0, 0), 4);
  EXPECT_EQ(at(1, 0), 0);
  EXPECT_EQ(at(2, 0), 70);
}

}  // namespace
}  // namespace sx::formula
