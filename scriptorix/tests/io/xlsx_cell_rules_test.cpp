#include <gtest/gtest.h>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

using testing::PackageSpec;
using testing::worksheet;

std::map<std::string, std::string> saved(const Workbook& workbook) {
  return testing::unpackZip(writePackage(buildWorkbookParts(workbook, FileFormat::Xlsx))).entries;
}

size_t countOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

ConditionalFormat boldAbove(const char16_t* area, const char16_t* limit) {
  ConditionalFormat rule;
  rule.area = parseRangeRef(area);
  rule.comparison = ComparisonOperator::GreaterThan;
  rule.formulas = {limit};
  rule.format.bold = true;
  rule.format.fill = Color{0xFF, 0xC7, 0xCE};
  return rule;
}

DataValidation pickList(const char16_t* area) {
  DataValidation rule;
  rule.area = parseRangeRef(area);
  rule.kind = ValidationKind::List;
  rule.formulas = {u"\"yes,no\""};
  rule.dropDown = false;
  rule.errorStyle = ValidationErrorStyle::Warning;
  rule.inputMessage = u"Pick <one>";
  return rule;
}

TEST(XlsxCellRules, NewWorkbookWritesRulesFormatsAndValidationsInSchemaOrder) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.merge(parseRangeRef(u"F1:G1"), false);
  sheet.addConditionalFormat(boldAbove(u"A1:A9", u"5"));
  ConditionalFormat scale;
  scale.area = parseRangeRef(u"B1:B9");
  scale.kind = ConditionKind::ColorScale;
  scale.colors = {Color{255, 0, 0}, Color{255, 255, 0}, Color{0, 255, 0}};
  sheet.addConditionalFormat(scale);
  ConditionalFormat text;
  text.area = parseRangeRef(u"C2:C9");
  text.kind = ConditionKind::ContainsText;
  text.text = u"a\"b";
  text.format = boldAbove(u"A1", u"1").format;  // the same look shares one entry
  sheet.addConditionalFormat(text);
  sheet.addValidation(pickList(u"D1:D4"));

  const auto entries = saved(book);
  const std::string xml = entries.at("xl/worksheets/sheet1.xml");
  const size_t merges = xml.find("<mergeCells"), formats = xml.find("<conditionalFormatting"),
               validations = xml.find("<dataValidations"), margins = xml.find("<pageMargins");
  ASSERT_NE(formats, std::string::npos) << xml;
  EXPECT_TRUE(merges < formats && formats < validations && validations < margins) << xml;
  EXPECT_NE(xml.find("<cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                     "operator=\"greaterThan\"><formula>5</formula>"),
            std::string::npos)
      << xml;
  EXPECT_NE(
      xml.find("<cfRule type=\"colorScale\" priority=\"2\"><colorScale><cfvo type=\"min\"/><cfvo "
               "type=\"percentile\" val=\"50\"/><cfvo type=\"max\"/><color rgb=\"FFFF0000\"/>"),
      std::string::npos)
      << xml;
  EXPECT_NE(xml.find("dxfId=\"0\" priority=\"3\" operator=\"containsText\" text=\"a&quot;b\">"
                     "<formula>NOT(ISERROR(SEARCH(&quot;a&quot;&quot;b&quot;,C2)))</formula>"),
            std::string::npos)
      << xml;
  EXPECT_NE(
      xml.find(
          "<dataValidations count=\"1\"><dataValidation type=\"list\" errorStyle=\"warning\" "
          "allowBlank=\"1\" showDropDown=\"1\" showInputMessage=\"1\" showErrorMessage=\"1\" "
          "prompt=\"Pick &lt;one&gt;\" sqref=\"D1:D4\"><formula1>&quot;yes,no&quot;</formula1>"),
      std::string::npos)
      << xml;
  const std::string styles = entries.at("xl/styles.xml");
  EXPECT_NE(styles.find(
                "<dxfs count=\"1\"><dxf><font><b/></font><fill><patternFill patternType=\"solid\">"
                "<fgColor rgb=\"FFFFC7CE\"/><bgColor "
                "rgb=\"FFFFC7CE\"/></patternFill></fill></dxf></dxfs>"),
            std::string::npos)
      << styles;
}

// A file that already has a conditional format (priority 4, its own differential format) and
// a validation.
PackageSpec fileWithRules() {
  PackageSpec layout;
  layout.sheets = {
      {"Data",
       worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "",
                 "<conditionalFormatting sqref=\"A5:A8\"><cfRule type=\"cellIs\" dxfId=\"0\" "
                 "priority=\"4\" operator=\"lessThan\"><formula>0</formula></cfRule>"
                 "</conditionalFormatting><dataValidations count=\"1\"><dataValidation "
                 "type=\"whole\" sqref=\"B5\"><formula1>1</formula1><formula2>9</formula2>"
                 "</dataValidation></dataValidations>")}};
  layout.styles =
      "<styleSheet xmlns=\"" + testing::kMain +
      "\"><fonts count=\"1\"><font/></fonts><fills count=\"1\"><fill/></fills><borders count=\"1\">"
      "<border/></borders><cellXfs count=\"1\"><xf/></cellXfs><dxfs "
      "count=\"1\"><dxf><font><i/></font>"
      "</dxf></dxfs></styleSheet>";
  return layout;
}

TEST(XlsxCellRules, OpenedFileKeepsItsRulesAndRanksTheNewOnesAfterThem) {
  auto book = readXlsxWorkbook(testing::package(fileWithRules()));
  Sheet& sheet = book->sheet(0);
  sheet.addConditionalFormat(boldAbove(u"C1:C3", u"2"));
  sheet.addValidation(pickList(u"C1"));
  sheet.insertCells(parseRangeRef(u"1:2"), InsertShift::Down);

  const auto entries = saved(*book);
  const std::string xml = entries.at("xl/worksheets/sheet1.xml");
  // Both moved by the two rows, the file's first.
  EXPECT_NE(xml.find("<conditionalFormatting sqref=\"A7:A10\"><cfRule type=\"cellIs\" dxfId=\"0\" "
                     "priority=\"4\""),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<conditionalFormatting sqref=\"C3:C5\"><cfRule type=\"cellIs\" dxfId=\"1\" "
                     "priority=\"5\""),
            std::string::npos)
      << xml;
  EXPECT_LT(xml.find("sqref=\"A7:A10\""), xml.find("sqref=\"C3:C5\""));
  EXPECT_EQ(countOf(xml, "<dataValidations"), 1u) << xml;
  EXPECT_NE(xml.find("<dataValidations count=\"2\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("sqref=\"B7\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("sqref=\"C3\""), std::string::npos) << xml;
  const std::string styles = entries.at("xl/styles.xml");
  EXPECT_NE(styles.find("<dxfs count=\"2\"><dxf><font><i/></font></dxf><dxf><font><b/>"),
            std::string::npos)
      << styles;

  // Saved, opened and saved again: the written rules are now the file's and stay.
  auto again = readXlsxWorkbook(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)));
  const std::string second = saved(*again).at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(countOf(second, "<cfRule"), 2u) << second;
  EXPECT_EQ(countOf(second, "<dataValidation "), 2u) << second;
  EXPECT_EQ(saved(*again).at("xl/styles.xml"), styles);
}

TEST(XlsxCellRules, FilterAndPrintNamesAreScopedToTheirSheetAndReplaceTheFilesOwn) {
  PackageSpec layout;
  layout.sheets = {
      {"First", worksheet("")},
      {"Data sheet",
       worksheet("", "", "<autoFilter ref=\"A1:B2\"><filterColumn colId=\"0\"/></autoFilter>")}};
  layout.workbookExtra =
      "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">'Data "
      "sheet'!$A$1:$B$2"
      "</definedName><definedName name=\"_xlnm.Print_Titles\" localSheetId=\"1\">'Data sheet'!$1:$1"
      "</definedName></definedNames>";
  auto book = readXlsxWorkbook(testing::package(layout));
  Sheet& data = book->sheet(1);
  data.areas().autoFilter = parseRangeRef(u"A1:C9");
  data.areas().printArea = parseRangeRef(u"A1:F20");
  data.deleteCells(parseRangeRef(u"A:A"), DeleteShift::Left);

  const auto entries = saved(*book);
  const std::string sheetXml = entries.at("xl/worksheets/sheet2.xml");
  EXPECT_NE(sheetXml.find("<autoFilter ref=\"A1:B9\"/>"), std::string::npos) << sheetXml;
  EXPECT_EQ(sheetXml.find("filterColumn"), std::string::npos) << sheetXml;
  const std::string workbookXml = entries.at("xl/workbook.xml");
  EXPECT_EQ(countOf(workbookXml, "_xlnm.Print_Area"), 1u) << workbookXml;
  EXPECT_NE(
      workbookXml.find(
          "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">'Data sheet'!$A$1:$E$20<"),
      std::string::npos)
      << workbookXml;
  EXPECT_NE(workbookXml.find(
                "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"1\" hidden=\"1\">"
                "'Data sheet'!$A$1:$B$9<"),
            std::string::npos)
      << workbookXml;
  // Not set by the script: the file's own stays.
  EXPECT_NE(workbookXml.find("localSheetId=\"1\">'Data sheet'!$1:$1<"), std::string::npos)
      << workbookXml;

  Workbook fresh;
  fresh.sheet(0).areas().titleRows = parseRangeRef(u"1:2");
  fresh.sheet(0).areas().titleColumns = parseRangeRef(u"A:A");
  const std::string freshXml = saved(fresh).at("xl/workbook.xml");
  EXPECT_NE(
      freshXml.find("<definedNames><definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">"
                    "Sheet1!$A:$A,Sheet1!$1:$2</definedName></definedNames>"),
      std::string::npos)
      << freshXml;
}

Hyperlink linkTo(const char16_t* area, const char16_t* address, const char16_t* place) {
  Hyperlink link;
  link.area = parseRangeRef(area);
  link.address = address;
  if (*place) link.formulas = {place};
  link.tooltip = u"Go";
  return link;
}

TEST(XlsxCellRules, LinksToAddressesGetRelationshipsThatStayUniqueOverSaves) {
  Workbook book;
  book.addSheet(u"Other");
  book.sheet(0).addHyperlink(linkTo(u"A1", u"https://example.com/?a=1&b=2", u""));
  book.sheet(0).addHyperlink(linkTo(u"A2", u"", u"Other!B3"));
  auto entries = saved(book);
  const std::string xml = entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<hyperlinks><hyperlink ref=\"A1\" r:id=\"rIdLink1\" tooltip=\"Go\"/>"
                     "<hyperlink ref=\"A2\" location=\"Other!B3\" tooltip=\"Go\"/></hyperlinks>"),
            std::string::npos)
      << xml;
  EXPECT_NE(
      entries.at("xl/worksheets/_rels/sheet1.xml.rels")
          .find("Id=\"rIdLink1\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "hyperlink\" Target=\"https://example.com/?a=1&amp;b=2\" TargetMode=\"External\""),
      std::string::npos);
  EXPECT_EQ(entries.count("xl/worksheets/_rels/sheet2.xml.rels"), 0u);

  // Opened again, with the first link's cell deleted: its relationship stays in the part, so
  // the next link takes another id.
  auto again = readXlsxWorkbook(writePackage(buildWorkbookParts(book, FileFormat::Xlsx)));
  again->sheet(0).deleteCells(parseRangeRef(u"A1"), DeleteShift::Up);
  again->sheet(0).addHyperlink(linkTo(u"C1", u"mailto:team@example.com", u""));
  entries = saved(*again);
  const std::string edited = entries.at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(countOf(edited, "<hyperlinks>"), 1u) << edited;
  EXPECT_NE(edited.find("<hyperlink ref=\"A1\" location=\"Other!B3\""), std::string::npos)
      << edited;
  EXPECT_NE(edited.find("<hyperlink ref=\"C1\" r:id=\"rIdLink2\""), std::string::npos) << edited;
  const std::string relationships = entries.at("xl/worksheets/_rels/sheet1.xml.rels");
  EXPECT_EQ(countOf(relationships, "Id=\"rIdLink1\""), 1u) << relationships;
  EXPECT_NE(relationships.find(
                "Id=\"rIdLink2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/hyperlink\" Target=\"mailto:team@example.com\""),
            std::string::npos)
      << relationships;
}

TEST(XlsxCellRules, LinksShareTheSheetsRelationshipsPartWithItsNotes) {
  Workbook book;
  book.sheet(0).objects().notes[{0, 0}] = CellNote{u"Ann", u"Checked"};
  book.sheet(0).addHyperlink(linkTo(u"B1", u"https://example.com", u""));
  const std::string relationships = saved(book).at("xl/worksheets/_rels/sheet1.xml.rels");
  EXPECT_NE(relationships.find("Id=\"rId1\""), std::string::npos) << relationships;
  EXPECT_NE(relationships.find("Id=\"rIdLink1\""), std::string::npos) << relationships;
  EXPECT_EQ(countOf(relationships, "<Relationships"), 1u) << relationships;
}

TEST(XlsxCellRules, RichTextIsASharedStringOfItsOwnAndSurvivesAnEdit) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  TextRun red;
  red.text = u"Late";
  red.italic = true;
  red.color = Color{0xC0, 0, 0};
  red.size = 14;
  red.fontName = u"Arial & Co";
  TextRun plain;
  plain.text = u" <2 days>";
  sheet.setRichText(0, 0, {red, plain});
  sheet.setText(parseRangeRef(u"A2"), u"Late <2 days>");  // the same text without runs

  const std::string item =
      "<si><r><rPr><rFont val=\"Arial &amp; Co\"/><i/><color rgb=\"FFC00000\"/><sz val=\"14\"/>"
      "</rPr><t xml:space=\"preserve\">Late</t></r><r><t xml:space=\"preserve\"> &lt;2 days&gt;</t>"
      "</r></si>";
  const auto entries = saved(book);
  const std::string strings = entries.at("xl/sharedStrings.xml");
  EXPECT_NE(strings.find("uniqueCount=\"2\">" + item +
                         "<si><t xml:space=\"preserve\">Late &lt;2 days&gt;</t></si>"),
            std::string::npos)
      << strings;

  auto again = readXlsxWorkbook(writePackage(buildWorkbookParts(book, FileFormat::Xlsx)));
  again->sheet(0).setNumber(parseRangeRef(u"B1"), 1);
  EXPECT_NE(saved(*again).at("xl/sharedStrings.xml").find(item), std::string::npos);
}

}  // namespace
}  // namespace sx
