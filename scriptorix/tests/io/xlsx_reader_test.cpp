#include <gtest/gtest.h>

#include <stdexcept>

#include "io/opc_package.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "core/utf.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

using testing::PackageSpec;
using testing::worksheet;

const std::string kStyles =
    "<styleSheet xmlns=\"" + testing::kMain +
    "\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.000&quot;kg&quot;\"/></numFmts>"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
    "<font><b/><i/><u/><sz val=\"14\"/><color rgb=\"FF112233\"/><name "
    "val=\"Arial\"/></font></fonts>"
    "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor "
    "rgb=\"FFFFEE00\"/></patternFill></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"thin\"><color rgb=\"FF0000FF\"/></left><right/><top/><bottom "
    "style=\"double\"/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"4\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"164\" fontId=\"1\" fillId=\"2\" borderId=\"1\" xfId=\"1\"><alignment "
    "horizontal=\"center\" vertical=\"top\" wrapText=\"1\" indent=\"2\"/><protection "
    "locked=\"0\"/></xf>"
    "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"164\" fontId=\"1\" fillId=\"2\" borderId=\"1\" xfId=\"0\"><alignment "
    "horizontal=\"center\" vertical=\"top\" wrapText=\"1\"/></xf></cellXfs>"
    "<cellStyles count=\"2\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/><cellStyle "
    "name=\"Loud\" xfId=\"1\"/></cellStyles>"
    "<dxfs count=\"1\"><dxf><font><b/></font></dxf></dxfs><tableStyles count=\"0\"/></styleSheet>";

const std::string kStrings =
    "<si><t>plain</t></si>"
    "<si><r><rPr><b/></rPr><t>bold</t></r><r><t xml:space=\"preserve\"> and not</t></r></si>"
    "<si><t>line_x000D_break</t></si>";

std::unique_ptr<Workbook> open(const PackageSpec& layout) {
  return readXlsxWorkbook(testing::package(layout));
}

std::string save(const Workbook& workbook, FileFormat format = FileFormat::Xlsx) {
  return writePackage(buildWorkbookParts(workbook, format));
}

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

TEST(XlsxReader, CellsOfEveryKind) {
  PackageSpec layout;
  layout.sharedStrings = kStrings;
  layout.sheets = {
      {"Data",
       worksheet("<row r=\"1\"><c r=\"A1\"><v>-1.5E-3</v></c><c r=\"B1\" t=\"s\"><v>0</v></c><c "
                 "r=\"C1\" t=\"s\"><v>1</v></c>"
                 "<c r=\"D1\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c><c "
                 "r=\"E1\" t=\"b\"><v>1</v></c>"
                 "<c r=\"F1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"G1\" t=\"s\"><v>2</v></c><c "
                 "r=\"H1\" t=\"d\"><v>2024-03-01T12:00:00</v></c></row>"
                 "<row r=\"3\"><c r=\"A3\"><f>A1*2</f><v>-3E-3</v></c><c r=\"B3\" "
                 "t=\"str\"><f>B1&amp;\"!\"</f><v>plain!</v></c>"
                 "<c><v>7</v></c><c r=\"E3\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c></row>"
                 "<row><c r=\"B5\"><v>5</v></c></row><row><c><v>6</v></c></row>")}};
  const auto book = open(layout);
  const Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.value(0, 0), CellValue::fromNumber(-1.5e-3));
  EXPECT_EQ(sheet.value(0, 1), CellValue::fromText(u"plain"));
  EXPECT_EQ(sheet.value(0, 2), CellValue::fromText(u"bold and not"));
  EXPECT_EQ(sheet.value(0, 3), CellValue::fromText(u"inline"));
  EXPECT_EQ(sheet.value(0, 4), CellValue::fromBoolean(true));
  EXPECT_EQ(sheet.value(0, 5), CellValue::fromError(u"#DIV/0!"));
  EXPECT_EQ(sheet.value(0, 6), CellValue::fromText(u"line\rbreak"));
  EXPECT_EQ(sheet.value(0, 7), CellValue::fromNumber(45352.5));  // 2024-03-01 noon
  EXPECT_EQ(sheet.formula(2, 0), u"A1*2");
  EXPECT_EQ(sheet.value(2, 0), CellValue::fromNumber(-3e-3));
  EXPECT_EQ(sheet.value(2, 1), CellValue::fromText(u"plain!"));
  EXPECT_EQ(sheet.value(2, 2), CellValue::fromNumber(7));  // no r: the next column
  EXPECT_EQ(sheet.formula(2, 4), u"1/0");
  EXPECT_TRUE(sheet.value(1, 0).isEmpty());
  // Rows without a number: the row their first cell names, else the one after the last.
  EXPECT_EQ(sheet.value(4, 1), CellValue::fromNumber(5));
  EXPECT_EQ(sheet.value(5, 0), CellValue::fromNumber(6));
}

TEST(XlsxReader, SharedAndArrayFormulas) {
  PackageSpec layout;
  layout.sheets = {
      {"S", worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f t=\"shared\" "
                      "ref=\"B1:C2\" si=\"0\">A1+$A$1</f><v>2</v></c>"
                      "<c r=\"C1\"><f t=\"shared\" si=\"0\"/><v>3</v></c></row>"
                      "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" si=\"0\"/></c><c r=\"D2\"><f "
                      "t=\"array\" ref=\"D2:D3\">A1:A2*2</f><v>2</v></c></row>"
                      "<row r=\"3\"><c r=\"D3\"><v>0</v></c></row>")}};
  const auto book = open(layout);
  const Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.formula(0, 2), u"B1+$A$1");
  EXPECT_EQ(sheet.formula(1, 1), u"A2+$A$1");
  EXPECT_EQ(sheet.value(0, 2), CellValue::fromNumber(3));
  EXPECT_EQ(sheet.formula(1, 3), u"A1:A2*2");
  EXPECT_FALSE(sheet.formula(2, 3));

  // The array formula goes back as one, over the same cells.
  const auto zip = testing::unpackZip(save(*book));
  const std::string& xml = zip.entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<c r=\"D2\"><f t=\"array\" ref=\"D2:D3\">A1:A2*2</f>"), std::string::npos)
      << xml;
  // Once the cell holds another formula it is an ordinary one.
  auto edited = open(layout);
  edited->sheet(0).setText(at(u"D2"), u"=A1*3");
  const std::string changed =
      testing::unpackZip(save(*edited)).entries.at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(changed.find("t=\"array\""), std::string::npos);
}

TEST(XlsxReader, StylesDecodeAndSurviveEdits) {
  PackageSpec layout;
  layout.styles = kStyles;
  layout.sheets = {
      {"S",
       worksheet("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>2</v></c><c r=\"B1\" s=\"2\"><v>45000</v></c>"
                 "<c r=\"C1\" s=\"3\"><v>1</v></c><c r=\"D1\" s=\"1\"/></row>")}};
  const auto book = open(layout);
  Sheet& sheet = book->sheet(0);
  const Style style = sheet.style(0, 0);  // a copy: edits below grow the style table
  EXPECT_EQ(style.numberFormat, u"0.000\"kg\"");
  EXPECT_EQ(style.font.name, u"Arial");
  EXPECT_EQ(style.font.size, 14);
  EXPECT_TRUE(style.font.bold && style.font.italic &&
              style.font.underline == FontUnderline::Single);
  EXPECT_EQ(style.font.color, (Color{0x11, 0x22, 0x33}));
  EXPECT_EQ(style.fill, (Color{0xFF, 0xEE, 0x00}));
  EXPECT_EQ(style.borders.left.line, BorderLineStyle::Thin);
  EXPECT_EQ(style.borders.left.color, (Color{0, 0, 0xFF}));
  EXPECT_EQ(style.borders.bottom.line, BorderLineStyle::Double);
  EXPECT_EQ(style.horizontal, HorizontalAlignment::Center);
  EXPECT_EQ(style.vertical, VerticalAlignment::Top);
  EXPECT_TRUE(style.wrap);
  EXPECT_EQ(sheet.displayText(0, 0), u"2.000kg");
  EXPECT_EQ(sheet.style(0, 1).numberFormat, u"mm-dd-yy");
  // Entries that differ only in what the model does not hold stay apart.
  EXPECT_NE(sheet.styleIndex(0, 0), sheet.styleIndex(0, 2));
  EXPECT_EQ(sheet.styleIndex(0, 0), sheet.styleIndex(0, 3));

  sheet.setFontName(at(u"A1"), u"Courier New");
  sheet.setNumberFormat(at(u"C1"), u"0.0%");
  const std::string styles = testing::unpackZip(save(*book)).entries.at("xl/styles.xml");
  // Every entry of the file is still there, the named style, protection and dxfs included ...
  for (const char* kept : {"<cellStyle name=\"Loud\" xfId=\"1\"/>", "<protection locked=\"0\"/>",
                           "<dxfs count=\"1\"><dxf><font><b/></font></dxf></dxfs>",
                           "formatCode=\"0.000&quot;kg&quot;\"", "indent=\"2\""}) {
    EXPECT_NE(styles.find(kept), std::string::npos) << kept << " in " << styles;
  }
  // ... and the edited cells got new entries after them.
  EXPECT_NE(styles.find("<cellXfs count=\"6\">"), std::string::npos) << styles;
  EXPECT_NE(styles.find("Courier New"), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"0.0%\""), std::string::npos);
  const auto reread = readXlsxWorkbook(save(*book));
  const Sheet& again = reread->sheet(0);
  EXPECT_EQ(again.style(0, 0).font.name, u"Courier New");
  EXPECT_EQ(again.style(0, 0).fill, style.fill);
  EXPECT_EQ(again.style(0, 2).numberFormat, u"0.0%");
  EXPECT_EQ(again.style(0, 3).font.name, u"Arial");
  // The edited cell kept what the model does not hold: its protection.
  const std::string xml = testing::unpackZip(save(*reread)).entries.at("xl/styles.xml");
  size_t protections = 0;
  for (size_t at2 = xml.find("<protection locked=\"0\"/>"); at2 != std::string::npos;
       at2 = xml.find("<protection locked=\"0\"/>", at2 + 1)) {
    ++protections;
  }
  EXPECT_EQ(protections, 2u) << xml;
}

TEST(XlsxReader, SheetStructureNamesAndViews) {
  PackageSpec layout;
  layout.bookViews = "<bookViews><workbookView activeTab=\"1\"/></bookViews>";
  layout.sheets = {
      {"First",
       worksheet(
           "<row r=\"2\" ht=\"30\" customHeight=\"1\" hidden=\"1\"><c r=\"A2\"><v>1</v></c></row>",
           "<sheetViews><sheetView workbookViewId=\"0\" zoomScale=\"150\"><pane xSplit=\"1\" "
           "ySplit=\"2\" "
           "topLeftCell=\"B3\" state=\"frozen\"/></sheetView></sheetViews>"
           "<cols><col min=\"2\" max=\"3\" width=\"25.5\" customWidth=\"1\"/><col min=\"5\" "
           "max=\"5\" "
           "width=\"9\" hidden=\"1\"/></cols>",
           "<mergeCells count=\"1\"><mergeCell ref=\"A5:C6\"/></mergeCells>")},
      {"Second", worksheet("")},
  };
  layout.workbookExtra =
      "<definedNames><definedName name=\"Total\">First!$A$1:$A$3</definedName>"
      "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">First!$A$1:$C$6</definedName>"
      "<definedName name=\"Local\" localSheetId=\"1\">Second!$B$2</definedName></definedNames>";
  const auto book = open(layout);
  ASSERT_EQ(book->sheetCount(), 2u);
  EXPECT_EQ(book->activeSheet().name(), u"Second");
  const Sheet& first = book->sheet(0);
  EXPECT_EQ(first.freezePanes(), (FreezePanes{2, 1}));
  EXPECT_EQ(first.rowFormats().at(1).height, 30);
  EXPECT_TRUE(first.rowFormats().at(1).hidden);
  EXPECT_EQ(first.columnFormats().at(1).width, 25.5);
  EXPECT_EQ(first.columnFormats().at(2).width, 25.5);
  EXPECT_TRUE(first.columnFormats().at(4).hidden);
  EXPECT_FALSE(first.columnFormats().at(4).width);
  ASSERT_EQ(first.merges().size(), 1u);
  EXPECT_EQ(first.merges()[0], at(u"A5:C6"));
  ASSERT_EQ(book->definedNames().size(), 2u);
  EXPECT_EQ(book->findDefinedName(u"Total")->reference, u"First!$A$1:$A$3");
  EXPECT_EQ(book->findDefinedName(u"Local", &book->sheet(1))->reference, u"Second!$B$2");
  EXPECT_EQ(book->findDefinedName(u"Local"), nullptr);

  // Sheet-scoped names follow their sheet through a move and a rename; the view's zoom stays.
  book->moveSheet(book->sheet(1), 0);
  book->renameSheet(book->sheet(0), u"Second one");
  const auto zip = testing::unpackZip(save(*book));
  const std::string& workbookXml = zip.entries.at("xl/workbook.xml");
  EXPECT_NE(workbookXml.find("name=\"_xlnm.Print_Area\" localSheetId=\"1\""), std::string::npos)
      << workbookXml;
  EXPECT_NE(workbookXml.find("name=\"Local\" localSheetId=\"0\">'Second one'!$B$2<"),
            std::string::npos)
      << workbookXml;
  EXPECT_NE(workbookXml.find("activeTab=\"0\""), std::string::npos) << workbookXml;
  EXPECT_NE(zip.entries.at("xl/worksheets/sheet1.xml").find("zoomScale=\"150\""),
            std::string::npos);
}

// Names of a sheet's own calculate; their attributes, and names the model does not hold (a
// built-in one, a second one in one scope), are written back as read, the scope following the
// sheets when one before it goes.
TEST(XlsxReader, SheetNamesCalculateAndAreWrittenBackWithTheirAttributes) {
  PackageSpec layout;
  layout.sheets = {
      {"Gone", worksheet("")},
      {"Data",
       worksheet(
           "<row r=\"1\"><c r=\"A1\"><v>4</v></c>"
           "<c r=\"B1\"><f>Rate*A1</f><v>99</v></c><c r=\"C1\"><f>Half</f><v>2</v></c></row>")}};
  layout.workbookExtra =
      "<definedNames><definedName name=\"Rate\">0.5</definedName>"
      "<definedName name=\"Rate\" comment=\"rate &amp; more\" hidden=\"1\" "
      "localSheetId=\"1\">Data!$A$1*2</definedName>"
      "<definedName name=\"Rate\" localSheetId=\"1\">7</definedName>"
      "<definedName name=\"Half\" localSheetId=\"1\">Rate/2</definedName>"
      "<definedName name=\"_xlnm.Print_Area\" "
      "localSheetId=\"1\">Data!$A$1:$C$1</definedName></definedNames>";
  const auto book = open(layout);
  const Sheet& data = book->sheet(1);
  EXPECT_EQ(data.value(0, 1), CellValue::fromNumber(99));  // the file's value until recalculated
  book->recalculateAll();
  EXPECT_EQ(data.value(0, 1), CellValue::fromNumber(32));
  EXPECT_EQ(data.value(0, 2), CellValue::fromNumber(4));

  book->removeSheet(book->sheet(0));
  const std::string workbookXml = testing::unpackZip(save(*book)).entries.at("xl/workbook.xml");
  for (const char* entry :
       {"<definedName name=\"Rate\">0.5<",
        "<definedName name=\"Rate\" comment=\"rate &amp; more\" hidden=\"1\" "
        "localSheetId=\"0\">Data!$A$1*2<",
        "<definedName name=\"Rate\" localSheetId=\"0\">7<",
        "<definedName name=\"Half\" localSheetId=\"0\">Rate/2<",
        "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">Data!$A$1:$C$1<"}) {
    EXPECT_NE(workbookXml.find(entry), std::string::npos) << entry << "\n" << workbookXml;
  }
  EXPECT_EQ(workbookXml.find("localSheetId=\"1\""), std::string::npos) << workbookXml;
}

// Tables are read for the formulas that name them, and their parts are carried through as read;
// one whose columns disagree with its area is only carried through.
TEST(XlsxReader, TablesServeStructuredReferencesAndStayAsRead) {
  PackageSpec layout;
  layout.sharedStrings = "<si><t>Item</t></si><si><t>Amount</t></si>";
  layout.sheets = {
      {"Data",
       worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                 "<c r=\"D1\"><f>SUM(Sales[Amount])</f><v>1</v></c>"
                 "</row><row r=\"2\"><c r=\"B2\"><v>5</v></c>"
                 "<c r=\"D2\"><f>SUM(Bad[Amount])</f><v>7</v></c></row>"
                 "<row r=\"3\"><c r=\"B3\"><v>6</v></c></row>")}};
  const std::string table =
      "<table xmlns=\"" + testing::kMain +
      "\" id=\"1\" name=\"Sales\" displayName=\"Sales\" "
      "ref=\"A1:B3\"><tableColumns count=\"2\"><tableColumn id=\"1\" name=\"Item\"/>"
      "<tableColumn id=\"2\" name=\"Amount\"/></tableColumns></table>";
  const std::string bad =
      "<table xmlns=\"" + testing::kMain +
      "\" id=\"2\" name=\"Bad\" displayName=\"Bad\" "
      "ref=\"A1:C3\"><tableColumns count=\"1\"><tableColumn id=\"1\" name=\"Amount\"/>"
      "</tableColumns></table>";
  const char* tableType = "application/vnd.openxmlformats-officedocument.spreadsheetml.table+xml";
  layout.extraParts = {{"xl/worksheets/_rels/sheet1.xml.rels", "",
                        testing::relationships({{"rId1", "table|../tables/table1.xml"},
                                                {"rId2", "table|../tables/table2.xml"},
                                                {"rId3", "table|../tables/table3.xml"}})},
                       {"xl/tables/table3.xml", tableType, "<table><broken>"},
                       {"xl/tables/table1.xml", tableType, table},
                       {"xl/tables/table2.xml", tableType, bad}};
  const auto book = open(layout);
  ASSERT_EQ(book->tables().size(), 1u);
  EXPECT_EQ(book->tables()[0].columns, (std::vector<std::u16string>{u"Item", u"Amount"}));
  book->recalculateAll();
  EXPECT_EQ(book->sheet(0).value(0, 3), CellValue::fromNumber(11));
  EXPECT_EQ(book->sheet(0).value(1, 3), CellValue::fromNumber(7));  // not calculable here: kept
  const auto zip = testing::unpackZip(save(*book));
  EXPECT_EQ(zip.entries.at("xl/tables/table1.xml"), table);
  EXPECT_NE(zip.entries.at("xl/worksheets/sheet1.xml").find("<f>SUM(Sales[Amount])</f><v>11</v>"),
            std::string::npos);
}

// Whatever the writer produces the reader takes back: merges have no count limit.
TEST(XlsxReader, ReadsBackEveryMergeItWrote) {
  Workbook book;
  book.sheet(0).merge(at(u"A1:B40000"), true);
  ASSERT_EQ(book.sheet(0).merges().size(), 40000u);
  const auto again = readXlsxWorkbook(save(book));
  EXPECT_EQ(again->sheet(0).merges(), book.sheet(0).merges());
}

TEST(XlsxReader, OpenSaveOpenReadsBackEqualAndSavesTheSameBytes) {
  PackageSpec layout;
  layout.styles = kStyles;
  layout.sharedStrings = kStrings;
  layout.sheets = {
      {"A",
       worksheet(
           "<row r=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>1</v></c><c r=\"B1\" "
           "s=\"3\"><f>1+1</f><v>2</v></c></row>"
           "<row r=\"4\" s=\"2\" customFormat=\"1\"><c r=\"C4\" t=\"s\"><v>0</v></c></row>",
           "<cols><col min=\"1\" max=\"1\" width=\"12\" customWidth=\"1\" style=\"2\"/></cols>",
           "<mergeCells count=\"1\"><mergeCell ref=\"D1:E2\"/></mergeCells>")},
      {"B", worksheet("<row r=\"1\"><c r=\"A1\" t=\"b\"><v>0</v></c></row>")}};
  auto book = open(layout);
  book->addSheet(u"Added").setNumber(at(u"B2"), 5);
  const std::string first = save(*book);
  const auto again = readXlsxWorkbook(first);
  ASSERT_EQ(again->sheetCount(), book->sheetCount());
  for (size_t i = 0; i < book->sheetCount(); ++i) {
    const Sheet& a = book->sheet(i);
    const Sheet& b = again->sheet(i);
    EXPECT_EQ(a.name(), b.name());
    EXPECT_EQ(a.usedRange(), b.usedRange());
    EXPECT_EQ(a.merges(), b.merges());
    EXPECT_EQ(a.rowFormats().size(), b.rowFormats().size());
    EXPECT_EQ(a.columnFormats().size(), b.columnFormats().size());
    const RangeRef used = a.usedRange();
    for (int32_t row = used.firstRow; row <= used.lastRow; ++row) {
      for (int32_t column = used.firstColumn; column <= used.lastColumn; ++column) {
        EXPECT_EQ(a.value(row, column), b.value(row, column)) << i << ":" << row << "," << column;
        EXPECT_EQ(a.formula(row, column), b.formula(row, column));
        Style left = a.style(row, column), right = b.style(row, column);
        left.origin = right.origin = 0;
        EXPECT_EQ(left, right) << i << ":" << row << "," << column;
      }
    }
  }
  EXPECT_EQ(save(*again), first);
  EXPECT_EQ(testing::unpackZip(first)
                    .entries.at("xl/sharedStrings.xml")
                    .find("<r><rPr><b/></rPr><t>bold</t></r>") != std::string::npos,
            true);
}

// Blanks are text: a cell of one space, leading and trailing blanks, a rich run that is only a
// space, line breaks and escape-like text all read back exactly, and after a save too.
TEST(XlsxReader, TextKeepsItsBlanksThroughASave) {
  PackageSpec layout;
  layout.sharedStrings =
      "<si><t xml:space=\"preserve\"> </t></si>"
      "<si><t xml:space=\"preserve\">  lead and trail  </t></si>"
      "<si><r><t>Red</t></r><r><t xml:space=\"preserve\"> </t></r><r><t>Green</t></r></si>"
      "<si><t>two\nlines</t></si>"
      "<si><t>_x005F_x0041_ and _x0041_</t></si>"
      "<si><t>\n</t></si>"
      "<si><t>ABC_x000D_\nDEF</t></si>";
  layout.sheets = {
      {"S",
       worksheet(
           "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c "
           "r=\"C1\" t=\"s\"><v>2</v></c>"
           "<c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" "
           "t=\"s\"><v>5</v></c><c r=\"G1\" t=\"s\"><v>6</v></c></row>"
           "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  </t></is></c>"
           "<c r=\"B2\" t=\"str\"><f>\" \"</f><v> </v></c><c r=\"C2\"><v> </v></c></row>")}};
  const std::vector<std::pair<const char16_t*, CellValue>> expected = {
      {u"A1", CellValue::fromText(u" ")},
      {u"B1", CellValue::fromText(u"  lead and trail  ")},
      {u"C1", CellValue::fromText(u"Red Green")},
      {u"D1", CellValue::fromText(u"two\nlines")},
      {u"E1", CellValue::fromText(u"_x0041_ and A")},
      {u"F1", CellValue::fromText(u"\n")},
      {u"G1", CellValue::fromText(u"ABC\r\nDEF")},
      {u"A2", CellValue::fromText(u"  ")},
      {u"B2", CellValue::fromText(u" ")},
      {u"C2", CellValue{}},  // a number cell of blanks holds no value
  };
  auto book = open(layout);
  const auto again = readXlsxWorkbook(save(*book));
  for (const Workbook* workbook : {book.get(), again.get()}) {
    for (const auto& [cell, value] : expected) {
      const RangeRef ref = at(cell);
      EXPECT_EQ(workbook->sheet(0).value(ref.firstRow, ref.firstColumn), value) << toUtf8(cell);
    }
  }
  const std::string strings = testing::unpackZip(save(*again)).entries.at("xl/sharedStrings.xml");
  EXPECT_NE(strings.find("<r><t xml:space=\"preserve\"> </t></r>"), std::string::npos) << strings;
  // A carriage return is written as applications write it, not as a character reference.
  EXPECT_NE(strings.find(">ABC_x000D_&#10;DEF<"), std::string::npos) << strings;
}

// An empty inline string or a shared-string cell without a value is an empty cell, not empty
// text; its format stays.
TEST(XlsxReader, EmptyCellsStayEmpty) {
  PackageSpec layout;
  layout.styles = kStyles;
  layout.sharedStrings = "<si><t>x</t></si>";
  layout.sheets = {
      {"S",
       worksheet(
           "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"/><c r=\"B1\" t=\"inlineStr\"><is><t/></is></c>"
           "<c r=\"C1\" t=\"s\"/><c r=\"D1\" t=\"s\" s=\"1\"><v></v></c><c r=\"E1\" "
           "t=\"s\"><v>0</v></c></row>")}};
  auto book = open(layout);
  const Sheet& sheet = book->sheet(0);
  for (int32_t column = 0; column < 4; ++column)
    EXPECT_TRUE(sheet.value(0, column).isEmpty()) << column;
  EXPECT_EQ(sheet.style(0, 3).numberFormat, u"0.000\"kg\"");
  const std::string xml = testing::unpackZip(save(*book)).entries.at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(xml.find("r=\"A1\""), std::string::npos) << xml;
  EXPECT_EQ(xml.find("r=\"B1\""), std::string::npos) << xml;
}

// What spreadsheet applications open is read: backslashes in entry names, fonts wrapped in
// markup-compatibility alternatives, a format naming a font past the list, a shared-string index
// past the table, a time alone in a date cell, a sheet entry without a part, beta-format strings.
TEST(XlsxReader, ToleratesWhatApplicationsOpen) {
  PackageSpec layout;
  layout.styles = "<styleSheet xmlns=\"" + testing::kMain +
                  "\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
                  "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
                  "<mc:AlternateContent><mc:Choice Requires=\"hs\"><font><sz val=\"9\"/><name "
                  "val=\"Other\"/></font></mc:Choice>"
                  "<mc:Fallback><font><b/><sz val=\"9\"/><name "
                  "val=\"Arial\"/></font></mc:Fallback></mc:AlternateContent>"
                  "<font><i/><sz val=\"12\"/><name val=\"Third\"/></font></fonts>"
                  "<cellXfs count=\"4\"><xf fontId=\"0\"/><xf "
                  "fontId=\"1\"/><mc:AlternateContent><mc:Choice Requires=\"hs\">"
                  "<xf fontId=\"0\"/></mc:Choice><mc:Fallback><xf "
                  "fontId=\"2\"/></mc:Fallback></mc:AlternateContent>"
                  "<xf fontId=\"7\"/></cellXfs></styleSheet>";
  layout.sharedStrings = "<sstItem><t>only</t></sstItem>";  // as Excel 2007's beta wrote it
  layout.sheets = {{"S", worksheet("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" "
                                   "s=\"2\"><v>2</v></c><c r=\"C1\" s=\"3\"><v>3</v></c>"
                                   "<c r=\"D1\" t=\"s\" s=\"1\"><v>5</v></c><c r=\"E1\" "
                                   "t=\"d\"><v>10:10:10</v></c><c r=\"F1\" t=\"d\"><v>06:00</v></c>"
                                   "<c r=\"G1\" t=\"s\"><v>0</v></c></row>")}};
  layout.workbookExtra = "";
  std::vector<PackagePart> parts = testing::packageParts(layout);
  for (PackagePart& part : parts) {
    if (part.name == "xl/styles.xml") part.name = "xl\\styles.xml";
    // Part names are case-insensitive: this one differs from what the relationships name.
    if (part.name == "xl/sharedStrings.xml") part.name = "xl/sharedstrings.xml";
    if (part.name == "xl/workbook.xml") {
      part.data.insert(part.data.find("</sheets>"),
                       "<sheet name=\"Module\" sheetId=\"9\" r:id=\"\"/>");
    }
  }
  auto book = readXlsxWorkbook(writePackage(parts));
  const Sheet& sheet = book->sheet(0);
  EXPECT_TRUE(sheet.style(0, 0).font.bold);
  EXPECT_EQ(sheet.style(0, 0).font.name, u"Arial");
  EXPECT_TRUE(
      sheet.style(0, 1).font.italic);  // the third entry, not the one inside the alternatives
  EXPECT_EQ(sheet.style(0, 2).font.name, u"Calibri");
  EXPECT_TRUE(sheet.value(0, 3).isEmpty());
  EXPECT_TRUE(sheet.style(0, 3).font.bold);
  EXPECT_EQ(sheet.value(0, 4), CellValue::fromNumber((10 * 3600 + 10 * 60 + 10) / 86400.0));
  EXPECT_EQ(sheet.value(0, 5), CellValue::fromNumber(0.25));
  EXPECT_EQ(sheet.value(0, 6), CellValue::fromText(u"only"));
  // The entry without a part stays where it was; the saved styles part has a proper name.
  book->sheet(0).setNumber(parseRangeRef(u"A2"), 4);
  const auto zip = testing::unpackZip(save(*book));
  EXPECT_TRUE(zip.entries.contains("xl/styles.xml"));
  size_t stringParts = 0;
  for (const auto& [name, data] : zip.entries)
    stringParts += partKey(name) == "xl/sharedstrings.xml";
  EXPECT_EQ(stringParts, 1u);
  EXPECT_NE(
      zip.entries.at("xl/workbook.xml").find("<sheet name=\"Module\" sheetId=\"9\" r:id=\"\"/>"),
      std::string::npos);
  // A font added by an edit is numbered after every entry, the wrapped one included.
  book->sheet(0).setFontName(parseRangeRef(u"A3"), u"Added");
  const std::string styles = testing::unpackZip(save(*book)).entries.at("xl/styles.xml");
  EXPECT_NE(styles.find("<font><sz val=\"11\"/><name val=\"Added\"/>"), std::string::npos)
      << styles;
  EXPECT_NE(styles.find("fontId=\"3\""), std::string::npos) << styles;
}

// Row and column outline levels and their folding are read, follow an inserted row, and are
// written back.
TEST(XlsxReader, OutlineLevelsSurviveAnEdit) {
  PackageSpec layout;
  layout.sheets = {
      {"S", worksheet("<row r=\"2\" outlineLevel=\"2\" hidden=\"1\"><c r=\"A2\"><v>1</v></c></row>"
                      "<row r=\"3\" collapsed=\"1\"><c r=\"A3\"><v>2</v></c></row><row r=\"4\" "
                      "outlineLevel=\"9\"/>",
                      "<cols><col min=\"2\" max=\"3\" width=\"5\" customWidth=\"1\" "
                      "outlineLevel=\"1\" collapsed=\"1\"/></cols>")}};
  auto book = open(layout);
  Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.rowFormats().at(1).outlineLevel, 2);
  EXPECT_TRUE(sheet.rowFormats().at(2).collapsed);
  EXPECT_EQ(sheet.rowFormats().at(3).outlineLevel, 7);  // the schema's deepest
  EXPECT_EQ(sheet.columnFormats().at(2).outlineLevel, 1);
  sheet.insertCells(at(u"1:1"), InsertShift::Down);
  const std::string xml = testing::unpackZip(save(*book)).entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<row r=\"3\" hidden=\"1\" outlineLevel=\"2\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<row r=\"4\" collapsed=\"1\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<col min=\"2\" max=\"3\" width=\"5\" customWidth=\"1\" outlineLevel=\"1\" "
                     "collapsed=\"1\"/>"),
            std::string::npos)
      << xml;
}

}  // namespace
}  // namespace sx
