#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <set>
#include <string>

#include "io/package_writer.h"
#include "io/xlsx_writer.h"
#include "core/utf.h"
#include "package_reader.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

class XlsxPackage : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);

  testing::UnpackedZip save(FileFormat format = FileFormat::Xlsx) {
    return testing::unpackZip(writePackage(buildWorkbookParts(book, format)));
  }
  static pugi::xml_document parse(const testing::UnpackedZip& zip, const std::string& part) {
    pugi::xml_document document;
    auto entry = zip.entries.find(part);
    if (entry == zip.entries.end()) {
      ADD_FAILURE() << "missing part " << part;
      return document;
    }
    const auto result = document.load_buffer(entry->second.data(), entry->second.size());
    EXPECT_TRUE(result) << part << ": " << result.description();
    return document;
  }
  static std::vector<std::string> childNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (const auto& child : node.children()) names.emplace_back(child.name());
    return names;
  }
};

TEST_F(XlsxPackage, HasEveryPartWithItsContentType) {
  book.addSheet(u"Second");
  const auto zip = save();
  EXPECT_EQ(zip.order.front(), "[Content_Types].xml");
  const std::set<std::string> expected = {
      "[Content_Types].xml",     "_rels/.rels",          "docProps/core.xml",
      "docProps/app.xml",        "xl/workbook.xml",      "xl/_rels/workbook.xml.rels",
      "xl/styles.xml",           "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml",
      "xl/worksheets/sheet2.xml"};
  std::set<std::string> found(zip.order.begin(), zip.order.end());
  EXPECT_EQ(found, expected);
  const auto types = parse(zip, "[Content_Types].xml");
  std::set<std::string> overridden;
  for (const auto& entry : types.child("Types").children("Override")) {
    overridden.insert(entry.attribute("PartName").value());
  }
  for (const std::string& part : expected) {
    if (part.ends_with(".rels") || part == "[Content_Types].xml") continue;
    EXPECT_TRUE(overridden.contains("/" + part)) << part;
  }
  // Every relationship target exists.
  const auto workbookRels = parse(zip, "xl/_rels/workbook.xml.rels");
  for (const auto& rel : workbookRels.child("Relationships").children()) {
    EXPECT_TRUE(zip.entries.contains("xl/" + std::string(rel.attribute("Target").value())));
  }
  const auto packageRels = parse(zip, "_rels/.rels");
  for (const auto& rel : packageRels.child("Relationships").children()) {
    EXPECT_TRUE(zip.entries.contains(rel.attribute("Target").value()));
  }
}

TEST_F(XlsxPackage, WorkbookContentTypeFollowsTheFormat) {
  const std::pair<FileFormat, std::string> cases[] = {
      {FileFormat::Xlsx,
       "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"},
      {FileFormat::Xlsm, "application/vnd.ms-excel.sheet.macroEnabled.main+xml"},
      {FileFormat::Xltx,
       "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"},
  };
  for (const auto& [format, type] : cases) {
    const auto types = parse(save(format), "[Content_Types].xml");
    const auto entry =
        types.child("Types").find_child_by_attribute("Override", "PartName", "/xl/workbook.xml");
    EXPECT_EQ(std::string(entry.attribute("ContentType").value()), type);
  }
}

TEST_F(XlsxPackage, WorkbookListsSheetsActiveTabNamesAndCalculation) {
  Sheet& second = book.addSheet(u"Zweite & <mehr>");
  book.moveSheet(second, 0);
  book.addDefinedName(u"Total", u"Sheet1!$A$1:$A$3");
  book.setActiveSheet(book.sheet(1));
  const auto zip = save();
  const auto workbook = parse(zip, "xl/workbook.xml");
  const auto root = workbook.child("workbook");
  EXPECT_EQ(childNames(root), (std::vector<std::string>{"workbookPr", "bookViews", "sheets",
                                                        "definedNames", "calcPr"}));
  auto sheets = root.child("sheets").children("sheet");
  std::vector<std::string> names;
  for (const auto& entry : sheets) names.emplace_back(entry.attribute("name").value());
  EXPECT_EQ(names, (std::vector<std::string>{"Zweite & <mehr>", "Sheet1"}));
  EXPECT_EQ(root.child("bookViews").child("workbookView").attribute("activeTab").as_int(), 1);
  const auto name = root.child("definedNames").child("definedName");
  EXPECT_STREQ(name.attribute("name").value(), "Total");
  EXPECT_STREQ(name.text().get(), "Sheet1!$A$1:$A$3");
  EXPECT_STREQ(root.child("calcPr").attribute("fullCalcOnLoad").value(), "1");
  // The active sheet's view is selected, the other's is not.
  EXPECT_TRUE(parse(zip, "xl/worksheets/sheet2.xml")
                  .child("worksheet")
                  .child("sheetViews")
                  .child("sheetView")
                  .attribute("tabSelected")
                  .as_bool());
  EXPECT_FALSE(parse(zip, "xl/worksheets/sheet1.xml")
                   .child("worksheet")
                   .child("sheetViews")
                   .child("sheetView")
                   .attribute("tabSelected")
                   .as_bool());
}

TEST_F(XlsxPackage, CellsCarryTheirKindsSharedStringsAndFormulas) {
  sheet.setNumber(at(u"A1"), 0.1);
  sheet.setText(at(u"B1"), u"hello");
  sheet.setText(at(u"C1"), u"hello");
  sheet.setBoolean(at(u"D1"), false);
  sheet.setValue(at(u"E1"), CellValue::fromError(u"#N/A"));
  sheet.setText(at(u"A2"), u"=A1*2");
  sheet.setText(at(u"B2"), u"=B1&\"!\"");
  sheet.setCachedValue(1, 1, CellValue::fromText(u"hello!"));
  sheet.setNumber(at(u"C3"), 1e300);
  const auto zip = save();
  const auto document = parse(zip, "xl/worksheets/sheet1.xml");
  const auto root = document.child("worksheet");
  EXPECT_EQ(childNames(root), (std::vector<std::string>{"dimension", "sheetViews", "sheetFormatPr",
                                                        "sheetData", "pageMargins"}));
  EXPECT_STREQ(root.child("dimension").attribute("ref").value(), "A1:E3");
  const auto cell = [&](const char* ref) {
    return root.child("sheetData").find_node([&](const pugi::xml_node& node) {
      return std::string(node.name()) == "c" && std::string(node.attribute("r").value()) == ref;
    });
  };
  EXPECT_STREQ(cell("A1").child_value("v"), "0.1");
  EXPECT_STREQ(cell("B1").attribute("t").value(), "s");
  EXPECT_STREQ(cell("B1").child_value("v"), cell("C1").child_value("v"));
  EXPECT_STREQ(cell("D1").attribute("t").value(), "b");
  EXPECT_STREQ(cell("D1").child_value("v"), "0");
  EXPECT_STREQ(cell("E1").attribute("t").value(), "e");
  EXPECT_STREQ(cell("E1").child_value("v"), "#N/A");
  EXPECT_STREQ(cell("A2").child_value("f"), "A1*2");
  EXPECT_STREQ(cell("A2").child_value("v"), "0.2");  // calculated for readers that do not
  EXPECT_STREQ(cell("B2").child_value("f"), "B1&\"!\"");
  EXPECT_STREQ(cell("B2").attribute("t").value(), "str");
  EXPECT_STREQ(cell("B2").child_value("v"), "hello!");
  EXPECT_EQ(std::stod(cell("C3").child_value("v")), 1e300);
  const auto stringsPart = parse(zip, "xl/sharedStrings.xml");
  const auto strings = stringsPart.child("sst");
  EXPECT_EQ(strings.attribute("uniqueCount").as_int(), 1);
  EXPECT_EQ(strings.attribute("count").as_int(), 2);
  EXPECT_STREQ(strings.child("si").child_value("t"), "hello");
}

TEST_F(XlsxPackage, ControlCharactersAndEscapeLookalikesSurviveAsOoxmlEscapes) {
  std::u16string text = u"bell\u0007 tab\t _x0041_ end";
  text += u'\0';
  sheet.setText(at(u"A1"), text);
  const auto zip = save();
  const std::string& raw = zip.entries.at("xl/sharedStrings.xml");
  EXPECT_EQ(raw.find('\x07'), std::string::npos);
  const auto strings = parse(zip, "xl/sharedStrings.xml");
  EXPECT_STREQ(strings.child("sst").child("si").child_value("t"),
               "bell_x0007_ tab\t _x005F_x0041_ end_x0000_");
}

TEST_F(XlsxPackage, StylesAreDeduplicatedWithTheMandatoryFills) {
  sheet.setBold(at(u"A1:B2"), true);
  sheet.setBold(at(u"D4"), true);
  sheet.setFillColor(at(u"C1"), Color{255, 0, 0});
  sheet.setFillColor(at(u"C2"), Color{255, 0, 0});
  sheet.setNumberFormat(at(u"E1"), u"yyyy-mm-dd");
  sheet.setNumberFormat(at(u"E2"), u"0.00");
  sheet.setBorders(at(u"F1"), BorderPosition::Top, BorderLineStyle::Medium, Color{0, 0, 255});
  sheet.setHorizontalAlignment(at(u"G1"), HorizontalAlignment::Center);
  sheet.setWrap(at(u"G1"), true);
  const auto zip = save();
  const auto stylesPart = parse(zip, "xl/styles.xml");
  const auto styles = stylesPart.child("styleSheet");
  EXPECT_EQ(childNames(styles),
            (std::vector<std::string>{"numFmts", "fonts", "fills", "borders", "cellStyleXfs",
                                      "cellXfs", "cellStyles", "dxfs", "tableStyles"}));
  const auto fills = styles.child("fills");
  ASSERT_EQ(fills.attribute("count").as_int(), 3);
  auto fill = fills.children("fill").begin();
  EXPECT_STREQ(fill->child("patternFill").attribute("patternType").value(), "none");
  EXPECT_STREQ((++fill)->child("patternFill").attribute("patternType").value(), "gray125");
  EXPECT_STREQ((++fill)->child("patternFill").child("fgColor").attribute("rgb").value(),
               "FFFF0000");
  EXPECT_EQ(styles.child("fonts").attribute("count").as_int(), 2);
  // default, bold, fill, date, 0.00, border, alignment
  EXPECT_EQ(styles.child("cellXfs").attribute("count").as_int(), 7);
  const auto custom = styles.child("numFmts").child("numFmt");
  EXPECT_STREQ(custom.attribute("formatCode").value(), "yyyy-mm-dd");
  EXPECT_GE(custom.attribute("numFmtId").as_int(), 164);
  const auto border = styles.child("borders").last_child();
  EXPECT_STREQ(border.child("top").attribute("style").value(), "medium");
  EXPECT_EQ(childNames(border),
            (std::vector<std::string>{"left", "right", "top", "bottom", "diagonal"}));
  // Cells that share a format share an xf index.
  const auto sheetPart = parse(zip, "xl/worksheets/sheet1.xml");
  const auto data = sheetPart.child("worksheet").child("sheetData");
  const auto styleOf = [&](const char* ref) {
    return std::string(data.find_node([&](const pugi::xml_node& node) {
                             return std::string(node.attribute("r").value()) == ref;
                           })
                           .attribute("s")
                           .value());
  };
  EXPECT_EQ(styleOf("A1"), styleOf("D4"));
  EXPECT_EQ(styleOf("C1"), styleOf("C2"));
  EXPECT_NE(styleOf("A1"), styleOf("C1"));
  const int xf = std::stoi(styleOf("G1"));
  auto xfs = styles.child("cellXfs").children("xf").begin();
  std::advance(xfs, xf);
  EXPECT_STREQ(xfs->child("alignment").attribute("horizontal").value(), "center");
  EXPECT_STREQ(xfs->child("alignment").attribute("wrapText").value(), "1");
}

TEST_F(XlsxPackage, SheetLayoutColumnsRowsMergesAndFrozenPanes) {
  sheet.setColumnWidth(at(u"B:D"), 20);
  sheet.setColumnsHidden(at(u"F:F"), true);
  sheet.setRowHeight(at(u"3:3"), 30);
  sheet.setNumber(at(u"A2"), 1);
  sheet.merge(at(u"A5:C6"), false);
  sheet.merge(at(u"1:1"), false);
  sheet.setFreezePanes({1, 2});
  const auto document = parse(save(), "xl/worksheets/sheet1.xml");
  const auto root = document.child("worksheet");
  EXPECT_EQ(childNames(root),
            (std::vector<std::string>{"dimension", "sheetViews", "sheetFormatPr", "cols",
                                      "sheetData", "mergeCells", "pageMargins"}));
  const auto cols = root.child("cols");
  auto col = cols.children("col").begin();
  EXPECT_EQ(col->attribute("min").as_int(), 2);
  EXPECT_EQ(col->attribute("max").as_int(), 4);
  EXPECT_EQ(col->attribute("width").as_double(), 20);
  EXPECT_TRUE(col->attribute("customWidth").as_bool());
  ++col;
  EXPECT_EQ(col->attribute("min").as_int(), 6);
  EXPECT_TRUE(col->attribute("hidden").as_bool());
  std::vector<int> rows;
  for (const auto& row : root.child("sheetData").children("row"))
    rows.push_back(row.attribute("r").as_int());
  EXPECT_EQ(rows, (std::vector<int>{2, 3}));
  EXPECT_EQ(root.child("sheetData").last_child().attribute("ht").as_double(), 30);
  std::vector<std::string> merges;
  for (const auto& merge : root.child("mergeCells").children())
    merges.emplace_back(merge.attribute("ref").value());
  EXPECT_EQ(merges, (std::vector<std::string>{"A5:C6", "A1:XFD1"}));
  const auto pane = root.child("sheetViews").child("sheetView").child("pane");
  EXPECT_EQ(pane.attribute("xSplit").as_int(), 2);
  EXPECT_EQ(pane.attribute("ySplit").as_int(), 1);
  EXPECT_STREQ(pane.attribute("topLeftCell").value(), "C2");
  EXPECT_STREQ(pane.attribute("state").value(), "frozen");
}

TEST_F(XlsxPackage, SameWorkbookGivesTheSameBytes) {
  sheet.setText(at(u"A1:C3"), u"=ROW()*2");
  sheet.setFillColor(at(u"B2"), Color{1, 2, 3});
  book.addSheet(u"Other").setText(at(u"A1"), u"text");
  const std::string first = writePackage(buildWorkbookParts(book, FileFormat::Xlsx));
  const std::string second = writePackage(buildWorkbookParts(book, FileFormat::Xlsx));
  EXPECT_EQ(first, second);
  for (zip_uint32_t time : testing::unpackZip(first).modifiedTimes) {
    EXPECT_EQ(time, testing::unpackZip(second).modifiedTimes.front());
  }
}

}  // namespace
}  // namespace sx
