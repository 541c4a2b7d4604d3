#include <gtest/gtest.h>

#include <string>

#include "formula/calculator.h"
#include "memory_workbook.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Many criteria formulas over one column: its values are read once and kept until they change.
class AreaValuesTest : public testing::Test {
 protected:
  MemoryWorkbook book{{u"Sheet1"}};
  Calculator calculator{book};

  void formula(int32_t row, int32_t column, std::u16string_view text) {
    book.touch(0, row, column);
    calculator.setFormula({0, row, column}, text);
  }
  void store(int32_t row, int32_t column, double value) {
    book.set(0, row, column, Scalar::fromNumber(value));
    calculator.valueChanged({0, row, column});
  }
  double number(int32_t row, int32_t column) {
    Scalar value = calculator.value({0, row, column});
    EXPECT_TRUE(value.isNumber()) << "row " << row << " column " << column;
    return value.number;
  }
  // A: 0..99 stored; B: =A+1 formulas; D (row r): how many B cells are above r.
  void fill() {
    for (int32_t row = 0; row < 100; ++row) {
      store(row, 0, row);
      formula(row, 1, u"A" + widen(std::to_string(row + 1)) + u"+1");
      formula(row, 3, u"COUNTIF($B$1:$B$100,\">" + widen(std::to_string(row)) + u"\")");
    }
  }
};

TEST_F(AreaValuesTest, ManyFormulasOverOneColumnReadItOnce) {
  fill();
  for (int32_t row = 0; row < 100; ++row) {
    formula(row, 4, u"SUMIF($A$1:$A$100,\"<" + widen(std::to_string(row)) + u"\")");
  }
  long before = book.reads();
  for (int32_t row = 0; row < 100; ++row) {
    EXPECT_EQ(number(row, 3), 100 - row);
    EXPECT_EQ(number(row, 4), row * (row - 1) / 2);
  }
  // The B formulas read their A cell once each, the SUMIFs the A column once in all (not
  // 100 times 100).
  EXPECT_LT(book.reads() - before, 300);
}

TEST_F(AreaValuesTest, ArrayArgumentsOverOneColumnReadItOnce) {
  fill();
  for (int32_t row = 0; row < 100; ++row) {
    formula(row, 4, u"SUMPRODUCT(($A$1:$A$100>" + widen(std::to_string(row)) + u")*$A$1:$A$100)");
  }
  long before = book.reads();
  for (int32_t row = 0; row < 100; ++row) EXPECT_EQ(number(row, 4), (99 - row) * (100 + row) / 2);
  EXPECT_LT(book.reads() - before, 300);
  store(99, 0, 1000);
  EXPECT_EQ(number(0, 4), 4950 - 99 + 1000);
}

TEST_F(AreaValuesTest, KeptValuesFollowEveryKindOfChange) {
  fill();
  EXPECT_EQ(number(50, 3), 50);
  store(10, 0, 1000);  // B11 becomes 1001 through its formula
  EXPECT_EQ(number(50, 3), 51);
  formula(60, 1, u"-5");  // a formula of the column replaced
  EXPECT_EQ(number(50, 3), 50);
  calculator.removeFormula({0, 70, 1});  // B71 empty now
  EXPECT_EQ(number(50, 3), 49);
  book.set(0, 70, 1, Scalar::fromNumber(77));
  calculator.areaChanged({0, 70, 1, 70, 1});
  EXPECT_EQ(number(50, 3), 50);
  formula(0, 5, u"COUNTIF($B$1:$B$200,\">500\")");  // reaches past the used rows
  EXPECT_EQ(number(0, 5), 1);
  formula(150, 1, u"999");  // the used part grows into the area
  EXPECT_EQ(number(0, 5), 2);
  store(160, 1, 600);
  EXPECT_EQ(number(0, 5), 3);
}

TEST_F(AreaValuesTest, SeveralRangesAndCyclesStaySound) {
  fill();
  formula(0, 4, u"COUNTIFS($B$1:$B$100,\">10\",$A$1:$A$100,\"<20\")");
  EXPECT_EQ(number(0, 4), 10);
  // A criteria formula inside the area it counts reads itself: an error, until it moves out.
  formula(99, 1, u"COUNTIF($B$1:$B$100,\">0\")");
  EXPECT_EQ(calculator.value({0, 99, 1}), Scalar::fromError(ErrorCode::Ref));
  formula(99, 1, u"100");
  EXPECT_EQ(number(0, 3), 100);
  EXPECT_EQ(number(0, 4), 10);
}

}  // namespace
}  // namespace sx::formula
