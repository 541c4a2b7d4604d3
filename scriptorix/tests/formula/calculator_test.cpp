#include "formula/calculator.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_workbook.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class CalculatorTest : public testing::Test {
 protected:
  MemoryWorkbook book{{u"Sheet1", u"Sheet2"}};
  Calculator calculator{book};

  void formula(int32_t row, int32_t column, std::u16string_view text, int32_t sheet = 0) {
    book.touch(sheet, row, column);
    calculator.setFormula({sheet, row, column}, text);
  }
  void store(int32_t row, int32_t column, double value, int32_t sheet = 0) {
    book.set(sheet, row, column, Scalar::fromNumber(value));
    calculator.valueChanged({sheet, row, column});
  }
  Scalar at(int32_t row, int32_t column, int32_t sheet = 0) {
    return calculator.value({sheet, row, column});
  }
};

TEST_F(CalculatorTest, RecalculatesWhatDependsOnAChange) {
  store(0, 0, 2);
  formula(0, 1, u"A1*10");       // B1
  formula(0, 2, u"B1+1");        // C1
  formula(1, 0, u"SUM(A1:A1)");  // A2: an area dependency
  formula(2, 0, u"SUM(A:A)");    // A3 would read itself: a cycle
  EXPECT_EQ(at(0, 2), Scalar::fromNumber(21));
  EXPECT_EQ(at(1, 0), Scalar::fromNumber(2));
  store(0, 0, 5);
  EXPECT_EQ(at(0, 2), Scalar::fromNumber(51));
  EXPECT_EQ(at(1, 0), Scalar::fromNumber(5));
  EXPECT_EQ(at(2, 0), Scalar::fromError(ErrorCode::Ref));
}

TEST_F(CalculatorTest, ReplacingAndRemovingFormulasReachesDependents) {
  formula(0, 0, u"1+1");
  formula(0, 1, u"A1*2");
  EXPECT_EQ(at(0, 1), Scalar::fromNumber(4));
  formula(0, 0, u"10");
  EXPECT_EQ(at(0, 1), Scalar::fromNumber(20));
  calculator.removeFormula({0, 0, 0});
  EXPECT_EQ(at(0, 1), Scalar::fromNumber(0));
  EXPECT_FALSE(calculator.hasFormula({0, 0, 0}));
  EXPECT_TRUE(calculator.hasFormula({0, 0, 1}));
}

TEST_F(CalculatorTest, OtherSheetsAndWideAreasAreTracked) {
  store(4, 3, 7, 1);
  formula(0, 0, u"Sheet2!D5+SUM(Sheet2!1:10)");
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(14));
  store(9, 200, 1, 1);
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(15));
  store(10, 200, 1, 1);  // outside both references
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(15));
}

TEST_F(CalculatorTest, CircularReferencesGetAnErrorAndRecoverWhenBroken) {
  formula(0, 0, u"B1+1");
  formula(0, 1, u"C1+1");
  formula(0, 2, u"A1+1");
  formula(0, 3, u"IFERROR(A1,\"caught\")");
  formula(1, 0, u"A2");
  EXPECT_EQ(at(0, 3), Scalar::fromText(u"caught"));
  for (int column = 0; column < 3; ++column)
    EXPECT_EQ(at(0, column), Scalar::fromError(ErrorCode::Ref));
  EXPECT_EQ(at(1, 0), Scalar::fromError(ErrorCode::Ref));
  formula(0, 2, u"5");
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(7));
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(7));
}

TEST_F(CalculatorTest, LongChainsNeedNoDeepStack) {
  constexpr int32_t kRows = 100000;
  store(0, 0, 1);
  for (int32_t row = 1; row < kRows; ++row) {
    formula(row, 0, u"A" + widen(std::to_string(row)) + u"+1");
  }
  EXPECT_EQ(at(kRows - 1, 0), Scalar::fromNumber(kRows));
  store(0, 0, 10);
  EXPECT_EQ(at(kRows - 1, 0), Scalar::fromNumber(kRows + 9));
  // A cycle closing the chain is found without recursion too.
  formula(0, 0, u"A" + widen(std::to_string(kRows)));
  EXPECT_EQ(at(kRows - 1, 0), Scalar::fromError(ErrorCode::Ref));
}

TEST_F(CalculatorTest, UnparsableFormulasAreNameErrors) {
  formula(1, 0, u"=1+1");  // a stray leading "=" is accepted
  EXPECT_EQ(at(1, 0), Scalar::fromNumber(2));
  formula(0, 0, u"SUM(1");
  formula(0, 1, u"ISERROR(A1)");
  EXPECT_EQ(at(0, 0), Scalar::fromError(ErrorCode::Name));
  EXPECT_EQ(at(0, 1), Scalar::fromBoolean(true));
}

TEST_F(CalculatorTest, InvalidateAllPicksUpNamesAndSheets) {
  formula(0, 0, u"Rate*2");
  EXPECT_EQ(at(0, 0), Scalar::fromError(ErrorCode::Name));
  store(0, 1, 4);
  book.defineName(u"Rate", u"Sheet1!$B$1");
  calculator.invalidateAll();
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(8));
  store(0, 1, 5);
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(10));
}

TEST_F(CalculatorTest, EachFormulaIsCalculatedOnceUntilSomethingChanges) {
  store(0, 0, 1);
  formula(0, 1, u"A1+1");
  at(0, 1);
  long reads = book.reads();
  at(0, 1);
  EXPECT_EQ(book.reads(), reads);
}

}  // namespace
}  // namespace sx::formula

namespace sx::formula {
namespace {

TEST_F(CalculatorTest, FollowsTheBranchAFormulaActuallyTakes) {
  store(0, 1, 1);                    // B1: the switch
  formula(0, 2, u"10");              // C1
  formula(0, 3, u"20");              // D1
  formula(0, 0, u"IF(B1=1,C1,D1)");  // A1
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(10));
  formula(0, 3, u"30");
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(10));
  store(0, 1, 2);
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(30));
  formula(0, 3, u"40");
  EXPECT_EQ(at(0, 0), Scalar::fromNumber(40));
}

TEST_F(CalculatorTest, FormulasReadingManyFormulaCellsWaitForAllOfThem) {
  for (int32_t row = 0; row < 50; ++row) formula(row, 0, u"ROW()*2");
  formula(0, 1, u"SUM(A1:A50)+COUNTIF(A:A,\">50\")");
  EXPECT_EQ(at(0, 1), Scalar::fromNumber(2550 + 25));
  formula(49, 0, u"0");
  EXPECT_EQ(at(0, 1), Scalar::fromNumber(2450 + 24));
}

}  // namespace
}  // namespace sx::formula

namespace sx::formula {
namespace {

TEST_F(CalculatorTest, RunningFormulasOverEarlierFormulasStayLinearInMemory) {
  // C1 = 1, Cn = MAX(C$1:Cn-1)+1: every formula waits for all before it.
  constexpr int32_t kRows = 3000;
  formula(0, 2, u"1");
  for (int32_t row = 1; row < kRows; ++row) {
    formula(row, 2, u"MAX(C$1:C" + widen(std::to_string(row)) + u")+1");
  }
  EXPECT_EQ(at(kRows - 1, 2), Scalar::fromNumber(kRows));
  formula(0, 2, u"10");
  EXPECT_EQ(at(kRows - 1, 2), Scalar::fromNumber(kRows + 9));
}

}  // namespace
}  // namespace sx::formula
