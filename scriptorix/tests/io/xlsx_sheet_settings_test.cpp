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

std::string textOf(const std::map<std::string, std::string>& entries, const std::string& name) {
  return entries.at(name);
}

TEST(XlsxSheetSettings, WrittenAndReadBack) {
  Workbook book;
  Sheet& shown = book.sheet(0);
  Sheet& hidden = book.addSheet(u"Hidden");
  Sheet& secret = book.addSheet(u"Secret");
  book.setActiveSheet(shown);
  book.setSheetVisibility(hidden, SheetVisibility::Hidden);
  book.setSheetVisibility(secret, SheetVisibility::VeryHidden);
  shown.settings().tabColor = Color{0x12, 0xAB, 0x00};
  SheetProtection protection;
  protection.on = true;
  protection.passwordHash = legacyPasswordHash(u"secret");
  protection.allow(SheetPermission::FormatColumns, true);
  protection.allow(SheetPermission::SelectUnlockedCells, false);
  shown.settings().protection = protection;
  book.setCalculationMode(CalculationMode::Manual);

  const auto entries = saved(book);
  const std::string workbookXml = textOf(entries, "xl/workbook.xml");
  EXPECT_NE(
      workbookXml.find("<sheet name=\"Hidden\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/>"),
      std::string::npos);
  EXPECT_NE(workbookXml.find("state=\"veryHidden\""), std::string::npos);
  EXPECT_NE(workbookXml.find("calcMode=\"manual\""), std::string::npos);
  const std::string sheetXml = textOf(entries, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheetXml.find("<sheetPr><tabColor rgb=\"FF12AB00\"/></sheetPr><dimension"),
            std::string::npos)
      << sheetXml;
  EXPECT_NE(
      sheetXml.find(
          "</sheetData><sheetProtection password=\"DAA7\" sheet=\"1\" selectUnlockedCells=\"1\" "
          "formatColumns=\"0\" objects=\"1\" scenarios=\"1\"/><pageMargins"),
      std::string::npos)
      << sheetXml;
  EXPECT_EQ(textOf(entries, "xl/worksheets/sheet2.xml").find("sheetProtection"), std::string::npos);

  const auto back = readXlsxWorkbook(writePackage(buildWorkbookParts(book, FileFormat::Xlsx)));
  EXPECT_EQ(back->sheet(0).settings(), shown.settings());
  EXPECT_EQ(back->sheet(1).settings().visibility, SheetVisibility::Hidden);
  EXPECT_EQ(back->sheet(2).settings().visibility, SheetVisibility::VeryHidden);
  EXPECT_EQ(back->calculationMode(), CalculationMode::Manual);
  // Saved again unchanged, the same bytes.
  EXPECT_EQ(saved(*back).at("xl/worksheets/sheet1.xml"), sheetXml);
}

PackageSpec settingsPackage() {
  PackageSpec layout;
  layout.sheets = {
      {"Main",
       worksheet(
           "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>",
           "<sheetPr codeName=\"Main\"><tabColor theme=\"4\"/><pageSetUpPr "
           "fitToPage=\"1\"/></sheetPr>",
           "<sheetProtection algorithmName=\"SHA-512\" hashValue=\"abc=\" saltValue=\"c2FsdA==\" "
           "spinCount=\"100000\" sheet=\"1\" formatCells=\"0\"/>")},
      {"Back", worksheet("")},
  };
  layout.workbookExtra = "<calcPr calcId=\"1\" calcMode=\"autoNoTable\"/>";
  return layout;
}

std::string withHiddenBack() {
  std::vector<PackagePart> parts = testing::packageParts(settingsPackage());
  for (PackagePart& part : parts) {
    if (part.name != "xl/workbook.xml") continue;
    const size_t at = part.data.find("<sheet name=\"Back\"");
    part.data.insert(at + 6, " state=\"hidden\"");
  }
  return writePackage(parts);
}

TEST(XlsxSheetSettings, AnEditKeepsWhatTheModelCannotMake) {
  auto book = readXlsxWorkbook(withHiddenBack());
  EXPECT_EQ(book->sheet(1).settings().visibility, SheetVisibility::Hidden);
  EXPECT_EQ(book->calculationMode(), CalculationMode::AutoNoTable);
  EXPECT_TRUE(book->sheet(0).settings().protection.on);
  EXPECT_TRUE(book->sheet(0).settings().protection.allows(SheetPermission::FormatCells));
  book->sheet(0).setNumber(parseRangeRef(u"A1"), 2);

  auto entries = saved(*book);
  std::string sheetXml = textOf(entries, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheetXml.find("<sheetPr codeName=\"Main\"><tabColor theme=\"4\"/><pageSetUpPr "
                          "fitToPage=\"1\"/></sheetPr>"),
            std::string::npos)
      << "an unchanged theme tab colour stays: " << sheetXml;
  EXPECT_NE(sheetXml.find("hashValue=\"abc=\""), std::string::npos)
      << "unchanged protection keeps its hash";
  EXPECT_EQ(sheetXml.find("<sheetProtection", sheetXml.find("<sheetProtection") + 1),
            std::string::npos);
  const std::string workbookXml = textOf(entries, "xl/workbook.xml");
  EXPECT_NE(workbookXml.find("<sheet name=\"Back\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/>"),
            std::string::npos)
      << workbookXml;
  EXPECT_NE(workbookXml.find("calcMode=\"autoNoTable\""), std::string::npos);

  // Changed: the tab colour replaces the file's one only, protection is the model's, the
  // sheet is shown again and calculation is automatic.
  book->sheet(0).settings().tabColor = Color{255, 0, 0};
  book->sheet(0).settings().protection = SheetProtection{};
  book->setSheetVisibility(book->sheet(1), SheetVisibility::Visible);
  book->setCalculationMode(CalculationMode::Auto);
  entries = saved(*book);
  sheetXml = textOf(entries, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheetXml.find("<sheetPr codeName=\"Main\"><tabColor rgb=\"FFFF0000\"/><pageSetUpPr "
                          "fitToPage=\"1\"/></sheetPr>"),
            std::string::npos)
      << sheetXml;
  EXPECT_EQ(sheetXml.find("sheetProtection"), std::string::npos) << sheetXml;
  EXPECT_EQ(textOf(entries, "xl/workbook.xml").find("state="), std::string::npos);
  EXPECT_EQ(textOf(entries, "xl/workbook.xml").find("calcMode"), std::string::npos);
}

TEST(XlsxSheetSettings, ADeletedSheetLeavesWithItsRelationships) {
  PackageSpec layout;
  layout.sheets = {{"Keep", worksheet("")}, {"Gone", worksheet("")}};
  layout.extraParts = {{"xl/worksheets/_rels/sheet2.xml.rels", "",
                        testing::relationships({{"rId1", "drawing|../drawings/drawing1.xml"}})}};
  auto book = readXlsxWorkbook(testing::package(layout));
  book->removeSheet(book->sheet(1));
  const auto entries = saved(*book);
  EXPECT_FALSE(entries.contains("xl/worksheets/sheet2.xml"));
  EXPECT_FALSE(entries.contains("xl/worksheets/_rels/sheet2.xml.rels"));
  EXPECT_EQ(entries.at("xl/workbook.xml").find("Gone"), std::string::npos);
  EXPECT_EQ(entries.at("xl/_rels/workbook.xml.rels").find("sheet2.xml"), std::string::npos);
}

TEST(XlsxSheetSettings, AHiddenActiveSheetGivesWayToAVisibleOne) {
  PackageSpec layout;
  layout.sheets = {{"One", worksheet("")}, {"Two", worksheet("")}};
  layout.bookViews = "<bookViews><workbookView activeTab=\"0\"/></bookViews>";
  std::vector<PackagePart> parts = testing::packageParts(layout);
  for (PackagePart& part : parts) {
    if (part.name == "xl/workbook.xml")
      part.data.insert(part.data.find("<sheet name=\"One\"") + 6, " state=\"hidden\"");
  }
  auto book = readXlsxWorkbook(writePackage(parts));
  EXPECT_EQ(book->activeSheet().name(), u"Two");
}

}  // namespace
}  // namespace sx

namespace sx {
namespace {

TEST(XlsxSheetLayout, OutlinesViewAndPrintSettingsRoundTrip) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setNumber(parseRangeRef(u"A1:A6"), 1);
  sheet.groupRows(parseRangeRef(u"2:5"), std::nullopt);
  sheet.groupRows(parseRangeRef(u"3:4"), std::nullopt);
  sheet.groupColumns(parseRangeRef(u"B:C"), 3);
  sheet.groupColumns(parseRangeRef(u"C:C"), std::nullopt);  // already 3: one deeper
  sheet.settings().zoom = 85;
  sheet.settings().showGridLines = false;
  sheet.settings().printGridLines = true;
  sheet.settings().defaultRowHeight = 18.5;

  const std::string bytes = writePackage(buildWorkbookParts(book, FileFormat::Xlsx));
  const std::string xml = testing::unpackZip(bytes).entries.at("xl/worksheets/sheet1.xml");
  for (const char* part :
       {"<sheetView tabSelected=\"1\" showGridLines=\"0\" zoomScale=\"85\" workbookViewId=\"0\"/>",
        "<sheetFormatPr defaultRowHeight=\"18.5\" customHeight=\"1\" outlineLevelRow=\"2\" "
        "outlineLevelCol=\"4\"/>",
        "<col min=\"2\" max=\"2\" width=\"9.140625\" outlineLevel=\"3\"/>",
        "<col min=\"3\" max=\"3\" width=\"9.140625\" outlineLevel=\"4\"/>",
        "<row r=\"3\" outlineLevel=\"2\">", "<row r=\"5\" outlineLevel=\"1\">"}) {
    EXPECT_NE(xml.find(part), std::string::npos) << part << " in " << xml;
  }
  EXPECT_NE(xml.find("</sheetData><printOptions gridLines=\"1\"/><pageMargins"), std::string::npos)
      << xml;

  auto back = readXlsxWorkbook(bytes);
  Sheet& read = back->sheet(0);
  EXPECT_EQ(read.settings(), sheet.settings());
  EXPECT_EQ(read.rowFormats(), sheet.rowFormats());
  EXPECT_EQ(read.columnFormats(), sheet.columnFormats());

  // Ungrouped twice, the rows lose their levels; their formats go once nothing is left.
  read.ungroupRows(parseRangeRef(u"1:6"));
  read.ungroupRows(parseRangeRef(u"1:6"));
  EXPECT_TRUE(read.rowFormats().empty());
  EXPECT_EQ(read.rowOutlineDepth(), 0);
  EXPECT_THROW(read.groupRows(parseRangeRef(u"1:1"), 8), std::out_of_range);
}

TEST(XlsxSheetLayout, AnEditPatchesTheFilesOwnElements) {
  PackageSpec layout;
  layout.sheets = {
      {"Main",
       worksheet(
           "<row r=\"1\" outlineLevel=\"1\"><c r=\"A1\"><v>1</v></c></row>",
           "<sheetViews><sheetView zoomScale=\"120\" workbookViewId=\"0\">"
           "<selection activeCell=\"B2\" sqref=\"B2\"/></sheetView></sheetViews>"
           "<sheetFormatPr baseColWidth=\"10\" defaultRowHeight=\"16\" outlineLevelRow=\"1\"/>",
           "<printOptions headings=\"1\"/>")}};
  auto book = readXlsxWorkbook(testing::package(layout));
  Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.settings().zoom, 120);
  EXPECT_EQ(sheet.rowOutlineDepth(), 1);
  EXPECT_FALSE(sheet.settings().defaultRowHeight) << "not a height set on purpose";

  std::string xml = testing::unpackZip(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)))
                        .entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(
      xml.find(
          "<sheetFormatPr baseColWidth=\"10\" defaultRowHeight=\"16\" outlineLevelRow=\"1\"/>"),
      std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<printOptions headings=\"1\"/>"), std::string::npos);

  sheet.settings().zoom = 100;
  sheet.settings().showGridLines = false;
  sheet.settings().printGridLines = true;
  sheet.settings().defaultRowHeight = 20;
  sheet.ungroupRows(parseRangeRef(u"1:1"));
  sheet.groupColumns(parseRangeRef(u"A:A"), 2);
  xml = testing::unpackZip(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)))
            .entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<sheetView tabSelected=\"1\" workbookViewId=\"0\" "
                     "showGridLines=\"0\"><selection activeCell=\"B2\""),
            std::string::npos)
      << "the selection stays, the zoom goes: " << xml;
  EXPECT_NE(xml.find("<sheetFormatPr baseColWidth=\"10\" outlineLevelCol=\"2\" "
                     "defaultRowHeight=\"20\" customHeight=\"1\"/>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<printOptions headings=\"1\" gridLines=\"1\"/>"), std::string::npos) << xml;
  EXPECT_EQ(xml.find("outlineLevelRow"), std::string::npos);
}

}  // namespace
}  // namespace sx

namespace sx {
namespace {

TEST(XlsxPageSetup, WrittenReadBackAndPatchedIntoTheFilesElements) {
  PackageSpec layout;
  layout.sheets = {
      {"Main", worksheet("", "<sheetPr codeName=\"M\"/>",
                         "<pageMargins left=\"1\" right=\"1\" top=\"1\" bottom=\"1\" "
                         "header=\"0.5\" footer=\"0.5\"/>"
                         "<pageSetup paperSize=\"1\" copies=\"2\" r:id=\"rId4\"/>"
                         "<headerFooter differentFirst=\"1\"><oddHeader>&amp;CTitle</oddHeader>"
                         "<firstHeader>First</firstHeader></headerFooter>")}};
  auto book = readXlsxWorkbook(testing::package(layout));
  PageSetup& page = book->sheet(0).settings().page;
  EXPECT_EQ(page.paperSize, 1);
  EXPECT_EQ(page.margins.header, 0.5);
  EXPECT_EQ(page.header, u"&CTitle");
  book->sheet(0).setNumber(parseRangeRef(u"A1"), 1);
  std::string xml = testing::unpackZip(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)))
                        .entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(xml.find("<pageSetup paperSize=\"1\" copies=\"2\" r:id=\"rId4\"/>"), std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<firstHeader>First</firstHeader>"), std::string::npos)
      << "unchanged, kept whole";

  page.orientation = PageOrientation::Landscape;
  page.paperSize = parsePaperSize(u"a4");
  page.fitToPage = true;
  page.fitToWidth = 1;
  page.fitToHeight = 0;
  page.margins.left = 0.25;
  page.footer = u"&P";
  xml = testing::unpackZip(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)))
            .entries.at("xl/worksheets/sheet1.xml");
  for (const char* part : {"<sheetPr codeName=\"M\"><pageSetUpPr fitToPage=\"1\"/></sheetPr>",
                           "<pageMargins left=\"0.25\" right=\"1\" top=\"1\" bottom=\"1\" "
                           "header=\"0.5\" footer=\"0.5\"/>",
                           "<pageSetup copies=\"2\" r:id=\"rId4\" paperSize=\"9\" "
                           "orientation=\"landscape\" fitToWidth=\"1\" "
                           "fitToHeight=\"0\"/>",
                           "<headerFooter><oddHeader>&amp;CTitle</oddHeader><oddFooter>&amp;P</"
                           "oddFooter></headerFooter>"}) {
    EXPECT_NE(xml.find(part), std::string::npos) << part << " in " << xml;
  }
  const auto back = readXlsxWorkbook(writePackage(buildWorkbookParts(*book, FileFormat::Xlsx)));
  EXPECT_EQ(back->sheet(0).settings().page, page);
  EXPECT_THROW(parsePaperSize(u"A0"), std::invalid_argument);
  EXPECT_THROW(parsePageOrientation(u"default"), std::invalid_argument);
}

}  // namespace
}  // namespace sx
