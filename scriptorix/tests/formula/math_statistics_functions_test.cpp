#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "formula/calculator.h"
#include "memory_workbook.h"
#include "scalar_text.h"

namespace sx::formula {
namespace {

using testing_support::describe;
using testing_support::MemoryWorkbook;
using testing_support::narrow;

struct Case {
  const char16_t* formula;
  const char* expected;
};

// Sheet1: A1:A5 = 1..5, B1:B4 = texts, C1 TRUE, C2 "7", C3 #N/A, C4 FALSE, D1:D5 = 10..50,
// E empty; row 2 is hidden; A6 = SUBTOTAL(9,A1:A5) and A7 = SUM(A1:A5), both 15.
// Each formula is calculated in K21 by a Calculator, which knows which cells hold subtotals.
std::string calculate(std::u16string_view formula) {
  MemoryWorkbook book({u"Sheet1"});
  for (int row = 0; row < 5; ++row) {
    book.set(0, row, 0, Scalar::fromNumber(row + 1));
    book.set(0, row, 3, Scalar::fromNumber(10.0 * (row + 1)));
  }
  const char16_t* fruits[] = {u"apple", u"banana", u"cherry", u"apple pie"};
  for (int row = 0; row < 4; ++row) book.set(0, row, 1, Scalar::fromText(fruits[row]));
  book.set(0, 0, 2, Scalar::fromBoolean(true));
  book.set(0, 1, 2, Scalar::fromText(u"7"));
  book.set(0, 2, 2, Scalar::fromError(ErrorCode::NA));
  book.set(0, 3, 2, Scalar::fromBoolean(false));
  book.hideRow(0, 1);
  Calculator calculator(book);
  book.touch(0, 6, 0);
  calculator.setFormula({0, 5, 0}, u"SUBTOTAL(9,A1:A5)");
  calculator.setFormula({0, 6, 0}, u"SUM(A1:A5)");
  book.touch(0, 20, 10);
  calculator.setFormula({0, 20, 10}, formula);
  return describe(calculator.value({0, 20, 10}));
}

class Calculates : public testing::TestWithParam<Case> {};

TEST_P(Calculates, AsTheSpreadsheetDefinesIt) {
  EXPECT_EQ(calculate(GetParam().formula), GetParam().expected) << narrow(GetParam().formula);
}

INSTANTIATE_TEST_SUITE_P(
    SubtotalsSkipHiddenRowsAndNestedTotals, Calculates,
    testing::Values(
        Case{u"SUBTOTAL(9,A1:A7)", "30"}, Case{u"SUBTOTAL(109,A1:A7)", "28"},
        Case{u"SUBTOTAL(9,A:A)", "30"}, Case{u"SUBTOTAL(102,A1:C5)", "4"},
        Case{u"SUBTOTAL(3,A1:C5)", "13"}, Case{u"SUBTOTAL(103,A1:C5)", "10"},
        Case{u"SUBTOTAL(9,A1:A5,D1:D2)", "45"}, Case{u"SUBTOTAL(9,A1:C5)", "#N/A"},
        Case{u"SUBTOTAL(1,B1:B4)", "#DIV/0!"}, Case{u"SUBTOTAL(4,B1:B4)", "0"},
        Case{u"SUBTOTAL(7,A1)", "#DIV/0!"}, Case{u"SUBTOTAL(0,A1:A5)", "#VALUE!"},
        Case{u"SUBTOTAL(112,A1:A5)", "#VALUE!"}, Case{u"SUBTOTAL(9,{1,2})", "#VALUE!"},
        Case{u"AGGREGATE(9,4,A1:A7)", "45"}, Case{u"AGGREGATE(9,1,A1:A7)", "28"},
        Case{u"AGGREGATE(9,5,A1:A7)", "43"}, Case{u"AGGREGATE(9,0,A1:C5)", "#N/A"},
        Case{u"AGGREGATE(9,6,A1:C5)", "15"}, Case{u"AGGREGATE(3,6,C1:C4)", "3"},
        Case{u"AGGREGATE(14,6,A1:C5,2)", "4"}, Case{u"AGGREGATE(14,7,A1:C5,4)", "1"},
        Case{u"AGGREGATE(15,0,{5,1,3},1)", "1"}, Case{u"AGGREGATE(15,6,{5,1,3}/{1,0,1},1)", "3"},
        Case{u"AGGREGATE(9,0,{1,2})", "#VALUE!"}, Case{u"AGGREGATE(14,0,A1:A5)", "#VALUE!"},
        Case{u"AGGREGATE(20,0,A1:A5)", "#VALUE!"}, Case{u"AGGREGATE(9,8,A1:A5)", "#VALUE!"},
        Case{u"AGGREGATE(13,0,(A3,A1,A1,A3))", "3"}, Case{u"AGGREGATE(12,0,A1:A5)", "3"},
        Case{u"AGGREGATE(16,0,A1:A5,1.5)", "#NUM!"}, Case{u"AGGREGATE(19,0,A1:A5,2)", "3"},
        Case{u"AGGREGATE(14,0,B1:B4,1)", "#NUM!"}));

INSTANTIATE_TEST_SUITE_P(
    MatricesGiveArrays, Calculates,
    testing::Values(
        Case{u"MMULT({1,2;3,4},{5;6})", "17"}, Case{u"INDEX(MMULT({1,2;3,4},{5;6}),2,1)", "39"},
        Case{u"INDEX(MMULT(A1:A2,{1,2}),2,2)", "4"}, Case{u"MMULT({1,2},{1,2})", "#VALUE!"},
        Case{u"MMULT(B1:B2,{1})", "#VALUE!"}, Case{u"MMULT(C3,{1})", "#N/A"},
        Case{u"MMULT(E1,{1})", "#VALUE!"}, Case{u"SUM(MMULT(A1:A2*2,{1,1}))", "12"},
        Case{u"MDETERM({1,2;3,4})", "-2"}, Case{u"MDETERM({0,1;1,0})", "-1"},
        Case{u"MDETERM({1,2})", "#VALUE!"}, Case{u"MDETERM({1,2;2,4})", "0"},
        Case{u"INDEX(MINVERSE({4,7;2,6}),1,2)", "-0.7"},
        Case{u"INDEX(MINVERSE({0,1;1,0}),2,1)", "1"}, Case{u"MINVERSE({1,2;2,4})", "#NUM!"},
        Case{u"SUM(MUNIT(3))", "3"}, Case{u"MUNIT(0)", "#VALUE!"}, Case{u"MUNIT(5000)", "#NUM!"},
        Case{u"INDEX(TRANSPOSE({1,2,3}),3,1)", "3"}, Case{u"ROWS(TRANSPOSE(A1:D1))", "4"},
        Case{u"INDEX(TRANSPOSE(E1:E2),1,2)", "0"}));

INSTANTIATE_TEST_SUITE_P(
    MathRoundingCountingAndNumerals, Calculates,
    testing::Values(
        Case{u"ROMAN(499,1)", "\"LDVLIV\""}, Case{u"ROMAN(499,2)", "\"XDIX\""},
        Case{u"ROMAN(499,3)", "\"VDIV\""}, Case{u"ROMAN(499,4)", "\"ID\""},
        Case{u"ROMAN(499,TRUE)", "\"CDXCIX\""}, Case{u"ROMAN(499,FALSE)", "\"ID\""},
        Case{u"ROMAN(3999)", "\"MMMCMXCIX\""}, Case{u"ROMAN(-1)", "#VALUE!"},
        Case{u"ROMAN(1,5)", "#VALUE!"}, Case{u"ARABIC(\" -xiv \")", "-14"},
        Case{u"ARABIC(\"AB\")", "#VALUE!"}, Case{u"ARABIC(ROMAN(1994))", "1994"},
        Case{u"BASE(255,16,4)", "\"00FF\""}, Case{u"BASE(1,37)", "#NUM!"},
        Case{u"DECIMAL(\"ff\",16)", "255"}, Case{u"DECIMAL(\"2\",2)", "#NUM!"},
        Case{u"CEILING.MATH(-5.5,2,1)", "-6"}, Case{u"FLOOR.MATH(-5.5,2,1)", "-4"},
        Case{u"CEILING.PRECISE(-4.3,2)", "-4"}, Case{u"FLOOR.PRECISE(4.3,-2)", "4"},
        Case{u"CEILING.MATH(0.1*3,0.1)", "0.3"}, Case{u"FLOOR.MATH(5,0)", "0"},
        Case{u"MROUND(1.3,0.2)", "1.4"}, Case{u"MROUND(-10,-3)", "-9"},
        Case{u"MROUND(5,-2)", "#NUM!"}, Case{u"QUOTIENT(-7,2)", "-3"},
        Case{u"QUOTIENT(1,0)", "#DIV/0!"}, Case{u"GCD(A1:A5,D1:D5)", "1"},
        Case{u"GCD(12,\"18\")", "6"}, Case{u"GCD(1E+16)", "#NUM!"}, Case{u"LCM(4,6,10)", "60"},
        Case{u"LCM(0,5)", "0"}, Case{u"MULTINOMIAL(2,3,4)", "1260"},
        Case{u"MULTINOMIAL(100,100)", "9.05485146561e+58"}, Case{u"MULTINOMIAL(-1)", "#NUM!"},
        Case{u"FACTDOUBLE(7)", "105"}, Case{u"FACTDOUBLE(0)", "1"},
        Case{u"FACTDOUBLE(-1)", "#NUM!"}, Case{u"COMBINA(4,3)", "20"},
        Case{u"COMBIN(1E+15,5E+14)", "#NUM!"}, Case{u"COMBINA(1E+15,5E+14)", "#NUM!"},
        Case{u"PERMUT(10,3)", "720"}, Case{u"PERMUT(3,5)", "#NUM!"},
        Case{u"PERMUTATIONA(3,2)", "9"}, Case{u"PERMUT(1E+16,2)", "1e+32"},
        Case{u"PERMUT(1E+16,1E+15)", "#NUM!"}, Case{u"SQRTPI(1)", "1.77245385091"},
        Case{u"COT(0)", "#DIV/0!"}, Case{u"COT(2^27)", "#NUM!"}, Case{u"CSCH(0)", "#DIV/0!"},
        Case{u"SEC(0)", "1"}, Case{u"ACOTH(1)", "#NUM!"}, Case{u"ACOT(0)", "1.57079632679"},
        Case{u"SUMX2MY2({2,3},{1,\"x\"})", "3"}, Case{u"SUMXMY2(A1:A5,D1:D5)", "4455"},
        Case{u"SUMX2PY2(A1:A2,C1:C2)", "#DIV/0!"}, Case{u"SUMX2PY2(A1:A3,C1:C3)", "#N/A"},
        Case{u"SUMXMY2({1,2},{1,2,3})", "#N/A"}, Case{u"SERIESSUM(2,0,1,{1,\"a\"})", "#VALUE!"},
        Case{u"SERIESSUM(2,1,2,A1:A2)", "18"}, Case{u"RANDBETWEEN(3,1)", "#NUM!"},
        Case{u"RANDBETWEEN(1.5,2.5)", "2"}, Case{u"AND(RAND()>=0,RAND()<1)", "TRUE"}));

INSTANTIATE_TEST_SUITE_P(
    RanksPercentilesAndRegression, Calculates,
    testing::Values(
        Case{u"RANK(4,A1:A5)", "2"}, Case{u"RANK(4,A1:A5,1)", "4"},
        Case{u"RANK(2,{1,2})", "#VALUE!"}, Case{u"RANK.AVG(2,(A1:A5,A2))", "4.5"},
        Case{u"RANK.EQ(2,(A1:A5,A2))", "4"}, Case{u"RANK(1,B1:B4)", "#N/A"},
        Case{u"PERCENTILE(A1:A5,0.25)", "2"}, Case{u"PERCENTILE(A1:A5,0.3)", "2.2"},
        Case{u"PERCENTILE.EXC(A1:A5,0.1)", "#NUM!"}, Case{u"PERCENTILE.EXC(A1:A5,0.5)", "3"},
        Case{u"PERCENTILE(B1:B4,0.5)", "#NUM!"}, Case{u"QUARTILE(A1:A5,5)", "#NUM!"},
        Case{u"QUARTILE.INC(A1:A5,1.9)", "2"}, Case{u"QUARTILE.EXC(A1:A5,1)", "1.5"},
        Case{u"PERCENTRANK(A1:A5,2.5)", "0.375"}, Case{u"PERCENTRANK.EXC(A1:A5,3)", "0.5"},
        Case{u"PERCENTRANK(A1:A5,3,0)", "#NUM!"}, Case{u"PERCENTRANK(A1:A5,2.2,1)", "0.3"},
        Case{u"PERCENTRANK({7},7)", "1"}, Case{u"PERCENTRANK(A1:A5,0)", "#N/A"},
        Case{u"MODE.MULT({1,2,2,3,3})", "2"}, Case{u"INDEX(MODE.MULT({1,3,3,2,2}),2,1)", "2"},
        Case{u"ROWS(MODE.MULT({1,2,2,3,3}))", "2"}, Case{u"CORREL(A1:A5,D1:D5)", "1"},
        Case{u"SLOPE(D1:D5,A1:A5)", "10"}, Case{u"INTERCEPT(D1:D5,A1:A5)", "0"},
        Case{u"FORECAST(6,D1:D5,A1:A5)", "60"}, Case{u"RSQ({1,2,3},{1,2,4})", "0.964285714286"},
        Case{u"STEYX({1,2,4},{1,2,3})", "0.408248290464"}, Case{u"SLOPE({1,2},{3,3})", "#DIV/0!"},
        Case{u"STEYX({1,2},{3,4})", "#DIV/0!"}, Case{u"COVARIANCE.S({1},{2})", "#DIV/0!"},
        Case{u"COVAR({1,2,3},{1,2,4})", "1"}, Case{u"CORREL(A1:A4,B1:B4)", "#DIV/0!"},
        Case{u"CORREL(A1:A3,C1:C3)", "#N/A"}, Case{u"SLOPE(D1:D4,A1:A5)", "#N/A"}));

INSTANTIATE_TEST_SUITE_P(
    DescriptiveStatisticsAndTheAVariants, Calculates,
    testing::Values(
        Case{u"AVERAGEA(C1:C2)", "0.5"}, Case{u"AVERAGEA(C1:C4)", "#N/A"},
        Case{u"AVERAGEA(A1:B5)", "1.66666666667"}, Case{u"MAXA(B1:B4)", "0"},
        Case{u"MINA(C1:C2)", "0"}, Case{u"MAXA(\"x\")", "#VALUE!"}, Case{u"MAXA(\"3\",TRUE)", "3"},
        Case{u"AVERAGEA(E1:E3)", "#DIV/0!"}, Case{u"VARA(C1:C2)", "0.5"},
        Case{u"STDEVPA(C1:C2)", "0.5"}, Case{u"VARPA(A1)", "0"}, Case{u"STDEVA(A1)", "#DIV/0!"},
        Case{u"GEOMEAN(A1:A5)", "2.6051710847"}, Case{u"GEOMEAN(A1:A5,0)", "#NUM!"},
        Case{u"HARMEAN(1,2,4)", "1.71428571429"}, Case{u"TRIMMEAN({1,2,3,4,100},0.4)", "3"},
        Case{u"TRIMMEAN({1,2,3,4,100},0.39)", "22"}, Case{u"TRIMMEAN(A1:A5,1)", "#NUM!"},
        Case{u"KURT(1,2,3)", "#DIV/0!"}, Case{u"KURT(1,2,3,10)", "3.228"},
        Case{u"SKEW(1,1,1)", "#DIV/0!"}, Case{u"SKEW(1,2,10)", "1.65231674033"},
        Case{u"SKEW.P(1,2,10)", "0.674555484546"}, Case{u"FISHER(1)", "#NUM!"},
        Case{u"FISHERINV(FISHER(0.3))", "0.3"}, Case{u"STANDARDIZE(1,0,0)", "#NUM!"},
        Case{u"PROB({1,2},{0.5,0.5},2)", "0.5"}, Case{u"PROB({1,2},{0.5,0.6},2)", "#NUM!"},
        Case{u"PROB({1,2},{0.5},2)", "#N/A"}));

INSTANTIATE_TEST_SUITE_P(
    DistributionsAtTheirBoundsAndTails, Calculates,
    testing::Values(
        Case{u"NORM.S.INV(0.5)", "0"}, Case{u"NORM.S.INV(1)", "#NUM!"},
        Case{u"NORMSINV(0.975)", "1.95996398454"}, Case{u"NORM.DIST(0,0,0,TRUE)", "#NUM!"},
        Case{u"NORM.DIST(\"x\",0,1,TRUE)", "#VALUE!"},
        Case{u"ABS(NORM.S.DIST(NORM.S.INV(1E-10),TRUE)/1E-10-1)<1E-12", "TRUE"},
        Case{u"ABS(NORM.S.INV(0.999999)+NORM.S.INV(0.000001))<1E-9", "TRUE"},
        Case{u"ABS(T.DIST.RT(T.INV(0.999999,3),3)/1E-6-1)<1E-9", "TRUE"},
        Case{u"ABS(CHISQ.DIST.RT(CHISQ.INV.RT(1E-12,5),5)/1E-12-1)<1E-9", "TRUE"},
        Case{u"ABS(F.DIST.RT(F.INV.RT(1E-9,4,7),4,7)/1E-9-1)<1E-9", "TRUE"},
        Case{u"ABS(BETA.DIST(BETA.INV(0.3,2,5),2,5,TRUE)-0.3)<1E-12", "TRUE"},
        Case{u"ABS(GAMMA.DIST(GAMMA.INV(0.7,3,2),3,2,TRUE)-0.7)<1E-12", "TRUE"},
        Case{u"BINOM.DIST(0,10,0,FALSE)", "1"}, Case{u"BINOM.DIST(10,10,1,TRUE)", "1"},
        Case{u"BINOM.INV(10,0.5,1)", "10"}, Case{u"BINOM.INV(1E+300,0.5,0.5)>0", "TRUE"},
        Case{u"BINOM.INV(10,0.5,0)", "0"}, Case{u"POISSON.DIST(0,0,FALSE)", "1"},
        Case{u"POISSON.DIST(-1,1,FALSE)", "#NUM!"}, Case{u"T.DIST(0,1,TRUE)", "0.5"},
        Case{u"T.DIST(1,0,TRUE)", "#NUM!"}, Case{u"T.INV(0.5,5)", "0"}, Case{u"T.INV.2T(1,5)", "0"},
        Case{u"TDIST(1,1,3)", "#NUM!"}, Case{u"TDIST(-1,1,1)", "#NUM!"},
        Case{u"CHISQ.DIST(0,2,FALSE)", "0.5"}, Case{u"CHISQ.DIST(0,1,FALSE)", "#NUM!"},
        Case{u"CHISQ.INV.RT(1,3)", "0"}, Case{u"F.INV.RT(1,2,3)", "0"},
        Case{u"GAMMA.INV(0,1,1)", "0"}, Case{u"BETA.INV(1,2,3)", "1"},
        Case{u"BETA.DIST(0.5,2,3,TRUE,1,0)", "#NUM!"}, Case{u"BETA.DIST(2,2,3,TRUE)", "#NUM!"},
        Case{u"EXPON.DIST(-1,1,TRUE)", "#NUM!"}, Case{u"HYPGEOM.DIST(5,4,8,20,FALSE)", "#NUM!"},
        Case{u"HYPGEOM.DIST(5E+7,1E+8,1E+9,2E+9,TRUE)", "#NUM!"},
        Case{u"CONFIDENCE.T(0.05,1,1)", "#DIV/0!"}, Case{u"CONFIDENCE(1,1,1)", "#NUM!"},
        Case{u"Z.TEST({1},1)", "#DIV/0!"}, Case{u"Z.TEST(B1:B4,1)", "#N/A"},
        Case{u"WEIBULL.DIST(0,1,1,FALSE)", "1"}, Case{u"GAMMA(-2)", "#NUM!"},
        Case{u"GAMMA(-0.5)", "-3.54490770181"}, Case{u"SUMPRODUCT(NORM.S.DIST({0,0},TRUE))", "1"}));

INSTANTIATE_TEST_SUITE_P(
    EngineeringBasesAndBits, Calculates,
    testing::Values(Case{u"DEC2BIN(-1)", "\"1111111111\""}, Case{u"DEC2BIN(511)", "\"111111111\""},
                    Case{u"DEC2BIN(-512)", "\"1000000000\""}, Case{u"DEC2BIN(-513)", "#NUM!"},
                    Case{u"DEC2BIN(3,0)", "#NUM!"}, Case{u"DEC2BIN(3,11)", "#NUM!"},
                    Case{u"DEC2BIN(3,4.9)", "\"0011\""}, Case{u"DEC2BIN(-1,2)", "\"1111111111\""},
                    Case{u"DEC2BIN(TRUE)", "#VALUE!"}, Case{u"DEC2HEX(-1)", "\"FFFFFFFFFF\""},
                    Case{u"DEC2HEX(549755813887)", "\"7FFFFFFFFF\""},
                    Case{u"DEC2HEX(549755813888)", "#NUM!"}, Case{u"DEC2OCT(\"12\")", "\"14\""},
                    Case{u"DEC2OCT(\"x\")", "#VALUE!"}, Case{u"HEX2DEC(\"fffffffffe\")", "-2"},
                    Case{u"HEX2DEC(\"12345678901\")", "#NUM!"}, Case{u"HEX2DEC(TRUE)", "#VALUE!"},
                    Case{u"HEX2DEC(1.5)", "#NUM!"}, Case{u"HEX2DEC(C3)", "#N/A"},
                    Case{u"OCT2DEC(\"7777777777\")", "-1"},
                    Case{u"BIN2OCT(\"1111111111\")", "\"7777777777\""},
                    Case{u"HEX2OCT(\"FFDFFFFFFF\")", "#NUM!"},
                    Case{u"HEX2OCT(\"FFE0000000\")", "\"4000000000\""},
                    Case{u"OCT2HEX(\"4000000000\")", "\"FFE0000000\""},
                    Case{u"BIN2HEX(\"1000000000\",3)", "\"FFFFFFFE00\""},
                    Case{u"BIN2DEC(\"0000000001\")", "1"}, Case{u"DELTA(\"a\",1)", "#VALUE!"},
                    Case{u"DELTA(2,2)", "1"}, Case{u"GESTEP(0)", "1"}, Case{u"GESTEP(-0.1)", "0"},
                    Case{u"BITLSHIFT(1,47)=2^47", "TRUE"}, Case{u"BITLSHIFT(1,48)", "#NUM!"},
                    Case{u"BITRSHIFT(1,54)", "#NUM!"}, Case{u"BITRSHIFT(2^47,47)", "1"},
                    Case{u"BITXOR(2^48,1)", "#NUM!"}, Case{u"BITOR(\"5\",2)", "7"}));

INSTANTIATE_TEST_SUITE_P(
    UnitsAndTests, Calculates,
    testing::Values(
        Case{u"CONVERT(1,\"kibyte\",\"bit\")", "8192"}, Case{u"CONVERT(1,\"kim\",\"m\")", "#N/A"},
        Case{u"CONVERT(1,\"mi\",\"m\")", "1609.344"}, Case{u"CONVERT(1,\"km2\",\"m2\")", "1000000"},
        Case{u"CONVERT(2,\"dm3\",\"l\")", "2"}, Case{u"CONVERT(1000,\"mK\",\"K\")", "1"},
        Case{u"CONVERT(-40,\"C\",\"F\")", "-40"}, Case{u"CONVERT(1,\"C\",\"kg\")", "#N/A"},
        Case{u"CONVERT(\"a\",\"m\",\"ft\")", "#VALUE!"},
        Case{u"CONVERT(1,\"kTorr\",\"Pa\")", "#N/A"}, Case{u"CONVERT(1,\"M\",\"m\")", "#N/A"},
        Case{u"CONVERT(1,\"Torr\",\"mmHg\")", "1"},
        Case{u"T.TEST({3,4,5,8,9,1,2,4,5},{6,19,3,2,14,4,5,17,1},2,1)", "0.196015784925"},
        Case{u"T.TEST({1,2,3},{1,2,3},2,1)", "#DIV/0!"}, Case{u"T.TEST({1},{2,3},2,2)", "#DIV/0!"},
        Case{u"T.TEST({1,2},{1,2,3},2,1)", "#N/A"}, Case{u"T.TEST({1,2},{1,2,3},2,4)", "#NUM!"},
        Case{u"T.TEST({1,2,4},{3,5,9,12},1,3)*2=T.TEST({1,2,4},{3,5,9,12},2,3)", "TRUE"},
        Case{u"F.TEST({1,2,3},{1,1,1})", "#DIV/0!"},
        Case{u"F.TEST({1,2,3},{2,4,6})=F.TEST({2,4,6},{1,2,3})", "TRUE"},
        Case{u"CHISQ.TEST({1},{1})", "#N/A"}, Case{u"CHISQ.TEST({1,2},{0,2})", "#DIV/0!"},
        Case{u"CHISQ.TEST({1,2},{1,2})", "1"}, Case{u"ERF(1,1)", "0"}, Case{u"ERF(-1)+ERF(1)", "0"},
        Case{u"ERFC(\"x\")", "#VALUE!"}));

INSTANTIATE_TEST_SUITE_P(
    LeastSquaresFits, Calculates,
    testing::Values(
        Case{u"INDEX(LINEST({3,5,7}),1,1)", "2"}, Case{u"INDEX(LINEST({3,5,7}),1,2)", "1"},
        Case{u"LINEST({1,2,3},{1,2})", "#REF!"}, Case{u"LINEST({1,\"a\",3})", "#VALUE!"},
        Case{u"LINEST(A1:A5,C1:C5)", "#VALUE!"}, Case{u"LINEST(A1:A3,C3:C5)", "#N/A"},
        Case{u"INDEX(LINEST({1;2;3},{1,2;2,4;3,6}),1,1)", "0"},
        Case{u"INDEX(LINEST({1;2;4},{1,2;2,4;3,6}),1,2)", "1.5"},
        Case{u"INDEX(LINEST({1;2;4},{1,2;2,4;3,6},TRUE,TRUE),4,2)", "1"},
        Case{u"INDEX(LINEST({1;2;4},{1,2;2,4;3,6},TRUE,TRUE),2,1)", "0"},
        Case{u"INDEX(LINEST({1;2;4},{1;2;3},FALSE,TRUE),2,2)", "#N/A"},
        Case{u"INDEX(LINEST({1;3;2;5;4;7},{1,2;2,1;3,5;4,3;5,4;6,9},TRUE,TRUE),3,3)", "#N/A"},
        Case{u"INDEX(LINEST({1;2;4},{1;2;3},TRUE,TRUE),4,2)", "1"},
        Case{u"SUM(TREND({1,2,3},{1,2,3},{4,5}))", "9"},
        Case{u"INDEX(TREND({1,2,3},,{4;5}),2,1)", "5"}, Case{u"ROWS(TREND({1;2;3}))", "3"},
        Case{u"GROWTH({1,2,4,8},,5)", "16"}, Case{u"INDEX(LOGEST({1,2,4,8}),1,1)", "2"},
        Case{u"INDEX(LOGEST({1,2,4,8}),1,2)", "0.5"}, Case{u"GROWTH({1,0},,3)", "#NUM!"},
        Case{u"TREND({1;3;2;5},{1,2;2,1;3,5;4,3},{1,1,1})", "#REF!"}));

}  // namespace
}  // namespace sx::formula
