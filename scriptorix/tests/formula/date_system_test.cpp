#include <gtest/gtest.h>

#include <string>

#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "formula/number_format.h"
#include "memory_workbook.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;

Scalar evaluateIn(DateSystem system, std::u16string_view formula) {
  MemoryWorkbook book{{u"Sheet1"}};
  book.setDateSystem(system);
  book.setNow(45000.75);  // 2023-03-15 18:00 as a 1900 serial
  Evaluator evaluator(book);
  return evaluator.evaluateFormula(*parseFormula(formula));
}

TEST(DateSystem1904, DateFunctionsCountFrom1904) {
  constexpr auto k1904 = DateSystem::From1904;
  EXPECT_EQ(evaluateIn(k1904, u"DATE(2024,1,1)"), Scalar::fromNumber(45292 - 1462));
  EXPECT_EQ(evaluateIn(k1904, u"DATE(1904,1,1)"), Scalar::fromNumber(0));
  EXPECT_EQ(evaluateIn(k1904, u"DATE(1903,12,31)"), Scalar::fromError(ErrorCode::Num));
  EXPECT_EQ(evaluateIn(k1904, u"YEAR(0)&\"-\"&MONTH(0)&\"-\"&DAY(0)"),
            Scalar::fromText(u"1904-1-1"));
  EXPECT_EQ(evaluateIn(k1904, u"WEEKDAY(0)"), Scalar::fromNumber(6));     // a Friday
  EXPECT_EQ(evaluateIn(k1904, u"EOMONTH(0,1)"), Scalar::fromNumber(59));  // 1904-02-29
  EXPECT_EQ(evaluateIn(k1904, u"DAYS(DATE(2024,3,1),DATE(2024,2,1))"), Scalar::fromNumber(29));
  EXPECT_EQ(evaluateIn(k1904, u"TODAY()"), Scalar::fromNumber(45000 - 1462));
  EXPECT_EQ(evaluateIn(k1904, u"NOW()"), Scalar::fromNumber(45000.75 - 1462));
  EXPECT_EQ(evaluateIn(k1904, u"TEXT(1,\"yyyy-mm-dd\")"), Scalar::fromText(u"1904-01-02"));
  EXPECT_EQ(evaluateIn(k1904, u"YEAR(-1)"), Scalar::fromError(ErrorCode::Num));
  // The same formulas on the 1900 system.
  EXPECT_EQ(evaluateIn(DateSystem::From1900, u"DATE(2024,1,1)"), Scalar::fromNumber(45292));
  EXPECT_EQ(evaluateIn(DateSystem::From1900, u"TEXT(1,\"yyyy-mm-dd\")"),
            Scalar::fromText(u"1900-01-01"));
}

TEST(DateSystem1904, FormatsShowTheSameDayForTheSameSerial) {
  const Scalar serial = Scalar::fromNumber(43830.5);  // 2024-01-01 12:00 when counted from 1904
  EXPECT_EQ(renderNumberFormat(serial, u"yyyy-mm-dd hh:mm", DateSystem::From1904),
            u"2024-01-01 12:00");
  EXPECT_EQ(renderNumberFormat(serial, u"yyyy-mm-dd hh:mm"), u"2019-12-31 12:00");
  EXPECT_EQ(renderNumberFormat(Scalar::fromNumber(-1), u"yyyy", DateSystem::From1904), u"#");
}

}  // namespace
}  // namespace sx::formula
