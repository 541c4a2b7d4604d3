#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

using testing::PackageSpec;
using testing::worksheet;

// A package with the parts other programs add: a drawing with an image, a comment, a table, a
// VBA project, custom XML and a stale calculation chain, referenced from the first sheet.
PackageSpec richPackage() {
  PackageSpec layout;
  layout.sheets = {
      {"Main",
       worksheet(
           "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1+1</f><v>2</v></c></row>",
           "<sheetPr><tabColor rgb=\"FF00FF00\"/></sheetPr><dimension ref=\"A1:B1\"/>",
           "<sheetProtection sheet=\"1\"/><autoFilter ref=\"A1:B1\"/>"
           "<conditionalFormatting sqref=\"A1\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
           "operator=\"greaterThan\"><formula>0</formula></cfRule></conditionalFormatting>"
           "<dataValidations count=\"1\"><dataValidation type=\"list\" "
           "sqref=\"C1\"><formula1>\"a,b\"</formula1>"
           "</dataValidation></dataValidations><hyperlinks><hyperlink ref=\"A1\" "
           "r:id=\"rId9\"/></hyperlinks>"
           "<pageMargins left=\"1\" right=\"1\" top=\"1\" bottom=\"1\" header=\"0\" footer=\"0\"/>"
           "<pageSetup orientation=\"landscape\"/><drawing r:id=\"rId1\"/><legacyDrawing "
           "r:id=\"rId2\"/>"
           "<tableParts count=\"1\"><tablePart r:id=\"rId3\"/></tableParts>"
           "<extLst><ext uri=\"{X}\"><kept/></ext></extLst>")},
  };
  layout.extraParts = {
      {"xl/worksheets/_rels/sheet1.xml.rels", "",
       testing::relationships({{"rId1", "drawing|../drawings/drawing1.xml"},
                               {"rId2", "vmlDrawing|../drawings/vmlDrawing1.vml"},
                               {"rId3", "table|../tables/table1.xml"}})},
      {"xl/drawings/drawing1.xml", "application/vnd.openxmlformats-officedocument.drawing+xml",
       "<xdr:wsDr xmlns:xdr=\"d\"/>"},
      {"xl/drawings/_rels/drawing1.xml.rels", "",
       testing::relationships({{"rId1", "image|../media/image1.png"}})},
      {"xl/media/image1.png", "image/png", std::string("\x89PNG\r\n\x1a\n", 8) + "pixels"},
      {"xl/drawings/vmlDrawing1.vml", "application/vnd.openxmlformats-officedocument.vmlDrawing",
       "<xml/>"},
      {"xl/tables/table1.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.table+xml", "<table/>"},
      {"xl/vbaProject.bin", "application/vnd.ms-office.vbaProject",
       std::string("\xd0\xcf\x11\xe0", 4)},
      {"customXml/item1.xml", "", "<data>kept</data>"},
      {"xl/calcChain.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml",
       "<calcChain xmlns=\"" + testing::kMain + "\"><c r=\"B1\" i=\"1\"/></calcChain>"},
  };
  layout.extraWorkbookRelationships = {{"rId2", "vbaProject|vbaProject.bin"},
                                       {"rId7", "calcChain|calcChain.xml"}};
  return layout;
}

std::string save(const Workbook& workbook, FileFormat format) {
  return writePackage(buildWorkbookParts(workbook, format));
}

// The local names of the worksheet's children, in order.
std::vector<std::string> childOrder(const std::string& xml) {
  std::vector<std::string> names;
  size_t at = xml.find("<worksheet");
  size_t depth = 0;
  for (at = xml.find('<', at + 1); at != std::string::npos; at = xml.find('<', at + 1)) {
    const size_t end = xml.find('>', at);
    if (xml[at + 1] == '/') {
      if (depth-- == 0) break;
      continue;
    }
    if (depth == 0) names.push_back(xml.substr(at + 1, xml.find_first_of(" />", at + 1) - at - 1));
    if (xml[end - 1] != '/') ++depth;
  }
  return names;
}

TEST(XlsxPreservation, EveryOtherPartSurvivesAnEditWithItsContentType) {
  const std::string input = testing::package(richPackage());
  auto book = readXlsxWorkbook(input);
  book->sheet(0).setNumber(parseRangeRef(u"A1"), 5);
  book->addSheet(u"Added").setText(parseRangeRef(u"A1"), u"new");
  const auto before = testing::unpackZip(input);
  const auto after = testing::unpackZip(save(*book, FileFormat::Xlsm));
  for (const auto& [name, data] : before.entries) {
    if (name == "xl/calcChain.xml") {
      EXPECT_FALSE(after.entries.contains(name)) << "a stale calculation chain is dropped";
      continue;
    }
    ASSERT_TRUE(after.entries.contains(name)) << name;
    if (name.starts_with("xl/worksheets/sheet") || name == "xl/workbook.xml" ||
        name == "[Content_Types].xml" || name == "xl/_rels/workbook.xml.rels") {
      continue;
    }
    EXPECT_EQ(after.entries.at(name), data) << name;
  }
  const std::string& types = after.entries.at("[Content_Types].xml");
  for (const char* type :
       {"PartName=\"/xl/media/image1.png\" ContentType=\"image/png\"",
        "PartName=\"/xl/vbaProject.bin\" ContentType=\"application/vnd.ms-office.vbaProject\"",
        "PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.ms-excel.sheet.macroEnabled.main+xml\"",
        "PartName=\"/xl/worksheets/sheet2.xml\""}) {
    EXPECT_NE(types.find(type), std::string::npos) << type << " in " << types;
  }
  EXPECT_EQ(types.find("calcChain"), std::string::npos);
  const std::string& rels = after.entries.at("xl/_rels/workbook.xml.rels");
  EXPECT_NE(rels.find("Target=\"vbaProject.bin\""), std::string::npos);
  EXPECT_EQ(rels.find("calcChain"), std::string::npos);
  // The new sheet's relationship id collides with none the package had (rId2 is the VBA project).
  const std::string& workbook = after.entries.at("xl/workbook.xml");
  EXPECT_NE(workbook.find("<sheet name=\"Added\" sheetId=\"2\" r:id=\"rId3\"/>"), std::string::npos)
      << workbook;
  EXPECT_NE(rels.find("Id=\"rId3\" Type=\"" + testing::kRel +
                      "/worksheet\" Target=\"worksheets/sheet2.xml\""),
            std::string::npos)
      << rels;
}

TEST(XlsxPreservation, SavedWithoutMacrosTheVbaProjectIsLeftOut) {
  const auto book = readXlsxWorkbook(testing::package(richPackage()));
  for (FileFormat format : {FileFormat::Xlsx, FileFormat::Xltx}) {
    const auto zip = testing::unpackZip(save(*book, format));
    EXPECT_FALSE(zip.entries.contains("xl/vbaProject.bin"));
    EXPECT_EQ(zip.entries.at("xl/_rels/workbook.xml.rels").find("vbaProject"), std::string::npos);
    EXPECT_EQ(zip.entries.at("[Content_Types].xml").find("vbaProject"), std::string::npos);
    EXPECT_TRUE(zip.entries.contains("customXml/item1.xml"));
  }
  EXPECT_TRUE(
      testing::unpackZip(save(*book, FileFormat::Xlsm)).entries.contains("xl/vbaProject.bin"));
}

TEST(XlsxPreservation, WorksheetElementsStayInSchemaOrderAroundTheModelsOwn) {
  auto book = readXlsxWorkbook(testing::package(richPackage()));
  Sheet& sheet = book->sheet(0);
  sheet.merge(parseRangeRef(u"D4:E5"), false);
  sheet.setColumnWidth(parseRangeRef(u"B:B"), 20);
  sheet.setFreezePanes({1, 0});
  const std::string xml =
      testing::unpackZip(save(*book, FileFormat::Xlsx)).entries.at("xl/worksheets/sheet1.xml");
  const std::vector<std::string> expected = {
      "sheetPr",         "dimension",       "sheetViews",  "sheetFormatPr", "cols",
      "sheetData",       "sheetProtection", "autoFilter",  "mergeCells",    "conditionalFormatting",
      "dataValidations", "hyperlinks",      "pageMargins", "pageSetup",     "drawing",
      "legacyDrawing",   "tableParts",      "extLst"};
  EXPECT_EQ(childOrder(xml), expected) << xml;
  EXPECT_NE(xml.find("<c r=\"A1\"><v>1</v></c>"), std::string::npos);
  EXPECT_NE(xml.find("<pageMargins left=\"1\""), std::string::npos)
      << "the file's margins win over defaults";
  EXPECT_NE(xml.find("<ext uri=\"{X}\"><kept/></ext>"), std::string::npos);
  EXPECT_NE(xml.find("state=\"frozen\""), std::string::npos);
}

TEST(XlsxPreservation, NewSheetsGetPartNamesNoPartUses) {
  // The first sheet lives in sheet2.xml, and a stray sheet1.xml part is referenced by nothing.
  PackageSpec layout;
  layout.sheets = {{"Only", worksheet("")}};
  std::vector<PackagePart> parts = testing::packageParts(layout);
  for (PackagePart& part : parts) {
    if (part.name == "xl/worksheets/sheet1.xml") part.name = "xl/worksheets/sheet2.xml";
    if (part.name == "xl/_rels/workbook.xml.rels") {
      part.data = testing::relationships({{"rId1", "worksheet|worksheets/sheet2.xml"}});
    }
  }
  parts.push_back({"xl/worksheets/sheet1.xml", testing::kSheetType, worksheet("")});
  auto book = readXlsxWorkbook(writePackage(parts));
  book->addSheet(u"One");
  book->addSheet(u"Two");
  book->renameSheet(book->sheet(0), u"Renamed");
  const auto zip = testing::unpackZip(save(*book, FileFormat::Xlsx));
  EXPECT_TRUE(zip.entries.contains("xl/worksheets/sheet1.xml"));
  EXPECT_TRUE(zip.entries.contains("xl/worksheets/sheet3.xml"));
  EXPECT_TRUE(zip.entries.contains("xl/worksheets/sheet4.xml"));
  const std::string& workbook = zip.entries.at("xl/workbook.xml");
  EXPECT_NE(workbook.find("<sheet name=\"Renamed\" sheetId=\"1\" r:id=\"rId1\"/>"),
            std::string::npos)
      << workbook;
  EXPECT_NE(workbook.find("<sheet name=\"One\" sheetId=\"2\" r:id=\"rId2\"/>"), std::string::npos)
      << workbook;
  EXPECT_NE(workbook.find("<sheet name=\"Two\" sheetId=\"3\" r:id=\"rId3\"/>"), std::string::npos)
      << workbook;
}

// Chart and macro sheets keep their places among the worksheets, and what points at sheet
// positions (the active tab, sheet-scoped names) follows. A macro sheet is carried through
// unchanged, so the shared strings it indexes must keep their indexes.
TEST(XlsxPreservation, ChartAndMacroSheetsKeepTheirPlaceAndTheirStrings) {
  PackageSpec layout;
  layout.sharedStrings = "<si><t>first</t></si><si><t>macro text</t></si><si><t>first</t></si>";
  layout.sheets = {{"A", worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")},
                   {"B", worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>2</v></c></row>")}};
  layout.bookViews = "<bookViews><workbookView activeTab=\"3\"/></bookViews>";
  layout.workbookExtra =
      "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"3\">B!$A$1</definedName>"
      "<definedName name=\"Local\" localSheetId=\"2\">M!$A$1</definedName></definedNames>";
  layout.extraWorkbookRelationships = {
      {"rId8", "chartsheet|chartsheets/sheet1.xml"},
      {"rId9",
       "http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet|"
       "macrosheets/sheet1.xml"}};
  const std::string macroSheet = worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>");
  layout.extraParts = {
      {"xl/chartsheets/sheet1.xml",
       "application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml",
       "<chartsheet xmlns=\"" + testing::kMain + "\"/>"},
      {"xl/macrosheets/sheet1.xml", "application/vnd.ms-excel.macrosheet+xml", macroSheet}};
  std::vector<PackagePart> parts = testing::packageParts(layout);
  for (PackagePart& part : parts) {
    if (part.name != "xl/workbook.xml") continue;
    const size_t second = part.data.find("<sheet name=\"B\"");
    part.data.insert(second,
                     "<sheet name=\"C\" sheetId=\"5\" r:id=\"rId8\"/><sheet name=\"M\" "
                     "sheetId=\"6\" r:id=\"rId9\"/>");
  }
  // The fixture's relationship helper prefixes the document namespace; the macro sheet's type is
  // Microsoft's own.
  for (PackagePart& part : parts) {
    if (part.name != "xl/_rels/workbook.xml.rels") continue;
    const std::string wrong = testing::kRel + "/http://";
    part.data.replace(part.data.find(wrong), wrong.size(), "http://");
  }
  auto book = readXlsxWorkbook(writePackage(parts));
  ASSERT_EQ(book->sheetCount(), 2u);
  EXPECT_EQ(book->activeSheet().name(), u"B");
  book->sheet(0).setText(parseRangeRef(u"A1"), u"changed");
  const auto zip = testing::unpackZip(save(*book, FileFormat::Xlsm));
  const std::string& workbook = zip.entries.at("xl/workbook.xml");
  const size_t a = workbook.find("name=\"A\""), c = workbook.find("name=\"C\""),
               m = workbook.find("name=\"M\""), b = workbook.find("name=\"B\"");
  EXPECT_TRUE(a < c && c < m && m < b && b != std::string::npos) << workbook;
  EXPECT_NE(workbook.find("activeTab=\"3\""), std::string::npos) << workbook;
  EXPECT_NE(workbook.find("localSheetId=\"3\">B!$A$1"), std::string::npos) << workbook;
  EXPECT_NE(workbook.find("localSheetId=\"2\">M!$A$1"), std::string::npos) << workbook;
  EXPECT_EQ(zip.entries.at("xl/macrosheets/sheet1.xml"), macroSheet);
  // Index 1 is still the macro sheet's text, and the duplicate at 2 still reads "first".
  const std::string& strings = zip.entries.at("xl/sharedStrings.xml");
  EXPECT_NE(strings.find("<si><t xml:space=\"preserve\">first</t></si><si><t "
                         "xml:space=\"preserve\">macro text</t></si>"
                         "<si><t xml:space=\"preserve\">first</t></si><si><t "
                         "xml:space=\"preserve\">changed</t></si>"),
            std::string::npos)
      << strings;
  const auto again = readXlsxWorkbook(save(*book, FileFormat::Xlsm));
  EXPECT_EQ(again->sheet(1).value(0, 0), CellValue::fromText(u"first"));
}

// A Strict workbook declares the relationships namespace under its own URI: the saved workbook
// part uses that declaration instead of declaring the prefix a second time.
TEST(XlsxPreservation, StrictWorkbookPartStaysWellFormed) {
  PackageSpec layout;
  layout.sheets = {{"S", worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")}};
  std::vector<PackagePart> parts = testing::packageParts(layout);
  for (PackagePart& part : parts) {
    if (part.name != "xl/workbook.xml") continue;
    for (const auto& [from, to] :
         {std::pair{testing::kRel,
                    std::string("http://purl.oclc.org/ooxml/officeDocument/relationships")},
          std::pair{testing::kMain,
                    std::string("http://purl.oclc.org/ooxml/spreadsheetml/main")}}) {
      part.data.replace(part.data.find(from), from.size(), to);
    }
  }
  auto book = readXlsxWorkbook(writePackage(parts));
  book->addSheet(u"Added");
  const std::string workbook =
      testing::unpackZip(save(*book, FileFormat::Xlsx)).entries.at("xl/workbook.xml");
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(workbook.c_str())) << workbook;
  EXPECT_EQ(workbook.find("xmlns:r="), workbook.rfind("xmlns:r=")) << workbook;
  EXPECT_NE(workbook.find("<sheet name=\"Added\" sheetId=\"2\" r:id=\""), std::string::npos)
      << workbook;
  EXPECT_EQ(readXlsxWorkbook(save(*book, FileFormat::Xlsx))->sheetCount(), 2u);
}

}  // namespace
}  // namespace sx
