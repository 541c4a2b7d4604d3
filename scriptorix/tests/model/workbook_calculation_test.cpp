#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "model/workbook.h"

namespace sx {
namespace {

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class WorkbookCalculationTest : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);

  void put(const char16_t* cell, std::u16string_view text, Sheet* on = nullptr) {
    (on ? *on : sheet).setText(parseRangeRef(cell), text);
  }
  void put(const char16_t* cell, double number) { sheet.setNumber(parseRangeRef(cell), number); }
  CellValue get(const char16_t* cell, const Sheet* on = nullptr) const {
    const RangeRef at = parseRangeRef(cell);
    return (on ? *on : sheet).value(at.firstRow, at.firstColumn);
  }
  static CellValue number(double value) { return CellValue::fromNumber(value); }
  static CellValue error(const char16_t* text) { return CellValue::fromError(text); }
};

TEST_F(WorkbookCalculationTest, FormulasFollowEveryKindOfEditToWhatTheyRead) {
  put(u"A1", 2);
  put(u"A2", 3);
  put(u"B1", u"=A1*A2");
  put(u"C1", u"=B1+1");
  EXPECT_EQ(get(u"C1"), number(7));
  put(u"A1", 10);  // a value changed
  EXPECT_EQ(get(u"C1"), number(31));
  put(u"B1", u"=A1-A2");  // a formula replaced
  EXPECT_EQ(get(u"C1"), number(8));
  sheet.clearValues(parseRangeRef(u"A2"));  // a value removed
  EXPECT_EQ(get(u"C1"), number(11));
  put(u"B1", 4);  // a formula replaced by a value
  EXPECT_EQ(get(u"C1"), number(5));
  sheet.clear(parseRangeRef(u"B1"));
  EXPECT_EQ(get(u"C1"), number(1));
}

TEST_F(WorkbookCalculationTest, HidingRowsRecalculatesTotalsThatLeaveThemOut) {
  for (int row = 1; row <= 4; ++row) put(widen("A" + std::to_string(row)).c_str(), row);
  put(u"A5", u"=SUBTOTAL(109,A1:A4)");
  put(u"A6", u"=SUBTOTAL(9,A1:A5)");  // the nested total in A5 is not counted again
  put(u"B1", u"=AGGREGATE(9,5,A1:A5)");
  EXPECT_EQ(get(u"A5"), number(10));
  EXPECT_EQ(get(u"A6"), number(10));
  sheet.setRowsHidden(parseRangeRef(u"2:3"), true);
  EXPECT_EQ(get(u"A5"), number(5));
  EXPECT_EQ(get(u"A6"), number(10));
  EXPECT_EQ(get(u"B1"), number(10));  // hidden rows left out, the total in A5 counted
  sheet.setRowsHidden(parseRangeRef(u"2:3"), false);
  EXPECT_EQ(get(u"A5"), number(10));
  EXPECT_EQ(get(u"B1"), number(20));
}

TEST_F(WorkbookCalculationTest, ResultsKeepTheirKind) {
  put(u"A1", u"=\"a\"&\"b\"");
  put(u"A2", u"=1>0");
  put(u"A3", u"=1/0");
  put(u"A4", u"=NOSUCHFUNCTION(1)");
  put(u"A5", u"=A3+1");
  put(u"A6", u"=Z99");  // an empty cell reads as 0
  EXPECT_EQ(get(u"A1"), CellValue::fromText(u"ab"));
  EXPECT_EQ(get(u"A2"), CellValue::fromBoolean(true));
  EXPECT_EQ(get(u"A3"), error(u"#DIV/0!"));
  EXPECT_EQ(get(u"A4"), error(u"#NAME?"));
  EXPECT_EQ(get(u"A5"), error(u"#DIV/0!"));
  EXPECT_EQ(get(u"A6"), number(0));
}

TEST_F(WorkbookCalculationTest, CircularReferencesGiveAnErrorAndRecover) {
  put(u"A1", u"=B1+1");
  put(u"B1", u"=A1+1");
  put(u"C1", u"=C1");
  EXPECT_EQ(get(u"A1").kind, CellValue::Kind::Error);
  EXPECT_EQ(get(u"B1").kind, CellValue::Kind::Error);
  EXPECT_EQ(get(u"C1").kind, CellValue::Kind::Error);
  put(u"B1", 5);
  EXPECT_EQ(get(u"A1"), number(6));
}

TEST_F(WorkbookCalculationTest, DeepChainsNeitherOverflowNorCrawl) {
  constexpr int32_t kRows = 100000;
  const auto started = std::chrono::steady_clock::now();
  sheet.setNumber(cellRef(0, 0), 1);
  for (int32_t row = 1; row < kRows; ++row) {
    sheet.setText(cellRef(row, 0), u"=A" + widen(std::to_string(row)) + u"+1");
  }
  EXPECT_EQ(sheet.value(kRows - 1, 0), number(kRows));
  sheet.setNumber(cellRef(0, 0), 5);
  EXPECT_EQ(sheet.value(kRows - 1, 0), number(kRows + 4));
  // Quadratic work would take minutes here, even in an optimised build.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

TEST_F(WorkbookCalculationTest, OtherSheetsAndNamesResolveWhenTheyAppearOrChange) {
  put(u"A1", u"=Data!B2*2");
  put(u"A2", u"=SUM(Prices)");
  EXPECT_EQ(get(u"A1"), error(u"#REF!"));
  EXPECT_EQ(get(u"A2"), error(u"#NAME?"));
  Sheet& data = book.addSheet(u"Data");
  data.setNumber(parseRangeRef(u"B2"), 21);
  data.setNumber(parseRangeRef(u"C1:C3"), 1.5);
  EXPECT_EQ(get(u"A1"), number(42));
  book.addDefinedName(u"Prices", u"=Data!$C$1:$C$3");
  EXPECT_EQ(get(u"A2"), number(4.5));
  book.renameSheet(data, u"Stock Data");
  EXPECT_EQ(sheet.formula(0, 0), u"'Stock Data'!B2*2");
  data.setNumber(parseRangeRef(u"B2"), 1);
  data.setNumber(parseRangeRef(u"C3"), 7);
  EXPECT_EQ(get(u"A1"), number(2));
  EXPECT_EQ(get(u"A2"), number(10));
}

// One name may exist for the workbook and as a sheet's own: on that sheet the sheet's wins, and
// "Sheet!Name" reaches it from elsewhere. Names holding constants and formulas calculate too.
TEST_F(WorkbookCalculationTest, SheetNamesWinOnTheirSheetAndAreReachedByPrefix) {
  Sheet& local = book.addSheet(u"Local Sheet");
  book.addDefinedName(u"Rate", u"0.2");
  book.addDefinedName(u"Rate", u"=Sheet1!$A$1*2", &local);
  book.addDefinedName(u"Base", u"'Local Sheet'!$B$1", &local);
  EXPECT_THROW(book.addDefinedName(u"RATE", u"1", &local), std::invalid_argument);
  put(u"A1", 4);
  local.setNumber(parseRangeRef(u"B1"), 10);
  put(u"B1", u"=Rate*100");
  put(u"B2", u"='Local Sheet'!Rate+'LOCAL SHEET'!Base");
  put(u"B3", u"=Base");  // the sheet's own name is not seen from another sheet
  put(u"A1", u"=Rate", &local);
  put(u"A2", u"=Sheet1!Rate", &local);  // Sheet1 has none of its own: the workbook's
  EXPECT_EQ(get(u"B1"), number(20));
  EXPECT_EQ(get(u"B2"), number(18));
  EXPECT_EQ(get(u"B3"), error(u"#NAME?"));
  EXPECT_EQ(get(u"A1", &local), number(8));
  EXPECT_EQ(get(u"A2", &local), number(0.2));

  // Dependencies run through the sheet's name.
  put(u"A1", 5);
  EXPECT_EQ(get(u"A1", &local), number(10));
  EXPECT_EQ(get(u"B2"), number(20));

  // A rename rewrites the prefix; deleting a row moves the name's reference.
  book.renameSheet(local, u"Other");
  EXPECT_EQ(sheet.formula(1, 1), u"Other!Rate+Other!Base");
  local.deleteCells(parseRangeRef(u"A1:Z1"), DeleteShift::Up);
  local.setNumber(parseRangeRef(u"B1"), 1);
  EXPECT_EQ(book.findDefinedName(u"Base", &local)->reference, u"#REF!");
  EXPECT_EQ(get(u"B2"), error(u"#REF!"));

  // Removing the sheet removes its own names; the workbook's stays.
  book.removeSheet(local);
  EXPECT_EQ(book.definedNames().size(), 1u);
  EXPECT_EQ(get(u"B1"), number(20));
  EXPECT_EQ(get(u"B2"), error(u"#REF!"));
  EXPECT_EQ(sheet.formula(1, 1), u"#REF!+#REF!");
}

// A reference through several sheets reads every sheet between its ends in workbook order, and
// follows renames, moves and removals of those sheets.
TEST_F(WorkbookCalculationTest, ReferencesThroughSheetsFollowTheSheetsBetween) {
  Sheet& jan = book.addSheet(u"Jan");
  Sheet& feb = book.addSheet(u"Feb");
  Sheet& mar = book.addSheet(u"Mar");
  for (Sheet* month : {&jan, &feb, &mar}) month->setNumber(parseRangeRef(u"B2:B3"), 10);
  put(u"A1", u"=SUM(Jan:Mar!B2:B3)");
  put(u"A2", u"=AVERAGE('Jan:Mar'!B2)+COUNT(Mar:Jan!B:B)");
  EXPECT_EQ(get(u"A1"), number(60));
  EXPECT_EQ(get(u"A2"), number(16));
  feb.setNumber(parseRangeRef(u"B3"), 40);  // a sheet inside the span
  EXPECT_EQ(get(u"A1"), number(90));

  book.moveSheet(feb, 0);  // out of the span
  EXPECT_EQ(get(u"A1"), number(40));
  book.moveSheet(feb, 2);  // back between Jan and Mar
  EXPECT_EQ(get(u"A1"), number(90));

  book.renameSheet(mar, u"March 26");
  EXPECT_EQ(sheet.formula(0, 0), u"SUM('Jan:March 26'!B2:B3)");
  book.removeSheet(mar);  // an end sheet: the span ends at its neighbour
  EXPECT_EQ(sheet.formula(0, 0), u"SUM(Jan:Feb!B2:B3)");
  EXPECT_EQ(get(u"A1"), number(70));
  book.removeSheet(jan);  // one sheet is left
  EXPECT_EQ(sheet.formula(0, 0), u"SUM(Feb!B2:B3)");
  EXPECT_EQ(get(u"A1"), number(50));
}

// Structured references resolve to the table's cells; formulas keep their text as written.
TEST_F(WorkbookCalculationTest, StructuredReferencesReadTheirTablesCells) {
  Sheet& data = book.addSheet(u"Sales Data");
  data.setText(parseRangeRef(u"A1"), u"Region");
  data.setText(parseRangeRef(u"B1"), u"Amount");
  data.setText(parseRangeRef(u"C1"), u"Double");
  for (int row = 1; row <= 3; ++row) data.setNumber({row, 1, row, 1}, row * 10);
  data.setText(parseRangeRef(u"C2:C4"), u"=[@Amount]*2");
  book.addTable(
      {data.id(), u"Sales", parseRangeRef(u"A1:C5"), 1, 1, {u"Region", u"Amount", u"Double"}});
  put(u"A1", u"=SUM(Sales[Amount])");
  put(u"A2", u"=SUM(sales[[#Data],[Amount]:[Double]])");
  put(u"A3", u"=COUNTA(Sales[#Headers])+ROWS(Sales)");
  put(u"A4", u"=SUM(Sales[Missing])");
  EXPECT_EQ(get(u"C3", &data), number(40));
  EXPECT_EQ(get(u"A1"), number(60));
  EXPECT_EQ(get(u"A2"), number(180));
  EXPECT_EQ(get(u"A3"), number(6));
  EXPECT_EQ(get(u"A4"), error(u"#NAME?"));
  data.setNumber(parseRangeRef(u"B2"), 100);  // dependencies run through the table
  EXPECT_EQ(get(u"A1"), number(150));
  EXPECT_EQ(get(u"C2", &data), number(200));
  EXPECT_EQ(sheet.formula(1, 0), u"SUM(sales[[#Data],[Amount]:[Double]])");

  // A table the script made is reached the same way.
  SheetTable made;
  made.name = u"Made";
  made.range = parseRangeRef(u"E1:E3");
  made.columns = {{u"Value", {}, {}}};
  sheet.setNumber(parseRangeRef(u"E2:E3"), 4);
  sheet.objects().tables.push_back(made);
  put(u"A5", u"=SUM(Made[Value])*COUNT(Made)");
  EXPECT_EQ(get(u"A5"), number(16));
}

// Sheet names are matched and written by one rule in every layer: the model, the formula
// reader and the reference rewrites after a rename or a shift.
TEST_F(WorkbookCalculationTest, SheetNamesFollowOneRuleForQuotingAndCase) {
  Sheet& dotted = book.addSheet(u".x");
  dotted.setNumber(parseRangeRef(u"A1"), 5);
  book.addDefinedName(u"Five", u"='.x'!$A$1");
  put(u"A1", u"=Five*2");
  EXPECT_EQ(get(u"A1"), number(10));

  Sheet& umlaut = book.addSheet(u"\u00C4rger");
  umlaut.setNumber(parseRangeRef(u"A1"), 4);
  umlaut.setNumber(parseRangeRef(u"A2"), 6);
  put(u"B1", u"='\u00E4rger'!A1*2");
  put(u"B2", u"='\u00E4rger'!A2");
  EXPECT_EQ(get(u"B1"), number(8));
  umlaut.deleteCells(parseRangeRef(u"A1"), DeleteShift::Up);
  EXPECT_EQ(sheet.formula(1, 1), u"'\u00E4rger'!A1");
  EXPECT_EQ(get(u"B2"), number(6));
  EXPECT_EQ(get(u"B1"), error(u"#REF!"));
  put(u"B1", u"='\u00E4rger'!A1*2");
  book.renameSheet(umlaut, u"Gr\u00FCn");
  EXPECT_EQ(sheet.formula(0, 1), u"'Gr\u00FCn'!A1*2");
  EXPECT_EQ(get(u"B1"), number(12));
}

TEST_F(WorkbookCalculationTest, WholeColumnsAndRowsReadOnlyTheUsedCells) {
  put(u"A1", 1);
  put(u"B1", u"=SUM(A:A)");
  put(u"B2", u"=SUM(3:3)+COUNTA(3:3)");
  EXPECT_EQ(get(u"B1"), number(1));
  sheet.setNumber(cellRef(900000, 0), 2);  // far below the old used range
  sheet.setNumber(cellRef(2, 16000), 4);
  EXPECT_EQ(get(u"B1"), number(3));
  EXPECT_EQ(get(u"B2"), number(5));
}

TEST_F(WorkbookCalculationTest, StructureChangesMoveWhatFormulasReadAndRecalculate) {
  put(u"A1", 1);
  put(u"A2", 2);
  put(u"A3", 3);
  put(u"B1", u"=A3*10");
  put(u"C1", u"=SUM(A1:A3)");
  sheet.deleteCells(parseRangeRef(u"2:2"), DeleteShift::Up);
  EXPECT_EQ(sheet.formula(0, 1), u"A2*10");
  EXPECT_EQ(get(u"B1"), number(30));
  EXPECT_EQ(get(u"C1"), number(4));
  sheet.setNumber(parseRangeRef(u"A2"), 5);  // the moved cell is still a dependency
  EXPECT_EQ(get(u"B1"), number(50));
  sheet.insertCells(parseRangeRef(u"A1"), InsertShift::Down);
  EXPECT_EQ(get(u"B1"), number(50));
  EXPECT_EQ(get(u"C1"), number(6));
  sheet.setNumber(parseRangeRef(u"A1"), 100);  // outside the shifted range
  EXPECT_EQ(get(u"C1"), number(6));
  sheet.deleteCells(parseRangeRef(u"A3"), DeleteShift::Up);
  EXPECT_EQ(get(u"B1"), error(u"#REF!"));
}

TEST_F(WorkbookCalculationTest, CopiedFormulasReadTheirNewNeighbours) {
  put(u"A1", 1);
  put(u"A2", 2);
  put(u"B1", u"=A1*3");
  sheet.copyTo(parseRangeRef(u"B1"), sheet, parseRangeRef(u"B2"));
  EXPECT_EQ(get(u"B2"), number(6));
  put(u"A2", 4);
  EXPECT_EQ(get(u"B2"), number(12));
}

TEST_F(WorkbookCalculationTest, LargeFillsAreCalculatedToo) {
  // More cells than are reported one by one: the calculation is rebuilt instead.
  sheet.setText(parseRangeRef(u"A1:B40000"), u"=ROW()*2");
  EXPECT_EQ(get(u"B40000"), number(80000));
  sheet.setNumber(parseRangeRef(u"A1:A70000"), 1);
  put(u"C1", u"=SUM(A:A)+B1");
  EXPECT_EQ(get(u"C1"), number(70002));
  EXPECT_FALSE(sheet.formula(0, 0).has_value());
}

TEST_F(WorkbookCalculationTest, DisplayedTextAndFindUseCalculatedValues) {
  put(u"A1", 0.5);
  put(u"B1", u"=A1*3");
  sheet.setNumberFormat(parseRangeRef(u"B1"), u"0.00%");
  EXPECT_EQ(sheet.displayText(0, 1), u"150.00%");
  EXPECT_EQ(sheet.find(u"150", parseRangeRef(u"A1:C3")), cellRef(0, 1));
  put(u"A1", 2);
  EXPECT_EQ(sheet.find(u"150", parseRangeRef(u"A1:C3")), std::nullopt);
}

TEST_F(WorkbookCalculationTest, StoredCellsCarryCalculatedValuesForWriters) {
  put(u"A1", 4);
  put(u"B1", u"=A1&\"x\"");
  put(u"C1", u"=SQRT(A1)");
  // A writer walks the stored cells and reads what they hold.
  const auto cells = sheet.rowCells(0);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(sheet.valueOf(cells[1]), CellValue::fromText(u"4x"));
  EXPECT_EQ(sheet.valueOf(cells[2]), number(2));
}

TEST_F(WorkbookCalculationTest, RecalculateAllReplacesCachedValuesFromAFile) {
  put(u"A1", 3);
  put(u"B1", u"=A1+1");
  EXPECT_EQ(get(u"B1"), number(4));
  // A reader stores the value a file carried; the workbook calculates its own on request.
  sheet.setCachedValue(0, 1, number(99));
  book.recalculateAll();
  EXPECT_EQ(get(u"B1"), number(4));
}

}  // namespace
}  // namespace sx
