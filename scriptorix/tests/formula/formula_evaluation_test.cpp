#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "memory_workbook.h"
#include "scalar_text.h"

namespace sx::formula {
namespace {

using testing_support::describe;
using testing_support::MemoryWorkbook;
using testing_support::narrow;

// Sheet1 A1:A5 = 1..5, B1:B4 = apple, banana, cherry, apple pie, C1 = TRUE, C2 = "7",
// C3 = #N/A, D1:E3 a lookup table (10 ten, 20 twenty, 30 thirty); Data!A1 = 100.
MemoryWorkbook sampleWorkbook() {
  MemoryWorkbook book({u"Sheet1", u"Data Sheet"});
  for (int row = 0; row < 5; ++row) book.set(0, row, 0, Scalar::fromNumber(row + 1));
  const char16_t* fruits[] = {u"apple", u"banana", u"cherry", u"apple pie"};
  for (int row = 0; row < 4; ++row) book.set(0, row, 1, Scalar::fromText(fruits[row]));
  book.set(0, 0, 2, Scalar::fromBoolean(true));
  book.set(0, 1, 2, Scalar::fromText(u"7"));
  book.set(0, 2, 2, Scalar::fromError(ErrorCode::NA));
  const char16_t* words[] = {u"ten", u"twenty", u"thirty"};
  for (int row = 0; row < 3; ++row) {
    book.set(0, row, 3, Scalar::fromNumber(10.0 * (row + 1)));
    book.set(0, row, 4, Scalar::fromText(words[row]));
  }
  book.set(1, 0, 0, Scalar::fromNumber(100));
  book.defineName(u"Total", u"Sheet1!$A$1:$A$5");
  book.defineName(u"Loop", u"Loop+1");
  book.setCurrentCell({0, 9, 7});  // H10
  return book;
}

struct Case {
  const char16_t* formula;
  const char* expected;
};

std::string evaluate(MemoryWorkbook& book, std::u16string_view formula) {
  Evaluator evaluator(book);
  try {
    return describe(evaluator.evaluateFormula(*parseFormula(formula)));
  } catch (const FormulaSyntaxError& error) {
    return std::string("syntax: ") + error.what();
  }
}

class Evaluates : public testing::TestWithParam<Case> {};

TEST_P(Evaluates, ToTheSpreadsheetResult) {
  MemoryWorkbook book = sampleWorkbook();
  EXPECT_EQ(evaluate(book, GetParam().formula), GetParam().expected) << narrow(GetParam().formula);
}

INSTANTIATE_TEST_SUITE_P(
    Operators, Evaluates,
    testing::Values(Case{u"1+2*3", "7"}, Case{u"(1+2)*3", "9"}, Case{u"-2^2", "4"},
                    Case{u"2^3^2", "64"}, Case{u"50%*4", "2"}, Case{u"1/0", "#DIV/0!"},
                    Case{u"\"3\"+1", "4"}, Case{u"\"a\"+1", "#VALUE!"}, Case{u"TRUE+TRUE", "2"},
                    Case{u"1&2", "\"12\""}, Case{u"0.1+0.2&\"\"", "\"0.3\""},
                    Case{u"\"abc\"=\"ABC\"", "TRUE"}, Case{u"\"b\">\"a\"", "TRUE"},
                    Case{u"1<\"a\"", "TRUE"}, Case{u"\"z\"<TRUE", "TRUE"}, Case{u"Z99=0", "TRUE"},
                    Case{u"Z99=\"\"", "TRUE"}, Case{u"C3+1", "#N/A"}, Case{u"1+#REF!", "#REF!"},
                    Case{u"0^0", "#NUM!"}, Case{u"(-8)^(1/3)", "#NUM!"}, Case{u"A1:A5", "#VALUE!"},
                    Case{u"Z99", "0"}, Case{u"1E+308*10", "#NUM!"}));

INSTANTIATE_TEST_SUITE_P(References, Evaluates,
                         testing::Values(Case{u"SUM(A1:A5)", "15"}, Case{u"SUM(A:A)", "15"},
                                         Case{u"SUM(1:2)", "33"}, Case{u"'Data Sheet'!A1*2", "200"},
                                         Case{u"Missing!A1", "#REF!"}, Case{u"SUM(Total)", "15"},
                                         Case{u"Unknown+1", "#NAME?"}, Case{u"Loop", "#REF!"},
                                         Case{u"SUM(A1:A3 A2:B5)", "5"}, Case{u"A1 B2", "#NULL!"},
                                         Case{u"SUM((A1,A5))", "6"},
                                         Case{u"SUM(A1:INDEX(A1:A5,3))", "6"}, Case{u"ROW()", "10"},
                                         Case{u"COLUMN()", "8"}));

// References through several sheets read each sheet between the two, in either order.
INSTANTIATE_TEST_SUITE_P(ThroughSheets, Evaluates,
                         testing::Values(Case{u"SUM('Sheet1:Data Sheet'!A1)", "101"},
                                         Case{u"SUM('Data Sheet:Sheet1'!$A$1:A2)", "103"},
                                         Case{u"COUNT('Sheet1:Data Sheet'!A1:C3)", "4"},
                                         Case{u"MAX('Sheet1:Data Sheet'!A:A)", "100"},
                                         Case{u"SUM(Sheet1:Missing!A1)", "#REF!"}));

INSTANTIATE_TEST_SUITE_P(
    Aggregates, Evaluates,
    testing::Values(
        Case{u"SUM(A1:B5)", "15"}, Case{u"SUM(A1:C5)", "#N/A"}, Case{u"SUM(1,\"2\",TRUE)", "4"},
        Case{u"SUM(A1:A5,C3)", "#N/A"}, Case{u"SUM(\"x\")", "#VALUE!"},
        Case{u"AVERAGE(A1:A5)", "3"}, Case{u"AVERAGE(B1:B4)", "#DIV/0!"},
        Case{u"COUNT(A1:C5)", "5"}, Case{u"COUNT(1,\"2\",\"x\",TRUE)", "3"},
        Case{u"COUNTA(A1:C5)", "12"}, Case{u"COUNTBLANK(A1:C5)", "3"},
        Case{u"COUNTBLANK(A:A)", "1048571"}, Case{u"MIN(A2:A5)", "2"}, Case{u"MAX(B1:B4)", "0"},
        Case{u"MEDIAN(1,2,3,4)", "2.5"}, Case{u"PRODUCT(A1:A5)", "120"},
        Case{u"STDEV(2,4,4,4,5,5,7,9)", "2.1380899353"}, Case{u"VAR(1)", "#DIV/0!"},
        Case{u"SUMPRODUCT(A1:A3,D1:D3)", "140"}, Case{u"SUMPRODUCT((A1:A5>2)*A1:A5)", "12"},
        Case{u"SUMPRODUCT(A1:A2,A1:A3)", "#VALUE!"}, Case{u"SUMPRODUCT({1,2;3,4},{1,1;1,1})", "10"},
        Case{u"LARGE(A1:A5,2)", "4"}, Case{u"SMALL({3,1,2},3)", "3"},
        Case{u"LARGE(A1:A5,6)", "#NUM!"}, Case{u"MAXIFS(A1:A5,A1:A5,\"<4\")", "3"},
        Case{u"MINIFS(A1:A5,A1:A5,\">9\")", "0"}, Case{u"MINIFS(A1:A5,A1:A4,\">1\")", "#VALUE!"},
        Case{u"SUMPRODUCT(LEN(B1:B4))", "26"}, Case{u"SUMPRODUCT(--(LEFT(B1:B4,1)=\"a\"))", "2"},
        Case{u"SUMPRODUCT(IF(A1:A5>2,A1:A5,0))", "12"}, Case{u"SUMPRODUCT(ISNA(C1:C3)*1)", "1"},
        Case{u"SUMPRODUCT(MOD(A1:A5,{2}))", "3"}, Case{u"LEN(B1:B4)", "#VALUE!"}));

INSTANTIATE_TEST_SUITE_P(
    Criteria, Evaluates,
    testing::Values(Case{u"COUNTIF(A1:A5,\">2\")", "3"}, Case{u"COUNTIF(B1:B4,\"apple*\")", "2"},
                    Case{u"COUNTIF(B1:B4,\"?anana\")", "1"},
                    Case{u"COUNTIF(B1:B4,\"<>apple\")", "3"}, Case{u"COUNTIF(A1:A5,3)", "1"},
                    Case{u"COUNTIF(A1:B5,\"\")", "1"}, Case{u"COUNTIF(A1:B5,\"<>\")", "9"},
                    Case{u"COUNTIF(A:A,\"\")", "1048571"}, Case{u"COUNTIF(C1:C3,TRUE)", "1"},
                    Case{u"COUNTIF(C1:C3,\"#N/A\")", "1"}, Case{u"SUMIF(A1:A5,\">=4\")", "9"},
                    Case{u"SUMIF(B1:B4,\"apple*\",A1:A4)", "5"},
                    Case{u"SUMIF(B1:B4,\"apple*\",A1)", "5"},
                    Case{u"AVERAGEIF(A1:A5,\"<3\")", "1.5"},
                    Case{u"AVERAGEIF(A1:A5,\">9\")", "#DIV/0!"},
                    Case{u"SUMIFS(A1:A5,A1:A5,\">1\",A1:A5,\"<5\")", "9"},
                    Case{u"COUNTIFS(A1:A4,\">1\",B1:B4,\"a*\")", "1"},
                    Case{u"COUNTIFS(A1:A4,\">1\",B1:B3,\"a*\")", "#VALUE!"},
                    Case{u"COUNTIF(B1:B4,\"~*\")", "0"}));

INSTANTIATE_TEST_SUITE_P(
    Logic, Evaluates,
    testing::Values(Case{u"IF(A1>0,\"yes\",\"no\")", "\"yes\""}, Case{u"IF(FALSE,1)", "FALSE"},
                    Case{u"IF(TRUE,,1)", "0"}, Case{u"IF(C3,1,2)", "#N/A"},
                    Case{u"IF(TRUE,1,1/0)", "1"}, Case{u"IFS(A1>1,\"a\",A1=1,\"b\")", "\"b\""},
                    Case{u"IFS(FALSE,1)", "#N/A"}, Case{u"IFERROR(1/0,\"x\")", "\"x\""},
                    Case{u"IFNA(C3,0)", "0"}, Case{u"IFNA(1/0,0)", "#DIV/0!"},
                    Case{u"AND(A1:A5)", "TRUE"}, Case{u"AND(B1:B4)", "#VALUE!"},
                    Case{u"OR(FALSE,0,\"TRUE\")", "TRUE"}, Case{u"XOR(TRUE,TRUE,TRUE)", "TRUE"},
                    Case{u"NOT(0)", "TRUE"}, Case{u"SWITCH(2,1,\"a\",2,\"b\",\"z\")", "\"b\""},
                    Case{u"SWITCH(9,1,\"a\",\"z\")", "\"z\""}, Case{u"SWITCH(9,1,\"a\")", "#N/A"},
                    Case{u"CHOOSE(2,\"a\",\"b\")", "\"b\""},
                    Case{u"CHOOSE(3,\"a\",\"b\")", "#VALUE!"},
                    Case{u"SUM(CHOOSE(1,A1:A2,A3))", "3"}));

INSTANTIATE_TEST_SUITE_P(
    Text, Evaluates,
    testing::Values(
        Case{u"CONCATENATE(\"a\",1,TRUE)", "\"a1TRUE\""}, Case{u"CONCAT(A1:A3)", "\"123\""},
        Case{u"TEXTJOIN(\"-\",TRUE,B1:B5)", "\"apple-banana-cherry-apple pie\""},
        Case{u"TEXTJOIN(\",\",FALSE,A1,Z1,A2)", "\"1,,2\""}, Case{u"LEFT(\"hello\",2)", "\"he\""},
        Case{u"LEFT(\"hello\")", "\"h\""}, Case{u"LEFT(\"a\",-1)", "#VALUE!"},
        Case{u"RIGHT(\"hello\",9)", "\"hello\""}, Case{u"MID(\"hello\",2,3)", "\"ell\""},
        Case{u"MID(\"hello\",9,3)", "\"\""}, Case{u"MID(\"hello\",0,3)", "#VALUE!"},
        Case{u"LEN(B4)", "9"}, Case{u"UPPER(\"abc\")", "\"ABC\""},
        Case{u"PROPER(\"hello wORLD o'neil\")", "\"Hello World O'Neil\""},
        Case{u"TRIM(\"  a   b  \")", "\"a b\""},
        Case{u"SUBSTITUTE(\"a-b-c\",\"-\",\"+\")", "\"a+b+c\""},
        Case{u"SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)", "\"a-b+c\""},
        Case{u"REPLACE(\"abcdef\",2,3,\"X\")", "\"aXef\""}, Case{u"FIND(\"b\",\"abcb\",3)", "4"},
        Case{u"FIND(\"B\",\"abc\")", "#VALUE!"}, Case{u"SEARCH(\"B?\",\"abcb\")", "2"},
        Case{u"SEARCH(\"x\",\"abc\")", "#VALUE!"}, Case{u"VALUE(\" 1,234.5 \")", "1234.5"},
        Case{u"VALUE(\"50%\")", "0.5"}, Case{u"VALUE(\"abc\")", "#VALUE!"},
        Case{u"REPT(\"ab\",3)", "\"ababab\""}, Case{u"REPT(\"ab\",99999)", "#VALUE!"},
        Case{u"EXACT(\"a\",\"A\")", "FALSE"}, Case{u"TEXT(1234.567,\"#,##0.00\")", "\"1,234.57\""},
        Case{u"TEXT(45000,\"yyyy-mm-dd\")", "\"2023-03-15\""}));

INSTANTIATE_TEST_SUITE_P(
    Lookup, Evaluates,
    testing::Values(Case{u"VLOOKUP(20,D1:E3,2,FALSE)", "\"twenty\""},
                    Case{u"VLOOKUP(25,D1:E3,2)", "\"twenty\""}, Case{u"VLOOKUP(5,D1:E3,2)", "#N/A"},
                    Case{u"VLOOKUP(20,D1:E3,3,FALSE)", "#REF!"},
                    Case{u"VLOOKUP(20,D1:E3,0,FALSE)", "#VALUE!"},
                    Case{u"VLOOKUP(\"b*\",B1:B4,1,FALSE)", "\"banana\""},
                    Case{u"HLOOKUP(2,A1:A5,1,FALSE)", "#N/A"},
                    Case{u"HLOOKUP(\"x\",{\"a\",\"x\";1,2},2,FALSE)", "2"},
                    Case{u"MATCH(\"cherry\",B1:B4,0)", "3"}, Case{u"MATCH(3.5,A1:A5)", "3"},
                    Case{u"MATCH(3,{5,4,3,2},-1)", "3"}, Case{u"MATCH(9,A1:B2,0)", "#N/A"},
                    Case{u"XLOOKUP(30,D1:D3,E1:E3)", "\"thirty\""},
                    Case{u"XLOOKUP(31,D1:D3,E1:E3,\"none\")", "\"none\""},
                    Case{u"XLOOKUP(25,D1:D3,E1:E3,,-1)", "\"twenty\""},
                    Case{u"XLOOKUP(25,D1:D3,E1:E3,,1)", "\"thirty\""},
                    Case{u"XLOOKUP(\"apple*\",B1:B4,A1:A4,,2,-1)", "4"},
                    Case{u"XLOOKUP(1,D1:D3,E1:E2)", "#VALUE!"},
                    Case{u"INDEX(D1:E3,2,2)", "\"twenty\""}, Case{u"INDEX(A1:A5,4)", "4"},
                    Case{u"INDEX(D1:E3,4,1)", "#REF!"}, Case{u"SUM(INDEX(D1:E3,0,1))", "60"},
                    Case{u"INDEX({1,2;3,4},2,1)", "3"}, Case{u"ROW(B7)", "7"},
                    Case{u"COLUMN(C1:D4)", "3"}, Case{u"ROWS(A1:C5)", "5"},
                    Case{u"COLUMNS(A:C)", "3"}, Case{u"ROWS({1,2;3,4;5,6})", "3"}));

INSTANTIATE_TEST_SUITE_P(
    Dates, Evaluates,
    testing::Values(
        Case{u"DATE(2024,2,29)", "45351"}, Case{u"DATE(2024,13,1)", "45658"},
        Case{u"DATE(2024,3,0)", "45351"}, Case{u"DATE(1900,2,29)", "60"},
        Case{u"DATE(1900,3,1)", "61"}, Case{u"DATE(1900,1,1)", "1"}, Case{u"DATE(99,1,1)", "36161"},
        Case{u"DATE(-1,1,1)", "#NUM!"}, Case{u"YEAR(45351)", "2024"}, Case{u"MONTH(60)", "2"},
        Case{u"DAY(60)", "29"}, Case{u"DAY(61)", "1"}, Case{u"DAY(59)", "28"},
        Case{u"YEAR(-1)", "#NUM!"}, Case{u"EDATE(DATE(2024,1,31),1)", "45351"},
        Case{u"EOMONTH(DATE(2023,1,15),1)", "44985"}, Case{u"EOMONTH(DATE(2024,1,15),-1)", "45291"},
        Case{u"WEEKDAY(DATE(2024,6,2))", "1"}, Case{u"WEEKDAY(DATE(2024,6,2),2)", "7"},
        Case{u"WEEKDAY(DATE(2024,6,2),3)", "6"}, Case{u"WEEKDAY(1,9)", "#NUM!"},
        Case{u"TODAY()", "45000"}, Case{u"NOW()", "45000.5"}, Case{u"HOUR(0.75)", "18"}));

INSTANTIATE_TEST_SUITE_P(
    MathAndInformation, Evaluates,
    testing::Values(Case{u"ROUND(2.675,2)", "2.68"}, Case{u"ROUND(-2.5,0)", "-3"},
                    Case{u"ROUND(1234,-2)", "1200"}, Case{u"ROUNDUP(3.2,0)", "4"},
                    Case{u"ROUNDUP(-3.2,0)", "-4"}, Case{u"ROUNDDOWN(-3.7,0)", "-3"},
                    Case{u"ROUNDUP(0.1*3,1)", "0.3"}, Case{u"INT(-2.5)", "-3"},
                    Case{u"MOD(-3,2)", "1"}, Case{u"MOD(3,-2)", "-1"}, Case{u"MOD(1,0)", "#DIV/0!"},
                    Case{u"ABS(-2)", "2"}, Case{u"SQRT(-1)", "#NUM!"}, Case{u"POWER(2,10)", "1024"},
                    Case{u"CEILING(2.1,0.5)", "2.5"}, Case{u"CEILING(-2.5,2)", "-2"},
                    Case{u"CEILING(2,-1)", "#NUM!"}, Case{u"FLOOR(2.9,1)", "2"},
                    Case{u"FLOOR(-2.5,-2)", "-2"}, Case{u"FLOOR(1,0)", "#DIV/0!"},
                    Case{u"ISBLANK(Z1)", "TRUE"}, Case{u"ISBLANK(B1)", "FALSE"},
                    Case{u"ISNUMBER(C2)", "FALSE"}, Case{u"ISTEXT(C2)", "TRUE"},
                    Case{u"ISERROR(C3)", "TRUE"}, Case{u"ISNA(1/0)", "FALSE"},
                    Case{u"ISNA(NA())", "TRUE"}, Case{u"NOSUCHFUNCTION(1)", "#NAME?"},
                    Case{u"_xlfn.CONCAT(\"a\",\"b\")", "\"ab\""}, Case{u"ABS()", "#VALUE!"},
                    Case{u"ROUND(1.25,400)", "1.25"}, Case{u"ROUNDUP(1.25,1E+15)", "1.25"},
                    Case{u"TRUNC(125,-400)", "0"}, Case{u"EDATE(1,1E+15)", "#NUM!"},
                    Case{u"TEXT(1,\"0.0000000000000000000000000000000000000000\")",
                         "\"1.0000000000000000000000000000000000000000\""}));

struct SyntaxCase {
  const char16_t* formula;
  const char* message;
};

class RejectsSyntax : public testing::TestWithParam<SyntaxCase> {};

TEST_P(RejectsSyntax, WithAMessageNamingTheFault) {
  try {
    parseFormula(GetParam().formula);
    ADD_FAILURE() << "parsed: " << narrow(GetParam().formula);
  } catch (const FormulaSyntaxError& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectsSyntax,
    testing::Values(SyntaxCase{u"", "empty"}, SyntaxCase{u"1+", "ends where a value"},
                    SyntaxCase{u"SUM(1", "expected \")\""}, SyntaxCase{u"(1", "expected \")\""},
                    SyntaxCase{u"1)", "unexpected \")\" at position 2"},
                    SyntaxCase{u"\"abc", "unexpected"}, SyntaxCase{u"{1,2;3}", "array rows differ"},
                    SyntaxCase{u"{A1}", "array constant holds"},
                    SyntaxCase{u"1 2", "unexpected \"2\""}, SyntaxCase{u"#FOO!", "unexpected"},
                    SyntaxCase{u"@A1", "unexpected"}));

TEST(Parser, RefusesTreesTooDeepToEvaluateSafely) {
  std::u16string nested(5000, u'(');
  nested += u"1";
  nested += std::u16string(5000, u')');
  EXPECT_THROW(parseFormula(nested), FormulaSyntaxError);
  EXPECT_THROW(parseFormula(u"1" + std::u16string(5000, u'%')), FormulaSyntaxError);
  EXPECT_THROW(parseFormula(std::u16string(5000, u'-') + u"1"), FormulaSyntaxError);
}

TEST(Parser, TakesEveryFormulaTheFileFormatAllows) {
  MemoryWorkbook book = sampleWorkbook();
  // Operator chains of any length (8,192 characters hold about 4,000 terms).
  for (int terms : {201, 202, 4096}) {
    std::u16string chain = u"1";
    for (int i = 1; i < terms; ++i) chain += u"+1";
    EXPECT_EQ(evaluate(book, chain), std::to_string(terms));
  }
  std::u16string mixed = u"2";
  for (int i = 0; i < 2000; ++i) mixed += u"*1-1+1";
  EXPECT_EQ(evaluate(book, mixed), "2");
  for (int row = 1; row <= 300; ++row) book.set(0, row, 9, Scalar::fromNumber(row));
  std::u16string cells = u"J2";
  for (int row = 3; row <= 301; ++row) {
    const std::string number = std::to_string(row);
    cells += u"+J" + std::u16string(number.begin(), number.end());
  }
  EXPECT_EQ(evaluate(book, cells), "45150");
  std::u16string references = u"SUM((J2";
  for (int i = 0; i < 2000; ++i) references += u",J3";
  EXPECT_EQ(evaluate(book, references + u"))"), "4001");
  // 64 levels of nested functions, each with a sign and parentheses around its argument.
  std::u16string deep = u"1";
  for (int level = 0; level < 64; ++level) deep = u"ABS(-(" + deep + u"))";
  EXPECT_EQ(evaluate(book, deep), "1");
}

TEST(Evaluator, JoinsOverTheWholeSheetEndEarly) {
  MemoryWorkbook book = sampleWorkbook();
  EXPECT_EQ(evaluate(book, u"TEXTJOIN(\",\",FALSE,A:XFD)"), "#VALUE!");
  EXPECT_EQ(evaluate(book, u"LEN(TEXTJOIN(\"\",FALSE,'Data Sheet'!A:XFD))"), "3");
  EXPECT_EQ(evaluate(book, u"LEN(TEXTJOIN(\"\",FALSE,A:B))"), "31");
}

TEST(Evaluator, ReadsWholeColumnsOnlyAsFarAsTheSheetIsUsed) {
  MemoryWorkbook book = sampleWorkbook();
  evaluate(book, u"SUM(A:C)+COUNTIF(B:B,\"a*\")");
  EXPECT_LT(book.reads(), 100);
}

}  // namespace
}  // namespace sx::formula

namespace sx::formula {
namespace {

TEST(Criteria, NumericTextMatchesNumbersAndTheSameText) {
  MemoryWorkbook book = sampleWorkbook();
  book.set(0, 5, 0, Scalar::fromText(u"7"));  // A6 holds 7 as text
  book.set(0, 6, 0, Scalar::fromNumber(7));   // A7 holds the number
  EXPECT_EQ(evaluate(book, u"COUNTIF(A1:A7,\"7\")"), "2");
  EXPECT_EQ(evaluate(book, u"COUNTIF(A1:A7,7)"), "1");
  EXPECT_EQ(evaluate(book, u"COUNTIF(A1:A7,\">6\")"), "1");
  EXPECT_EQ(evaluate(book, u"COUNTIF(A1:A7,\"<>7\")"), "5");
}

}  // namespace
}  // namespace sx::formula
