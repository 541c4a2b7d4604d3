#include "formula/reference_adjust.h"

#include <gtest/gtest.h>

#include <string>

#include "formula/reference_syntax.h"

namespace sx {
namespace {

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

struct TranslateCase {
  const char16_t* formula;
  int32_t rows;
  int32_t columns;
  const char16_t* expected;
};

class TranslateFormula : public testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateFormula, MovesRelativePartsOnly) {
  const auto& c = GetParam();
  EXPECT_EQ(narrow(translateFormula(c.formula, c.rows, c.columns)), narrow(c.expected))
      << narrow(c.formula);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateFormula,
    testing::Values(TranslateCase{u"A1+B2", 1, 1, u"B2+C3"},
                    TranslateCase{u"$A$1+A$1+$A1", 2, 3, u"$A$1+D$1+$A3"},
                    TranslateCase{u"SUM(A1:B3)*2", 1, 0, u"SUM(A2:B4)*2"},
                    TranslateCase{u"SUM(A:C)", 5, 1, u"SUM(B:D)"},
                    TranslateCase{u"SUM(1:3)", 2, 7, u"SUM(3:5)"},
                    TranslateCase{u"SUM($A:$C,$1:$3)", 2, 2, u"SUM($A:$C,$1:$3)"},
                    TranslateCase{u"Sheet2!A1+'My Sheet'!B2:C3", 1, 0,
                                  u"Sheet2!A2+'My Sheet'!B3:C4"},
                    TranslateCase{u"'It''s'!A1", 0, 1, u"'It''s'!B1"},
                    TranslateCase{u"\"A1\"&A1", 1, 0, u"\"A1\"&A2"},
                    TranslateCase{u"\"say \"\"B2\"\"\"&B2", 1, 0, u"\"say \"\"B2\"\"\"&B3"},
                    TranslateCase{u"A1-1", -1, 0, u"#REF!-1"},
                    TranslateCase{u"SUM(A1:B2)", 0, -1, u"SUM(#REF!)"},
                    TranslateCase{u"XFD1", 0, 1, u"#REF!"},
                    TranslateCase{u"A1048576", 1, 0, u"#REF!"},
                    TranslateCase{u"XFD1048576", -1, -1, u"XFC1048575"},
                    TranslateCase{u"LOG10(A1)+MyName+TRUE", 1, 0, u"LOG10(A2)+MyName+TRUE"},
                    TranslateCase{u"ABCD1+A1", 1, 0, u"ABCD1+A2"},
                    TranslateCase{u"A1 B1:C2", 1, 0, u"A2 B2:C3"},
                    TranslateCase{u"#REF!+A1", 1, 0, u"#REF!+A2"},
                    TranslateCase{u"{1,2;3,4}", 3, 3, u"{1,2;3,4}"},
                    TranslateCase{u"1.5E+3*A1", 1, 0, u"1.5E+3*A2"}));

struct ShiftCase {
  const char* label;
  const char16_t* formula;
  const char16_t* formulaSheet;
  CellShift shift;
  const char16_t* expected;
};

class AdjustForShift : public testing::TestWithParam<ShiftCase> {};

TEST_P(AdjustForShift, KeepsPointingAtTheSameData) {
  const auto& c = GetParam();
  EXPECT_EQ(narrow(adjustFormulaForShift(c.formula, c.formulaSheet, c.shift)), narrow(c.expected))
      << c.label;
}

constexpr int32_t kLastColumn = 16383;
constexpr int32_t kLastRow = 1048575;
using K = CellShift::Kind;

// Bands: rows 3..4 (0-based 2..3) of columns A..C, or whole rows / columns.
const CellShift kDeleteRows3to4{K::DeleteUp, u"Sheet1", 2, 3, 0, kLastColumn};
const CellShift kInsertRows3to4{K::InsertDown, u"Sheet1", 2, 3, 0, kLastColumn};
const CellShift kDeleteColumnsBtoC{K::DeleteLeft, u"Sheet1", 0, kLastRow, 1, 2};
const CellShift kInsertColumnB{K::InsertRight, u"Sheet1", 0, kLastRow, 1, 1};
const CellShift kDeleteUpAtoB{K::DeleteUp, u"Sheet1", 2, 3, 0, 1};
const CellShift kInsertDownAtoB{K::InsertDown, u"Sheet1", 2, 3, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    Cases, AdjustForShift,
    testing::Values(
        ShiftCase{"cell below moves up", u"A10", u"Sheet1", kDeleteRows3to4, u"A8"},
        ShiftCase{"absolute moves too", u"$A$10", u"Sheet1", kDeleteRows3to4, u"$A$8"},
        ShiftCase{"cell above stays", u"A2", u"Sheet1", kDeleteRows3to4, u"A2"},
        ShiftCase{"deleted cell is lost", u"A3+1", u"Sheet1", kDeleteRows3to4, u"#REF!+1"},
        ShiftCase{"range shrinks", u"SUM(A1:A10)", u"Sheet1", kDeleteRows3to4, u"SUM(A1:A8)"},
        ShiftCase{"range top in band", u"SUM(A3:A10)", u"Sheet1", kDeleteRows3to4, u"SUM(A3:A8)"},
        ShiftCase{"range bottom in band", u"SUM(A1:A4)", u"Sheet1", kDeleteRows3to4, u"SUM(A1:A2)"},
        ShiftCase{"range wholly deleted", u"SUM(A3:B4)", u"Sheet1", kDeleteRows3to4, u"SUM(#REF!)"},
        ShiftCase{"reversed range", u"SUM(A10:A1)", u"Sheet1", kDeleteRows3to4, u"SUM(A8:A1)"},
        ShiftCase{"whole rows shrink", u"SUM(2:6)", u"Sheet1", kDeleteRows3to4, u"SUM(2:4)"},
        ShiftCase{"whole columns stay", u"SUM(A:A)", u"Sheet1", kDeleteRows3to4, u"SUM(A:A)"},
        ShiftCase{"other sheet untouched", u"A10", u"Sheet2", kDeleteRows3to4, u"A10"},
        ShiftCase{"named sheet moves", u"sheet1!A10+Sheet2!A10", u"Sheet2", kDeleteRows3to4,
                  u"sheet1!A8+Sheet2!A10"},
        ShiftCase{"no home sheet", u"A10+Sheet1!A10", u"", kDeleteRows3to4, u"A10+Sheet1!A8"},
        ShiftCase{"insert moves cells at and below", u"A3+A2", u"Sheet1", kInsertRows3to4,
                  u"A5+A2"},
        ShiftCase{"insert stretches range", u"SUM(A1:A3)", u"Sheet1", kInsertRows3to4,
                  u"SUM(A1:A5)"},
        ShiftCase{"insert below range", u"SUM(A1:A2)", u"Sheet1", kInsertRows3to4, u"SUM(A1:A2)"},
        ShiftCase{"insert pushes cell off the sheet", u"A1048575", u"Sheet1", kInsertRows3to4,
                  u"#REF!"},
        ShiftCase{"insert keeps range to the end", u"SUM(A1:A1048576)", u"Sheet1", kInsertRows3to4,
                  u"SUM(A1:A1048576)"},
        ShiftCase{"delete columns", u"D1+B1+A1", u"Sheet1", kDeleteColumnsBtoC, u"B1+#REF!+A1"},
        ShiftCase{"delete columns shrink range", u"SUM(A1:E1)", u"Sheet1", kDeleteColumnsBtoC,
                  u"SUM(A1:C1)"},
        ShiftCase{"delete columns whole columns", u"SUM(B:D)", u"Sheet1", kDeleteColumnsBtoC,
                  u"SUM(B:B)"},
        ShiftCase{"delete columns leaves whole rows", u"SUM(1:2)", u"Sheet1", kDeleteColumnsBtoC,
                  u"SUM(1:2)"},
        ShiftCase{"insert column", u"B1+A1+SUM(A1:C1)", u"Sheet1", kInsertColumnB,
                  u"C1+A1+SUM(A1:D1)"},
        ShiftCase{"partial band moves a column inside it", u"B10", u"Sheet1", kDeleteUpAtoB, u"B8"},
        ShiftCase{"partial band leaves other columns", u"C10", u"Sheet1", kDeleteUpAtoB, u"C10"},
        ShiftCase{"range split by band stays", u"SUM(A1:C10)", u"Sheet1", kDeleteUpAtoB,
                  u"SUM(A1:C10)"},
        ShiftCase{"range split by insert stays", u"SUM(B1:D10)", u"Sheet1", kInsertDownAtoB,
                  u"SUM(B1:D10)"},
        ShiftCase{"whole rows across a partial band stay", u"SUM(3:5)", u"Sheet1", kDeleteUpAtoB,
                  u"SUM(3:5)"},
        ShiftCase{"strings stay", u"\"A10\"&A10", u"Sheet1", kDeleteRows3to4, u"\"A10\"&A8"},
        ShiftCase{"through sheets stays", u"SUM(Sheet1:Sheet3!A10)", u"Sheet1", kDeleteRows3to4,
                  u"SUM(Sheet1:Sheet3!A10)"}));

struct RenameCase {
  const char16_t* formula;
  const char16_t* oldName;
  const char16_t* newName;
  const char16_t* expected;
};

class RenameSheet : public testing::TestWithParam<RenameCase> {};

TEST_P(RenameSheet, RewritesMatchingSheetNames) {
  const auto& c = GetParam();
  EXPECT_EQ(narrow(renameSheetInFormula(c.formula, c.oldName, c.newName)), narrow(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameSheet,
    testing::Values(RenameCase{u"Sheet1!A1+Sheet2!A1", u"Sheet1", u"Data", u"Data!A1+Sheet2!A1"},
                    RenameCase{u"SHEET1!A1:B2", u"Sheet1", u"My Data", u"'My Data'!A1:B2"},
                    RenameCase{u"'Old One'!A1", u"old one", u"New", u"New!A1"},
                    RenameCase{u"Old!A1", u"Old", u"It's", u"'It''s'!A1"},
                    RenameCase{u"Old!A1", u"Old", u"2024", u"'2024'!A1"},
                    RenameCase{u"Old!A1", u"Old", u"AB12", u"'AB12'!A1"},
                    RenameCase{u"Old!A1", u"Old", u"R1C1", u"'R1C1'!A1"},
                    RenameCase{u"Old!A1", u"Old", u"A-B", u"'A-B'!A1"},
                    RenameCase{u"Old!A1", u"Old", u"Plan_2024.v2", u"Plan_2024.v2!A1"},
                    RenameCase{u"A1+\"Old!A1\"", u"Old", u"New", u"A1+\"Old!A1\""},
                    RenameCase{u"Older!A1", u"Old", u"New", u"Older!A1"},
                    // a sheet's own names follow their sheet too
                    RenameCase{u"Old!Rate*old!A1", u"Old", u"My Data",
                               u"'My Data'!Rate*'My Data'!A1"},
                    RenameCase{u"'Old One'!Rate+Rate", u"old one", u"New", u"New!Rate+Rate"},
                    RenameCase{u"Older!Rate", u"Old", u"New", u"Older!Rate"},
                    // either end of a span through sheets, quoted as a whole when one part needs it
                    RenameCase{u"SUM(Old:Mar!B2)", u"Old", u"Jan", u"SUM(Jan:Mar!B2)"},
                    RenameCase{u"SUM(Jan:Old!B2)", u"old", u"Q 1", u"SUM('Jan:Q 1'!B2)"},
                    RenameCase{u"SUM('Jan:It''s'!B2)", u"It's", u"Mar", u"SUM(Jan:Mar!B2)"}));

TEST(RemoveSheet, TurnsReferencesAndItsOwnNamesIntoErrors) {
  EXPECT_EQ(narrow(removeSheetFromFormula(u"SUM(Gone!A1:B2)+'gone'!Rate+Kept!Rate+Rate", u"Gone")),
            "SUM(#REF!)+#REF!+Kept!Rate+Rate");
  EXPECT_EQ(narrow(removeSheetFromFormula(u"\"Gone!Rate\"&Gone2!Rate", u"Gone")),
            "\"Gone!Rate\"&Gone2!Rate");
  // A span through sheets losing an end sheet ends at its neighbour; one inside stays.
  EXPECT_EQ(
      narrow(removeSheetFromFormula(u"SUM(Jan:Mar!B2)+SUM(Dec:Jan!A1)", u"Jan", u"Feb", u"Dec")),
      "SUM(Feb:Mar!B2)+SUM(Dec!A1)");
  EXPECT_EQ(narrow(removeSheetFromFormula(u"SUM(Jan:Mar!B2)", u"Feb", u"Mar", u"Jan")),
            "SUM(Jan:Mar!B2)");
  EXPECT_EQ(narrow(removeSheetFromFormula(u"SUM(Jan:Mar!B2)", u"Mar")), "SUM(#REF!)");
}

TEST(ReferenceSyntax, RejectsTextOutsideTheSheet) {
  EXPECT_FALSE(formula::parseReferenceText(u"XFE1"));
  EXPECT_FALSE(formula::parseReferenceText(u"A0"));
  EXPECT_FALSE(formula::parseReferenceText(u"A1048577"));
  EXPECT_FALSE(formula::parseReferenceText(u"A"));
  EXPECT_FALSE(formula::parseReferenceText(u"''!A1"));
  auto whole = formula::parseReferenceText(u"$B:D");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->shape, formula::ReferenceShape::Columns);
  EXPECT_EQ(whole->first.column, 1);
  EXPECT_TRUE(whole->first.columnAbsolute);
  EXPECT_EQ(whole->last.column, 3);
}

}  // namespace
}  // namespace sx
