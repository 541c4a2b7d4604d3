#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

const std::string kX14 = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/main";
const std::string kXm = "http://schemas.microsoft.com/office/excel/2006/main";

// A sheet "Data" with a table over A1:C6 (a filter on its third column and a calculated column
// reading another sheet), a note and a threaded comment on B9, a threaded comment on E2, x14
// list validations on B2:B4 and D9, a pivot table at F12:G15 whose cache reads Data!A1:C6, print
// titles and a sheet-scoped name.
std::string structuresPackage() {
  testing::PackageSpec layout;
  layout.sheets = {
      {"Data", testing::worksheet(
                   "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>A</t></is></c>"
                   "<c r=\"B1\" t=\"inlineStr\"><is><t>Column1</t></is></c><c r=\"C1\" "
                   "t=\"inlineStr\"><is><t>C</t></is></c>"
                   "</row><row r=\"2\"><c r=\"A2\"><v>1</v></c></row>",
                   "",
                   "<legacyDrawing r:id=\"rId3\"/><tableParts count=\"1\"><tablePart "
                   "r:id=\"rId1\"/></tableParts>"
                   "<extLst><ext uri=\"{CCE6A557-97BC-4b89-ADB6-D9C93CAAB3DF}\" xmlns:x14=\"" +
                       kX14 +
                       "\">"
                       "<x14:dataValidations count=\"2\" xmlns:xm=\"" +
                       kXm +
                       "\">"
                       "<x14:dataValidation "
                       "type=\"list\"><x14:formula1><xm:f>Lists!$A$1:$A$3</xm:f></x14:formula1>"
                       "<xm:sqref>B2:B4</xm:sqref></x14:dataValidation>"
                       "<x14:dataValidation "
                       "type=\"list\"><x14:formula1><xm:f>Data!$A$1</xm:f></x14:formula1>"
                       "<xm:sqref>D9</xm:sqref></x14:dataValidation></x14:dataValidations></ext></"
                       "extLst>")},
      {"Lists", testing::worksheet("")},
  };
  layout.workbookExtra =
      "<definedNames><definedName name=\"_xlnm.Print_Titles\" "
      "localSheetId=\"0\">Data!$1:$1</definedName>"
      "<definedName name=\"Local\" localSheetId=\"0\">Data!$B$9</definedName></definedNames>";
  layout.extraWorkbookRelationships = {
      {"rId9", "pivotCacheDefinition|pivotCache/pivotCacheDefinition1.xml"}};
  const std::string spreadsheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  layout.extraParts = {
      {"xl/worksheets/_rels/sheet1.xml.rels", "",
       testing::relationships({{"rId1", "table|../tables/table1.xml"},
                               {"rId2", "comments|../comments1.xml"},
                               {"rId3", "vmlDrawing|../drawings/vmlDrawing1.vml"},
                               {"rId4", "threadedComment|../threadedComments/threadedComment1.xml"},
                               {"rId5", "pivotTable|../pivotTables/pivotTable1.xml"}})},
      {"xl/tables/table1.xml", spreadsheet + "table+xml",
       "<table xmlns=\"" + testing::kMain +
           "\" id=\"1\" name=\"T\" displayName=\"T\" ref=\"A1:C6\">"
           "<autoFilter ref=\"A1:C6\"><filterColumn colId=\"2\"><filters><filter "
           "val=\"x\"/></filters></filterColumn>"
           "</autoFilter><tableColumns count=\"3\"><tableColumn id=\"1\" name=\"A\"/><tableColumn "
           "id=\"2\" name=\"Column1\"/>"
           "<tableColumn id=\"4\" "
           "name=\"C\"><calculatedColumnFormula>Lists!A1+B2</calculatedColumnFormula></tableColumn>"
           "</tableColumns></table>"},
      {"xl/comments1.xml", spreadsheet + "comments+xml",
       "<comments xmlns=\"" + testing::kMain +
           "\"><authors><author>x</author></authors><commentList>"
           "<comment ref=\"B9\" "
           "authorId=\"0\"><text><t>note</t></text></comment></commentList></comments>"},
      {"xl/drawings/vmlDrawing1.vml", "application/vnd.openxmlformats-officedocument.vmlDrawing",
       "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
       "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
       "<v:shape id=\"_x0000_s1025\"><x:ClientData ObjectType=\"Note\"><x:Anchor>2, 15, 7, 10, 4, "
       "15, 11, 4</x:Anchor>"
       "<x:Row>8</x:Row><x:Column>1</x:Column></x:ClientData></v:shape></xml>"},
      {"xl/threadedComments/threadedComment1.xml", "application/vnd.ms-excel.threadedcomments+xml",
       "<ThreadedComments "
       "xmlns=\"http://schemas.microsoft.com/office/spreadsheetml/2018/threadedcomments\">"
       "<threadedComment ref=\"B9\" id=\"{1}\"/><threadedComment ref=\"B9\" id=\"{2}\" "
       "parentId=\"{1}\"/>"
       "<threadedComment ref=\"E2\" id=\"{3}\"/></ThreadedComments>"},
      {"xl/pivotTables/pivotTable1.xml", spreadsheet + "pivotTable+xml",
       "<pivotTableDefinition xmlns=\"" + testing::kMain +
           "\" name=\"P\" cacheId=\"1\">"
           "<location ref=\"F12:G15\" firstHeaderRow=\"1\" firstDataRow=\"1\" "
           "firstDataCol=\"1\"/></pivotTableDefinition>"},
      {"xl/pivotCache/pivotCacheDefinition1.xml", spreadsheet + "pivotCacheDefinition+xml",
       "<pivotCacheDefinition xmlns=\"" + testing::kMain +
           "\"><cacheSource type=\"worksheet\">"
           "<worksheetSource ref=\"A1:C6\" sheet=\"Data\"/></cacheSource></pivotCacheDefinition>"},
  };
  return testing::package(layout);
}

// Every value of an attribute (or, with an empty attribute name, every text) on the elements
// with this local name, in document order.
std::vector<std::string> valuesOf(const std::string& xml, std::string_view element,
                                  const char* attribute = "") {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
  std::vector<std::string> values;
  auto visit = [&](auto& self, pugi::xml_node node) -> void {
    for (pugi::xml_node child : node.children()) {
      const std::string_view name = child.name();
      const std::string_view local =
          name.substr(name.find(':') == std::string_view::npos ? 0 : name.find(':') + 1);
      if (child.type() == pugi::node_element && local == element) {
        values.push_back(*attribute ? child.attribute(attribute).value() : child.text().get());
      }
      self(self, child);
    }
  };
  visit(visit, document);
  return values;
}

using Values = std::vector<std::string>;

std::map<std::string, std::string> savedParts(const Workbook& book) {
  return testing::unpackZip(writePackage(buildWorkbookParts(book, FileFormat::Xlsx))).entries;
}

TEST(KeptStructures, AnInsertedColumnMovesEverythingThatNamesCellsAfterIt) {
  auto book = readXlsxWorkbook(structuresPackage());
  book->sheet(0).insertCells(parseRangeRef(u"B:B"), InsertShift::Right);
  EXPECT_EQ(book->sheet(0).value(0, 1).text, u"Column2")
      << "the new header cell holds the new column's name";
  const auto parts = savedParts(*book);
  const std::string& table = parts.at("xl/tables/table1.xml");
  EXPECT_EQ(valuesOf(table, "table", "ref"), Values{"A1:D6"});
  EXPECT_EQ(valuesOf(table, "autoFilter", "ref"), Values{"A1:D6"});
  EXPECT_EQ(valuesOf(table, "tableColumn", "name"), (Values{"A", "Column2", "Column1", "C"}))
      << "a column inserted inside the table gets a name no column has";
  // A header the script wrote since names the column.
  book->sheet(0).setText(parseRangeRef(u"B1"), u"Added");
  EXPECT_EQ(valuesOf(savedParts(*book).at("xl/tables/table1.xml"), "tableColumn", "name"),
            (Values{"A", "Added", "Column1", "C"}));
  EXPECT_EQ(valuesOf(table, "tableColumn", "id"), (Values{"1", "5", "2", "4"}));
  EXPECT_EQ(valuesOf(table, "tableColumns", "count"), Values{"4"});
  EXPECT_EQ(valuesOf(table, "filterColumn", "colId"), Values{"3"});
  EXPECT_EQ(valuesOf(table, "calculatedColumnFormula"), Values{"Lists!A1+C2"});
  EXPECT_EQ(valuesOf(parts.at("xl/comments1.xml"), "comment", "ref"), Values{"C9"});
  const std::string& vml = parts.at("xl/drawings/vmlDrawing1.vml");
  EXPECT_EQ(valuesOf(vml, "Column"), Values{"2"});
  EXPECT_EQ(valuesOf(vml, "Row"), Values{"8"});
  EXPECT_EQ(valuesOf(vml, "Anchor"), Values{"3, 15, 7, 10, 5, 15, 11, 4"});
  EXPECT_EQ(
      valuesOf(parts.at("xl/threadedComments/threadedComment1.xml"), "threadedComment", "ref"),
      (Values{"C9", "C9", "F2"}));
  EXPECT_EQ(valuesOf(parts.at("xl/pivotTables/pivotTable1.xml"), "location", "ref"),
            Values{"G12:H15"});
  EXPECT_EQ(valuesOf(parts.at("xl/pivotCache/pivotCacheDefinition1.xml"), "worksheetSource", "ref"),
            Values{"A1:D6"});
  const std::string& sheet = parts.at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(valuesOf(sheet, "sqref"), (Values{"C2:C4", "E9"}));
  EXPECT_EQ(valuesOf(sheet, "f"), (Values{"Lists!$A$1:$A$3", "Data!$A$1"}));
  EXPECT_EQ(valuesOf(parts.at("xl/workbook.xml"), "definedName"),
            (Values{"Data!$1:$1", "Data!$C$9"}));
}

TEST(KeptStructures, ADeletedRowTakesItsNotesAndValidationsAndARenameIsFollowed) {
  auto book = readXlsxWorkbook(structuresPackage());
  book->sheet(0).deleteCells(parseRangeRef(u"9:9"), DeleteShift::Up);
  book->renameSheet(book->sheet(0), u"New Data");
  const auto parts = savedParts(*book);
  EXPECT_EQ(valuesOf(parts.at("xl/comments1.xml"), "comment", "ref"), Values{});
  EXPECT_EQ(valuesOf(parts.at("xl/drawings/vmlDrawing1.vml"), "shape", "id"), Values{})
      << "its note box goes too";
  EXPECT_EQ(
      valuesOf(parts.at("xl/threadedComments/threadedComment1.xml"), "threadedComment", "ref"),
      Values{"E2"})
      << "a thread goes with its replies";
  EXPECT_EQ(valuesOf(parts.at("xl/pivotTables/pivotTable1.xml"), "location", "ref"),
            Values{"F11:G14"});
  const std::string& cache = parts.at("xl/pivotCache/pivotCacheDefinition1.xml");
  EXPECT_EQ(valuesOf(cache, "worksheetSource", "ref"), Values{"A1:C6"});
  EXPECT_EQ(valuesOf(cache, "worksheetSource", "sheet"), Values{"New Data"});
  const std::string& sheet = parts.at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(valuesOf(sheet, "sqref"), Values{"B2:B4"});
  EXPECT_EQ(valuesOf(sheet, "dataValidations", "count"), Values{"1"});
  EXPECT_EQ(valuesOf(parts.at("xl/workbook.xml"), "definedName"),
            (Values{"'New Data'!$1:$1", "#REF!"}));
  EXPECT_EQ(valuesOf(parts.at("xl/tables/table1.xml"), "table", "ref"), Values{"A1:C6"});
}

TEST(KeptStructures, DeletingTheTablesColumnsTakesTheirFilters) {
  auto book = readXlsxWorkbook(structuresPackage());
  book->sheet(0).deleteCells(parseRangeRef(u"C:C"), DeleteShift::Left);
  const std::string table = savedParts(*book).at("xl/tables/table1.xml");
  EXPECT_EQ(valuesOf(table, "table", "ref"), Values{"A1:B6"});
  EXPECT_EQ(valuesOf(table, "tableColumn", "name"), (Values{"A", "Column1"}));
  EXPECT_EQ(valuesOf(table, "filterColumn", "colId"), Values{});
}

TEST(KeptStructures, TheWholeTableDeletedTakesItsPartAndItsReferences) {
  auto book = readXlsxWorkbook(structuresPackage());
  book->sheet(0).deleteCells(parseRangeRef(u"A:C"), DeleteShift::Left);
  const auto parts = savedParts(*book);
  EXPECT_EQ(parts.count("xl/tables/table1.xml"), 0u);
  EXPECT_EQ(parts.at("[Content_Types].xml").find("table1.xml"), std::string::npos);
  EXPECT_EQ(valuesOf(parts.at("xl/worksheets/_rels/sheet1.xml.rels"), "Relationship", "Id"),
            (Values{"rId2", "rId3", "rId4", "rId5"}));
  EXPECT_EQ(valuesOf(parts.at("xl/worksheets/sheet1.xml"), "tableParts"), Values{});
}

TEST(KeptStructures, ARefusedShiftChangesNothing) {
  auto book = readXlsxWorkbook(structuresPackage());
  Sheet& sheet = book->sheet(0);
  sheet.setNumber(parseRangeRef(u"A3"), 7);
  EXPECT_THROW(sheet.deleteCells(parseRangeRef(u"A1:B1"), DeleteShift::Up), std::runtime_error);
  EXPECT_THROW(sheet.insertCells(parseRangeRef(u"B2:B3"), InsertShift::Right), std::runtime_error);
  EXPECT_EQ(sheet.value(2, 0).number, 7);
  EXPECT_TRUE(book->shifts().empty());
  // The table moved down by an insert above it is checked where it is now.
  sheet.insertCells(parseRangeRef(u"1:2"), InsertShift::Down);
  EXPECT_NO_THROW(sheet.deleteCells(parseRangeRef(u"1:1"), DeleteShift::Up));
  EXPECT_THROW(sheet.deleteCells(parseRangeRef(u"2:2"), DeleteShift::Up), std::runtime_error);
  // The pivot table, now at F13:G16, only moves or goes whole.
  EXPECT_THROW(sheet.deleteCells(parseRangeRef(u"14:14"), DeleteShift::Up), std::runtime_error);
  EXPECT_THROW(sheet.insertCells(parseRangeRef(u"14:14"), InsertShift::Down), std::runtime_error);
  EXPECT_NO_THROW(sheet.deleteCells(parseRangeRef(u"13:16"), DeleteShift::Up));
  const auto parts = savedParts(*book);
  EXPECT_EQ(parts.count("xl/pivotTables/pivotTable1.xml"), 0u);
  EXPECT_EQ(valuesOf(parts.at("xl/worksheets/_rels/sheet1.xml.rels"), "Relationship", "Id"),
            (Values{"rId1", "rId2", "rId3", "rId4"}));
  EXPECT_EQ(parts.count("xl/pivotCache/pivotCacheDefinition1.xml"), 1u)
      << "the cache stays with its records";
}

TEST(KeptStructures, PartsThatAreNotXmlStayAsTheFileHadThem) {
  testing::PackageSpec layout;
  layout.sheets = {
      {"Data",
       testing::worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "",
                          "<tableParts count=\"1\"><tablePart r:id=\"rId1\"/></tableParts>")}};
  const std::string broken = "<table ref=\"A1:B4\"><unclosed></table>";
  layout.extraParts = {
      {"xl/worksheets/_rels/sheet1.xml.rels", "",
       testing::relationships({{"rId1", "table|../tables/table1.xml"}})},
      {"xl/tables/table1.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.table+xml", broken}};
  auto book = readXlsxWorkbook(testing::package(layout));
  book->sheet(0).insertCells(parseRangeRef(u"1:1"), InsertShift::Down);
  EXPECT_EQ(savedParts(*book).at("xl/tables/table1.xml"), broken);
}

// A conditional format over B2:B4 and D2:D3 and validations over C2:C4 and E2:E5, each with a
// formula relative to its first cell.
std::string formatsPackage() {
  testing::PackageSpec layout;
  layout.sheets = {
      {"Data",
       testing::worksheet(
           "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "",
           "<conditionalFormatting sqref=\"B2:B4 D2:D3\"><cfRule type=\"expression\" dxfId=\"0\" "
           "priority=\"1\">"
           "<formula>B2&gt;A2</formula></cfRule></conditionalFormatting>"
           "<dataValidations count=\"2\"><dataValidation type=\"whole\" operator=\"greaterThan\" "
           "sqref=\"C2:C4\">"
           "<formula1>0</formula1></dataValidation><dataValidation type=\"custom\" sqref=\"E2:E5\">"
           "<formula1>E2&gt;$A$1</formula1></dataValidation></dataValidations>")},
      {"Other", testing::worksheet("")},
  };
  return testing::package(layout);
}

struct Formats {
  Values conditionalAreas, conditionalFormulas, validationAreas, validationFormulas;
};

Formats formatsOf(const Workbook& book) {
  const std::string sheet = savedParts(book).at("xl/worksheets/sheet1.xml");
  return {valuesOf(sheet, "conditionalFormatting", "sqref"), valuesOf(sheet, "formula"),
          valuesOf(sheet, "dataValidation", "sqref"), valuesOf(sheet, "formula1")};
}

TEST(KeptStructures, PastedCellsTakeTheSourcesFormatsAndValidation) {
  auto book = readXlsxWorkbook(formatsPackage());
  Sheet& sheet = book->sheet(0);
  sheet.copyTo(parseRangeRef(u"B3:C4"), sheet, parseRangeRef(u"G10"));
  const Formats formats = formatsOf(*book);
  EXPECT_EQ(formats.conditionalAreas, Values{"B2:B4 D2:D3 G10:G11"});
  EXPECT_EQ(formats.conditionalFormulas, Values{"B2>A2"})
      << "the rule stays written for its first cell";
  EXPECT_EQ(formats.validationAreas, (Values{"C2:C4 H10:H11", "E2:E5"}));
}

TEST(KeptStructures, PastingOverFormattedCellsTakesThemOutOfTheirFormats) {
  auto book = readXlsxWorkbook(formatsPackage());
  Sheet& sheet = book->sheet(0);
  // A1 has no format or validation: E2 and B2 lose theirs, and the rules are written anew for
  // the first cell left.
  sheet.copyTo(parseRangeRef(u"A1"), sheet, parseRangeRef(u"E2"));
  sheet.copyTo(parseRangeRef(u"A1"), sheet, parseRangeRef(u"B2"));
  Formats formats = formatsOf(*book);
  EXPECT_EQ(formats.conditionalAreas, Values{"B3:B4 D2:D3"});
  EXPECT_EQ(formats.conditionalFormulas, Values{"B3>A3"});
  EXPECT_EQ(formats.validationAreas, (Values{"C2:C4", "E3:E5"}));
  EXPECT_EQ(formats.validationFormulas, (Values{"0", "E3>$A$1"}));
  // Pasting a validated cell over the other validation moves the cell from one to the other.
  sheet.copyTo(parseRangeRef(u"C2"), sheet, parseRangeRef(u"E4"));
  formats = formatsOf(*book);
  EXPECT_EQ(formats.validationAreas, (Values{"C2:C4 E4", "E3 E5"}));
}

TEST(KeptStructures, CopiesAndShiftsReplayInTheOrderMade) {
  auto book = readXlsxWorkbook(formatsPackage());
  Sheet& sheet = book->sheet(0);
  sheet.insertCells(parseRangeRef(u"1:1"), InsertShift::Down);  // B2:B4 is now B3:B5
  sheet.copyTo(parseRangeRef(u"B3"), sheet, parseRangeRef(u"F3"));
  sheet.deleteCells(parseRangeRef(u"A:A"), DeleteShift::Left);
  const Formats formats = formatsOf(*book);
  EXPECT_EQ(formats.conditionalAreas, Values{"A3:A5 C3:C4 E3"});
  EXPECT_EQ(formats.conditionalFormulas, Values{"A3>#REF!"});
  // A copy after the areas were all deleted brings nothing back.
  auto emptied = readXlsxWorkbook(formatsPackage());
  emptied->sheet(0).deleteCells(parseRangeRef(u"B:E"), DeleteShift::Left);
  emptied->sheet(0).copyTo(parseRangeRef(u"A1"), emptied->sheet(0), parseRangeRef(u"C3"));
  EXPECT_EQ(formatsOf(*emptied).conditionalAreas, Values{});
  EXPECT_EQ(formatsOf(*emptied).validationAreas, Values{});
  // A copy to another sheet leaves this one's formats as they were.
  auto other = readXlsxWorkbook(formatsPackage());
  other->sheet(0).copyTo(parseRangeRef(u"B2:B4"), other->sheet(1), parseRangeRef(u"B2"));
  EXPECT_EQ(formatsOf(*other).conditionalAreas, Values{"B2:B4 D2:D3"});
}

}  // namespace
}  // namespace sx
