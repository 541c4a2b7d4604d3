#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formula/date_text.h"
#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "memory_workbook.h"
#include "scalar_text.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;
using testing_support::narrow;

// Sheet1 A1:A4 = 10, 20, 30, 40; B1 = "x", B2 = 45352 (2024-03-01), B3 = "holiday";
// "Sheet 2" exists for sheet-name quoting.
Scalar evaluate(std::u16string_view formula, DateSystem system = DateSystem::From1900) {
  MemoryWorkbook book({u"Sheet1", u"Sheet 2"});
  for (int row = 0; row < 4; ++row) book.set(0, row, 0, Scalar::fromNumber(10.0 * (row + 1)));
  book.set(0, 0, 1, Scalar::fromText(u"x"));
  book.set(0, 1, 1, Scalar::fromNumber(45352));
  book.set(0, 2, 1, Scalar::fromText(u"holiday"));
  book.setDateSystem(system);
  Evaluator evaluator(book);
  return evaluator.evaluateFormula(*parseFormula(formula));
}

struct Case {
  const char16_t* formula;
  Scalar expected;
};

Scalar num(double value) { return Scalar::fromNumber(value); }
Scalar txt(const char16_t* text) { return Scalar::fromText(text); }
Scalar err(ErrorCode code) { return Scalar::fromError(code); }

void expectCase(const Case& c, DateSystem system = DateSystem::From1900) {
  const Scalar got = evaluate(c.formula, system);
  if (c.expected.isNumber() && got.isNumber()) {
    EXPECT_NEAR(got.number, c.expected.number, 1e-9 * std::max(1.0, std::fabs(c.expected.number)))
        << narrow(c.formula);
  } else {
    EXPECT_EQ(got, c.expected) << narrow(c.formula) << " gave " << narrow(got.text);
  }
}

class Computes : public testing::TestWithParam<Case> {};
TEST_P(Computes, AsTheDesktopApplication) { expectCase(GetParam()); }

// Iterations that cannot converge, and cash flows given the wrong way, are #NUM! or #VALUE!,
// never a number the iteration happened to stop at.
INSTANTIATE_TEST_SUITE_P(
    CashFlows, Computes,
    testing::Values(
        Case{u"IRR({-1,-2,-3})", err(ErrorCode::Num)},
        Case{u"RATE(10,100,1000)", err(ErrorCode::Num)}, Case{u"RATE(10,-100,1000,0,1)", num(0)},
        Case{u"RATE(0,-100,1000)", err(ErrorCode::Num)}, Case{u"IRR(A1:B4)", err(ErrorCode::Num)},
        Case{u"XIRR({-100,110},{45352,45000})", err(ErrorCode::Num)},
        Case{u"XNPV(0.1,{-100,\"x\"},{45352,45717})", err(ErrorCode::Value)},
        Case{u"XNPV(0.1,{-100,110},{45352,45717})", num(-100 + 110 / std::pow(1.1, 1))},
        Case{u"XNPV(-1,{-100,110},{45352,45717})", err(ErrorCode::Num)},
        Case{u"FVSCHEDULE(100,B1:B1)", err(ErrorCode::Value)},
        Case{u"FVSCHEDULE(100,{0.1,0.1})", num(121)},
        Case{u"PPMT(0.1,1,2,100)+IPMT(0.1,1,2,100)", num(-57.61904761904762)},
        Case{u"CUMPRINC(0.01,12,1000,1,12,0)", num(-1000)},
        Case{u"CUMIPMT(0.01,12,1000,6,5,0)", err(ErrorCode::Num)},
        Case{u"RRI(2,0,100)", err(ErrorCode::Num)}, Case{u"RRI(2,100,-100)", err(ErrorCode::Num)}));

INSTANTIATE_TEST_SUITE_P(
    Depreciation, Computes,
    testing::Values(Case{u"SLN(100,10,0)", err(ErrorCode::Div0)}, Case{u"DB(0,0,5,1)", num(0)},
                    Case{u"DB(1000,100,5,1,13)", err(ErrorCode::Num)},
                    Case{u"DDB(1000,100,5,6)", err(ErrorCode::Num)},
                    // Factor above the life: everything goes in the first period.
                    Case{u"DDB(1000,100,1,1,3)", num(900)}, Case{u"VDB(1000,100,5,0,5)", num(900)},
                    Case{u"VDB(1000,100,5,0,0.5)", num(200)},
                    Case{u"VDB(1000,100,5,2,1)", err(ErrorCode::Num)}));

INSTANTIATE_TEST_SUITE_P(
    Calendar, Computes,
    testing::Values(
        Case{u"DATEDIF(DATE(2024,1,20),DATE(2024,3,5),\"MD\")", num(14)},
        Case{u"DATEDIF(DATE(2020,2,29),DATE(2021,2,28),\"Y\")", num(0)},
        Case{u"DATEDIF(DATE(2020,2,29),DATE(2024,2,29),\"y\")", num(4)},
        Case{u"TIME(32768,0,0)", err(ErrorCode::Num)}, Case{u"TIME(23,59,60)", num(0)},
        Case{u"WEEKNUM(DATE(2024,1,1),21)", num(1)}, Case{u"ISOWEEKNUM(DATE(2027,1,1))", num(53)},
        Case{u"YEARFRAC(DATE(2024,2,29),DATE(2024,2,29),1)", num(0)},
        Case{u"YEARFRAC(DATE(2023,2,28),DATE(2024,2,29))", num(1)},
        Case{u"DAYS360(DATE(2024,1,15),DATE(2024,1,31))", num(16)},
        Case{u"DAYS360(DATE(2024,1,30),DATE(2024,1,31))", num(0)},
        Case{u"WORKDAY(DATE(9999,12,30),5)", err(ErrorCode::Num)},
        Case{u"WORKDAY(DATE(2024,3,1),1,B2)", num(45355)},
        Case{u"WORKDAY(DATE(2024,3,1),1,\"2024-03-04\")", num(45356)},
        Case{u"NETWORKDAYS(DATE(2024,3,1),DATE(2024,3,1),B2:B2)", num(0)},
        Case{u"NETWORKDAYS(DATE(2024,3,1),DATE(2024,3,8),B1:B3)", err(ErrorCode::Value)},
        Case{u"WORKDAY.INTL(DATE(2024,3,1),1,\"000001\")", err(ErrorCode::Value)},
        Case{u"WORKDAY.INTL(DATE(2024,3,1),1,\"0000012\")", err(ErrorCode::Value)},
        Case{u"DATEVALUE(\"10:30\")", err(ErrorCode::Value)},
        Case{u"TIMEVALUE(\"2/29/1900\")", num(0)}, Case{u"DATEVALUE(\"2/29/1900\")", num(60)}));

// Text that reads as a number, a date or a time in arithmetic, and text that does not.
INSTANTIATE_TEST_SUITE_P(
    TypedText, Computes,
    testing::Values(
        Case{u"\"$1,234.50\"+0", num(1234.5)}, Case{u"\"(5)\"+1", num(-4)},
        Case{u"\"$-5\"+0", num(-5)}, Case{u"\"($5)\"+0", num(-5)},
        Case{u"\"(-5)\"+0", err(ErrorCode::Value)}, Case{u"\"$\"+0", err(ErrorCode::Value)},
        Case{u"\"5$\"+0", err(ErrorCode::Value)}, Case{u"\"()\"+0", err(ErrorCode::Value)},
        Case{u"\"10:30:15.5\"*86400", num(37815.5)}, Case{u"\"12 PM\"*24", num(12)},
        Case{u"\"12:30 AM\"*24", num(0.5)}, Case{u"\"13:00 PM\"+0", err(ErrorCode::Value)},
        Case{u"\"10:60\"+0", err(ErrorCode::Value)},
        Case{u"\"2024-03-01 10:30\"-45352", num(10.5 / 24)},
        Case{u"\"2024-03-0110:30\"+0", err(ErrorCode::Value)}, Case{u"\"Mar 2024\"+0", num(45352)},
        Case{u"\"1/13/2024\"+0", num(45304)}, Case{u"\"13/1/2024\"+0", err(ErrorCode::Value)},
        Case{u"\"1/3\"+0", err(ErrorCode::Value)}, Case{u"\"1.2.2024\"+0", err(ErrorCode::Value)},
        Case{u"\"Smarch 3, 2024\"+0", err(ErrorCode::Value)},
        Case{u"SUM({1,2}*{3,4},-{1})", num(10)}, Case{u"SUM({1;2;3}*A1:A3)", num(140)}));

INSTANTIATE_TEST_SUITE_P(
    TextAndInformation, Computes,
    testing::Values(
        Case{u"TEXTBEFORE(\"abc\",\"\")", txt(u"")}, Case{u"TEXTAFTER(\"abc\",\"\")", txt(u"abc")},
        Case{u"TEXTAFTER(\"abc\",\"\",-1)", txt(u"")},
        Case{u"TEXTBEFORE(\"a,b\",\",\",5)", err(ErrorCode::Value)},
        Case{u"TEXTBEFORE(\"a,b\",\",\",-1,0,1)", txt(u"a")},
        Case{u"TEXTAFTER(\"a,b\",\",\",-2,0,1)", txt(u"a,b")},
        Case{u"UNICODE(UNICHAR(128512))", num(128512)}, Case{u"LEN(UNICHAR(128512))", num(2)},
        Case{u"UNICHAR(55296)", err(ErrorCode::NA)},
        Case{u"UNICHAR(1114112)", err(ErrorCode::Value)},
        Case{u"FIXED(1,128)", err(ErrorCode::Value)}, Case{u"FIXED(-0.4,0)", txt(u"0")},
        Case{u"DOLLAR(1234.5,-5)", txt(u"$0")},
        Case{u"NUMBERVALUE(\"1.5\",\",\",\",\")", err(ErrorCode::Value)},
        Case{u"NUMBERVALUE(\"1.000,5\",\",\",\".\")", num(1000.5)},
        Case{u"NUMBERVALUE(\"1,5.000\",\",\",\".\")", err(ErrorCode::Value)},
        Case{u"CLEAN(\"a\"&CHAR(31)&\" b\")", txt(u"a b")},
        Case{u"INDEX(TEXTSPLIT(\"a,b;c\",\",\",\";\"),2,2)", err(ErrorCode::NA)},
        Case{u"INDEX(TEXTSPLIT(\"a,b;c\",\",\",\";\",FALSE,0,\"-\"),2,2)", txt(u"-")},
        Case{u"COLUMNS(TEXTSPLIT(\"a,,b\",\",\"))", num(3)},
        Case{u"COLUMNS(TEXTSPLIT(\"a,,b\",\",\",,TRUE))", num(2)},
        Case{u"INDEX(TEXTSPLIT(\"aXbxc\",\"x\",,,1),3)", txt(u"c")},
        Case{u"INDEX(TEXTSPLIT(\"a-b_c\",{\"_\",\"-\"}),2)", txt(u"b")},
        Case{u"TEXTSPLIT(\"abc\",\"\")", err(ErrorCode::Value)}, Case{u"TYPE(A1:A2)", num(64)},
        Case{u"TYPE(Z99)", num(1)}, Case{u"ISREF((A1,B2))", Scalar::fromBoolean(true)},
        Case{u"ISREF(#REF!)", Scalar::fromBoolean(false)}, Case{u"AREAS((A1,B2:C3,D4))", num(3)},
        Case{u"AREAS(1)", err(ErrorCode::Value)}));

// ADDRESS writes sheet names by the one quoting rule of references.
INSTANTIATE_TEST_SUITE_P(
    Addresses, Computes,
    testing::Values(Case{u"ADDRESS(3,28,4,FALSE)", txt(u"R[3]C[28]")},
                    Case{u"ADDRESS(3,28,2,FALSE)", txt(u"R3C[28]")},
                    Case{u"ADDRESS(1048576,1,3)", txt(u"$A1048576")},
                    Case{u"ADDRESS(1048577,1)", err(ErrorCode::Value)},
                    Case{u"ADDRESS(1,1,5)", err(ErrorCode::Value)},
                    Case{u"ADDRESS(1,1,4,TRUE,\"A1\")", txt(u"'A1'!A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"TRUE\")", txt(u"'TRUE'!A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"Sheet_1\")", txt(u"Sheet_1!A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"\")", txt(u"A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"[Book1]Sheet1\")", txt(u"[Book1]Sheet1!A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"[Book1]My Sheet\")", txt(u"'[Book1]My Sheet'!A1")},
                    Case{u"ADDRESS(1,1,4,TRUE,\"[Book1]\")", txt(u"'[Book1]'!A1")}));

INSTANTIATE_TEST_SUITE_P(
    Lookups, Computes,
    testing::Values(
        Case{u"XMATCH(\"x*\",B1:B3,2,2)", err(ErrorCode::Value)},
        Case{u"XMATCH(20,A1:A4,0,3)", err(ErrorCode::Value)},
        Case{u"XMATCH(5,A1:A4,-1,2)", err(ErrorCode::NA)},
        Case{u"XMATCH(45,A1:A4,1,2)", err(ErrorCode::NA)}, Case{u"XMATCH(45,A1:A4,-1,2)", num(4)},
        Case{u"XMATCH(20,A1:B2)", err(ErrorCode::Value)},
        Case{u"LOOKUP(5,A1:A4)", err(ErrorCode::NA)}, Case{u"LOOKUP(25,A1:A4,B1:B3)", num(45352)},
        Case{u"LOOKUP(45,A1:A4,B1:B3)", err(ErrorCode::NA)}, Case{u"LOOKUP(25,A1:B4)", num(45352)},
        // Keys out of order: the halving search stops at an exact hit.
        Case{u"LOOKUP(\"b\",{\"b\",\"a\",\"c\",\"d\",\"e\"},{1,2,3,4,5})", num(1)}));

// Array results are read inside other functions (a cell shows the first element).
INSTANTIATE_TEST_SUITE_P(
    ArrayShapes, Computes,
    testing::Values(Case{u"SUM(CHOOSECOLS({1,2,3;4,5,6},-1,1))", num(14)},
                    Case{u"INDEX(CHOOSEROWS({1,2;3,4;5,6},3,1),1,2)", num(6)},
                    Case{u"CHOOSECOLS({1,2},3)", err(ErrorCode::Value)},
                    Case{u"CHOOSECOLS({1,2},0)", err(ErrorCode::Value)},
                    Case{u"SUM(TAKE(A1:A4,-2))", num(70)}, Case{u"SUM(TAKE(A1:A4,99))", num(100)},
                    Case{u"TAKE(A1:A4,0)", err(ErrorCode::Value)},
                    Case{u"SUM(DROP(A1:A4,1))", num(90)}, Case{u"SUM(DROP(A1:A4,-3))", num(10)},
                    Case{u"DROP(A1:A4,4)", err(ErrorCode::Value)},
                    Case{u"ROWS(VSTACK({1,2},{3;4}))", num(3)},
                    Case{u"INDEX(VSTACK({1,2},{3;4}),3,2)", err(ErrorCode::NA)},
                    Case{u"COLUMNS(HSTACK(A1:A2,{1,2,3}))", num(4)},
                    Case{u"INDEX(TOCOL({1,2;3,4},0,TRUE),2)", num(3)},
                    Case{u"COUNTA(TOROW(HSTACK(1,NA()),2))", num(1)},
                    Case{u"TOCOL({1},4)", err(ErrorCode::Value)}));

// In a workbook counting from 1904, date texts and day arguments are read as its serials.
TEST(AddedFunctions, ReadDatesOnThe1904System) {
  constexpr auto k1904 = DateSystem::From1904;
  expectCase({u"\"1904-01-02\"+0", num(1)}, k1904);
  expectCase({u"DATEVALUE(\"2024-03-01\")", num(45352 - 1462)}, k1904);
  expectCase({u"VALUE(\"2024-03-01\")", num(45352 - 1462)}, k1904);
  expectCase({u"\"1903-12-31\"+0", err(ErrorCode::Value)}, k1904);
  expectCase({u"WORKDAY(45352-1462,1)", num(45355 - 1462)}, k1904);
  expectCase({u"NETWORKDAYS(45352-1462,45358-1462,{43890})", num(4)}, k1904);
  expectCase({u"DATEDIF(0,366,\"Y\")", num(1)}, k1904);
  expectCase({u"\"10:30\"*24", num(10.5)}, k1904);
}

TEST(AddedFunctions, DateTextReportsWhichPartsItHad) {
  auto both = parseDateTimeText(u"1 March 2024 6 PM");
  ASSERT_TRUE(both.has_value());
  EXPECT_TRUE(both->hasDate && both->hasTime);
  EXPECT_DOUBLE_EQ(both->serial, 45352.75);
  auto time = parseDateTimeText(u"  7:05 am ");
  ASSERT_TRUE(time.has_value());
  EXPECT_FALSE(time->hasDate);
  EXPECT_DOUBLE_EQ(time->serial, (7 * 60 + 5) / 1440.0);
  EXPECT_FALSE(parseDateTimeText(u"12345678901:00").has_value());
  EXPECT_FALSE(parseDateTimeText(u"PM").has_value());
  EXPECT_FALSE(parseDateTimeText(u"2024--03-01").has_value());
  EXPECT_FALSE(parseDateTimeText(u"10000-01-01").has_value());
}

}  // namespace
}  // namespace sx::formula
