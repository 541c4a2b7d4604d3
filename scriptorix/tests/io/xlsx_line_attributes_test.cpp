#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <map>
#include <string>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

constexpr const char* kX14ac = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";

// Rows 1 to 4 and columns A to D with attributes the model does not hold, as the desktop
// application writes them; rows 2 and 3 form an outline group.
std::string linesPackage() {
  const std::string sheet =
      "<worksheet xmlns=\"" + testing::kMain + "\" xmlns:r=\"" + testing::kRel +
      "\" xmlns:x14ac=\"" + kX14ac +
      "\"><sheetFormatPr defaultRowHeight=\"15\" outlineLevelRow=\"1\" x14ac:dyDescent=\"0.25\"/>"
      "<cols><col min=\"1\" max=\"1\" width=\"12.5\" bestFit=\"1\" customWidth=\"1\"/>"
      "<col min=\"2\" max=\"2\" width=\"20\" phonetic=\"1\"/>"
      "<col min=\"3\" max=\"4\" width=\"9\" customWidth=\"1\" outlineLevel=\"1\" "
      "x14ac:made=\"up\"/></cols>"
      "<sheetData>"
      "<row r=\"1\" spans=\"1:2\" thickBot=\"1\" x14ac:dyDescent=\"0.25\"><c "
      "r=\"A1\"><v>1</v></c></row>"
      "<row r=\"2\" spans=\"1:2\" outlineLevel=\"1\" ph=\"1\" x14ac:dyDescent=\"0.25\"><c "
      "r=\"A2\"><v>2</v></c></row>"
      "<row r=\"3\" spans=\"1:2\" ht=\"21\" outlineLevel=\"1\" thickTop=\"1\" "
      "x14ac:dyDescent=\"0.25\"><c r=\"A3\"><v>3</v></c></row>"
      "<row r=\"4\" collapsed=\"1\" x14ac:dyDescent=\"0.25\"/>"
      "</sheetData></worksheet>";
  testing::PackageSpec layout;
  layout.sheets = {{"Data", sheet}};
  return testing::package(layout);
}

struct Lines {
  std::map<int, std::map<std::string, std::string>> rows;             // r -> attributes
  std::map<std::string, std::map<std::string, std::string>> columns;  // "min-max" -> attributes
  std::map<std::string, std::string> format;                          // sheetFormatPr
};

Lines linesOf(const Workbook& book) {
  const std::string xml =
      testing::unpackZip(writePackage(buildWorkbookParts(book, FileFormat::Xlsx)))
          .entries.at("xl/worksheets/sheet1.xml");
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(xml.c_str())) << "the worksheet is not well-formed:\n" << xml;
  Lines lines;
  auto attributes = [](pugi::xml_node node) {
    std::map<std::string, std::string> out;
    for (pugi::xml_attribute attribute : node.attributes())
      out[attribute.name()] = attribute.value();
    return out;
  };
  const pugi::xml_node root = document.child("worksheet");
  for (pugi::xml_node row : root.child("sheetData").children("row")) {
    auto all = attributes(row);
    const int r = std::stoi(all.at("r"));
    all.erase("r");
    lines.rows[r] = all;
  }
  for (pugi::xml_node col : root.child("cols").children("col")) {
    auto all = attributes(col);
    const std::string span = all.at("min") + "-" + all.at("max");
    all.erase("min");
    all.erase("max");
    lines.columns[span] = all;
  }
  lines.format = attributes(root.child("sheetFormatPr"));
  return lines;
}

using Attributes = std::map<std::string, std::string>;

TEST(XlsxLineAttributes, AttributesTheModelDoesNotHoldSurviveAnEdit) {
  auto book = readXlsxWorkbook(linesPackage());
  book->sheet(0).setNumber(parseRangeRef(u"B1"), 5);
  const Lines lines = linesOf(*book);
  EXPECT_EQ(lines.rows.at(1), (Attributes{{"thickBot", "1"}, {"x14ac:dyDescent", "0.25"}}))
      << "spans is dropped";
  EXPECT_EQ(lines.rows.at(2),
            (Attributes{{"outlineLevel", "1"}, {"ph", "1"}, {"x14ac:dyDescent", "0.25"}}));
  EXPECT_EQ(
      lines.rows.at(3),
      (Attributes{
          {"ht", "21"}, {"outlineLevel", "1"}, {"thickTop", "1"}, {"x14ac:dyDescent", "0.25"}}));
  EXPECT_EQ(lines.rows.at(4), (Attributes{{"collapsed", "1"}, {"x14ac:dyDescent", "0.25"}}));
  EXPECT_EQ(lines.columns.at("1-1"),
            (Attributes{{"width", "12.5"}, {"customWidth", "1"}, {"bestFit", "1"}}));
  // A width the file gave without customWidth is the file's, not the default.
  EXPECT_EQ(lines.columns.at("2-2"), (Attributes{{"width", "20"}, {"phonetic", "1"}}));
  EXPECT_EQ(
      lines.columns.at("3-4"),
      (Attributes{
          {"width", "9"}, {"customWidth", "1"}, {"outlineLevel", "1"}, {"x14ac:made", "up"}}));
  EXPECT_EQ(lines.format.at("outlineLevelRow"), "1");
  EXPECT_EQ(lines.format.at("outlineLevelCol"), "1");
  EXPECT_EQ(lines.format.at("x14ac:dyDescent"), "0.25");
}

TEST(XlsxLineAttributes, TheModelsOwnValuesWinOverKeptOnes) {
  auto book = readXlsxWorkbook(linesPackage());
  Sheet& sheet = book->sheet(0);
  sheet.setRowHeight(parseRangeRef(u"3:3"), 30);
  sheet.setColumnWidth(parseRangeRef(u"B:B"), 7);
  const Lines lines = linesOf(*book);
  EXPECT_EQ(lines.rows.at(3).at("ht"), "30");
  EXPECT_EQ(lines.rows.at(3).at("customHeight"), "1");
  EXPECT_EQ(lines.rows.at(3).at("thickTop"), "1");
  EXPECT_EQ(lines.columns.at("2-2"),
            (Attributes{{"width", "7"}, {"customWidth", "1"}, {"phonetic", "1"}}));
}

TEST(XlsxLineAttributes, WholeRowsAndColumnsCarryThemThroughInsertAndDelete) {
  auto book = readXlsxWorkbook(linesPackage());
  Sheet& sheet = book->sheet(0);
  sheet.insertCells(parseRangeRef(u"2:3"), InsertShift::Down);  // rows 2..4 go to 4..6
  sheet.deleteCells(parseRangeRef(u"1:1"), DeleteShift::Up);    // and then to 3..5
  sheet.deleteCells(parseRangeRef(u"A:A"), DeleteShift::Left);
  sheet.insertCells(parseRangeRef(u"B:B"), InsertShift::Right);  // C:D came to B:C, now C:D again
  const Lines lines = linesOf(*book);
  EXPECT_EQ(lines.rows.count(1), 0u) << "inserted rows have nothing of their neighbours";
  EXPECT_EQ(lines.rows.count(2), 0u);
  EXPECT_EQ(lines.rows.at(3).at("ph"), "1");
  EXPECT_EQ(lines.rows.at(4).at("thickTop"), "1");
  EXPECT_EQ(lines.rows.at(4).at("ht"), "21");
  EXPECT_EQ(lines.rows.at(5).at("collapsed"), "1");
  EXPECT_EQ(lines.rows.count(6), 0u);
  for (const auto& [row, attributes] : lines.rows)
    EXPECT_EQ(attributes.count("thickBot"), 0u) << row;
  EXPECT_EQ(lines.columns.at("1-1"), (Attributes{{"width", "20"}, {"phonetic", "1"}}));
  EXPECT_EQ(lines.columns.count("2-2"), 0u);
  EXPECT_EQ(lines.columns.at("3-4").at("x14ac:made"), "up");
}

TEST(XlsxLineAttributes, ShiftsWithinSomeColumnsLeaveRowsInPlace) {
  auto book = readXlsxWorkbook(linesPackage());
  Sheet& sheet = book->sheet(0);
  sheet.deleteCells(parseRangeRef(u"A1:B1"), DeleteShift::Up);
  sheet.insertCells(parseRangeRef(u"A1:A2"), InsertShift::Right);
  const Lines lines = linesOf(*book);
  EXPECT_EQ(lines.rows.at(1).at("thickBot"), "1");
  EXPECT_EQ(lines.rows.at(3).at("thickTop"), "1");
  EXPECT_EQ(lines.columns.at("1-1").at("bestFit"), "1");
}

TEST(XlsxLineAttributes, OutlineDepthsFollowTheGroupsLeft) {
  auto book = readXlsxWorkbook(linesPackage());
  Sheet& sheet = book->sheet(0);
  sheet.deleteCells(parseRangeRef(u"2:3"), DeleteShift::Up);
  sheet.deleteCells(parseRangeRef(u"C:D"), DeleteShift::Left);
  const Lines lines = linesOf(*book);
  EXPECT_EQ(lines.format.count("outlineLevelRow"), 0u);
  EXPECT_EQ(lines.format.count("outlineLevelCol"), 0u);
  EXPECT_EQ(lines.rows.at(2), (Attributes{{"collapsed", "1"}, {"x14ac:dyDescent", "0.25"}}));
}

}  // namespace
}  // namespace sx
