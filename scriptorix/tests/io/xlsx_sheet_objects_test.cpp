#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "core/utf.h"
#include "io/image_file.h"
#include "io/package_writer.h"
#include "io/xlsx_writer.h"
#include "package_reader.h"

namespace sx {
namespace {

using namespace std::string_literals;

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

// The start of a PNG: signature and IHDR with the given size.
std::string pngStart(uint32_t width, uint32_t height) {
  std::string bytes = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"s;
  for (uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes += static_cast<char>((value >> shift) & 0xFF);
  }
  return bytes + "\x08\x02\0\0\0"s;
}

TEST(ImageHeader, SizeFromThePngOrJpegHeader) {
  const auto png = readImageHeader(pngStart(640, 70000));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->type, ImageType::Png);
  EXPECT_EQ(png->width, 640u);
  EXPECT_EQ(png->height, 70000u);
  // SOI, an APP0 segment to skip, a fill byte, then SOF2 (progressive): height 0x01E0, width
  // 0x0280.
  const std::string jpeg =
      "\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xFF\xC2\x00\x0B\x08\x01\xE0\x02\x80\x01\x01\x11\x00"s;
  const auto parsed = readImageHeader(jpeg);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->type, ImageType::Jpeg);
  EXPECT_EQ(parsed->width, 640u);
  EXPECT_EQ(parsed->height, 480u);
  // DHT (C4) carries no size: it is skipped like any other segment.
  EXPECT_FALSE(readImageHeader("\xFF\xD8\xFF\xC4\x00\x0B\x08\x01\xE0\x02\x80\x01\x01\x11\x00"s));
}

TEST(ImageHeader, RefusesWhatIsNoPictureOrHasNoSize) {
  EXPECT_FALSE(readImageHeader("GIF89a\x10\x00\x10\x00"s));
  EXPECT_FALSE(readImageHeader(pngStart(640, 480).substr(0, 20)));  // cut inside IHDR
  EXPECT_FALSE(readImageHeader(pngStart(0, 480)));
  EXPECT_FALSE(readImageHeader("\xFF\xD8\xFF\xDA\x00\x02"s));          // a scan before any frame
  EXPECT_FALSE(readImageHeader("\xFF\xD8\xFF\xE0\x00\x00\xFF\xC0"s));  // a segment length below 2
  EXPECT_FALSE(readImageHeader(""));
}

TEST(ImageFile, ClearMessagesForMissingFoldersAndOtherFiles) {
  const auto folder = std::filesystem::temp_directory_path() / "sx_image_file_test";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "notes.png") << "plain text";
  std::ofstream(folder / "tiny.png", std::ios::binary) << pngStart(3, 2);
  auto message = [](const std::filesystem::path& path) {
    try {
      readImageFile(path);
    } catch (const std::runtime_error& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_NE(message(folder / "absent.png").find("not found"), std::string::npos);
  EXPECT_NE(message(folder).find("not a file"), std::string::npos);
  EXPECT_NE(message(folder / "notes.png").find("not a PNG or JPEG"), std::string::npos);
  const SheetImage image = readImageFile(folder / "tiny.png");
  EXPECT_EQ(image.pixelWidth, 3u);
  EXPECT_EQ(image.bytes, pngStart(3, 2));
  std::filesystem::remove_all(folder);
}

class SheetObjectsPackage : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);

  testing::UnpackedZip save() {
    return testing::unpackZip(writePackage(buildWorkbookParts(book, FileFormat::Xlsx)));
  }
  static pugi::xml_document parse(const testing::UnpackedZip& zip, const std::string& part) {
    pugi::xml_document document;
    auto entry = zip.entries.find(part);
    if (entry == zip.entries.end()) {
      ADD_FAILURE() << "missing part " << part;
      return document;
    }
    EXPECT_TRUE(document.load_buffer(entry->second.data(), entry->second.size())) << part;
    return document;
  }
  // Every relationship of every part points at a part of the package, and every part but the
  // relationships has a content type.
  static void expectConsistent(const testing::UnpackedZip& zip) {
    const auto types = parse(zip, "[Content_Types].xml");
    std::set<std::string> typed;
    for (const auto& entry : types.child("Types").children("Override"))
      typed.insert(entry.attribute("PartName").value());
    for (const auto& [name, data] : zip.entries) {
      if (name == "[Content_Types].xml") continue;
      if (!name.ends_with(".rels")) {
        EXPECT_TRUE(typed.contains("/" + name)) << name << " has no content type";
        continue;
      }
      const std::string folder = name.substr(0, name.find("_rels/"));
      const auto relationships = parse(zip, name);
      for (const auto& rel : relationships.child("Relationships").children("Relationship")) {
        std::filesystem::path target =
            std::filesystem::path(folder) / rel.attribute("Target").value();
        const std::string resolved = target.lexically_normal().generic_string();
        EXPECT_TRUE(zip.entries.contains(resolved) || rel.attribute("TargetMode"))
            << name << " points at missing " << resolved;
      }
    }
  }
  SheetChart columnChart(const char16_t* values) {
    SheetChart chart;
    chart.series.push_back({values, u"Sheet1!$A$2:$A$3", u"Sheet1!$B$1", u""});
    chart.anchor.cells = at(u"D2:H12");
    return chart;
  }
};

TEST_F(SheetObjectsPackage, NotesOfTwoSheetsGetTheirOwnPartsAndShapeIds) {
  Sheet& second = book.addSheet(u"Second");
  sheet.objects().notes[{0, 0}] = {u"Ann", u"first <note>"};
  sheet.objects().notes[{2, 1}] = {u"Bo", u"second"};
  second.objects().notes[{0, 27}] = {u"Ann", u"on AB1"};
  const auto zip = save();
  expectConsistent(zip);
  const auto comments = parse(zip, "xl/comments1.xml");
  const auto list = comments.child("comments");
  EXPECT_EQ(std::distance(list.child("authors").children("author").begin(),
                          list.child("authors").children("author").end()),
            2);
  const auto first = list.child("commentList").child("comment");
  EXPECT_STREQ(first.attribute("ref").value(), "A1");
  EXPECT_STREQ(first.child("text").child("t").text().get(), "first <note>");
  EXPECT_STREQ(first.next_sibling().attribute("ref").value(), "B3");
  EXPECT_STREQ(first.next_sibling().attribute("authorId").value(), "1");
  const auto vml = parse(zip, "xl/drawings/vmlDrawing2.vml");
  const auto shape = vml.child("xml").child("v:shape");
  EXPECT_STREQ(vml.child("xml").child("o:shapelayout").child("o:idmap").attribute("data").value(),
               "2");
  EXPECT_STREQ(shape.attribute("id").value(), "_x0000_s2049");
  EXPECT_STREQ(shape.child("x:ClientData").child("x:Row").text().get(), "0");
  EXPECT_STREQ(shape.child("x:ClientData").child("x:Column").text().get(), "27");
  const auto worksheet = parse(zip, "xl/worksheets/sheet2.xml");
  EXPECT_STREQ(worksheet.child("worksheet").last_child().name(), "legacyDrawing");
}

TEST_F(SheetObjectsPackage, ObjectsAtTheSheetsEdgeStayInsideIt) {
  sheet.objects().notes[{kMaxRows - 1, kMaxColumns - 1}] = {u"", u"corner"};
  SheetChart chart;
  chart.series.push_back({u"Sheet1!$A$1", u"", u"", u""});
  chart.anchor.cells = at(u"XFA1048570:XFD1048576");
  sheet.objects().charts.push_back(chart);
  const auto zip = save();
  const auto vml = parse(zip, "xl/drawings/vmlDrawing1.vml");
  std::string anchor =
      vml.child("xml").child("v:shape").child("x:ClientData").child("x:Anchor").text().get();
  std::vector<long> numbers;
  for (size_t at = 0; at < anchor.size();) {
    size_t end = anchor.find(',', at);
    numbers.push_back(std::stol(anchor.substr(at, end - at)));
    at = end == std::string::npos ? anchor.size() : end + 1;
  }
  ASSERT_EQ(numbers.size(), 8u);
  EXPECT_LT(numbers[4], kMaxColumns);  // right column
  EXPECT_LT(numbers[6], kMaxRows);     // bottom row
  const auto drawing = parse(zip, "xl/drawings/drawing1.xml");
  const auto to = drawing.child("xdr:wsDr").child("xdr:twoCellAnchor").child("xdr:to");
  EXPECT_EQ(to.child("xdr:col").text().as_int(), kMaxColumns - 1);
  EXPECT_EQ(to.child("xdr:row").text().as_int(), kMaxRows - 1);
}

TEST_F(SheetObjectsPackage, ChartsCacheTheCalculatedValuesAndTextShown) {
  sheet.setText(at(u"A2"), u"North");
  sheet.setText(at(u"A3"), u"South");
  sheet.setText(at(u"B1"), u"Sales");
  sheet.setNumber(at(u"B2"), 4);
  sheet.setFormula(at(u"B3"), u"B2*2.5");
  sheet.objects().charts.push_back(columnChart(u"Sheet1!$B$2:$B$3"));
  sheet.objects().charts.push_back(columnChart(u"#REF!"));
  sheet.objects().charts.back().kind = ChartKind::Pie;
  const auto zip = save();
  expectConsistent(zip);
  const auto chart = parse(zip, "xl/charts/chart1.xml");
  const auto series = chart.select_node("//c:barChart/c:ser").node();
  ASSERT_TRUE(series);
  EXPECT_STREQ(series.select_node("c:val/c:numRef/c:f").node().text().get(), "Sheet1!$B$2:$B$3");
  EXPECT_STREQ(
      series.select_node("c:val/c:numRef/c:numCache/c:pt[@idx='1']/c:v").node().text().get(), "10");
  EXPECT_STREQ(
      series.select_node("c:cat/c:strRef/c:strCache/c:pt[@idx='0']/c:v").node().text().get(),
      "North");
  EXPECT_STREQ(series.select_node("c:tx/c:strRef/c:strCache/c:pt/c:v").node().text().get(),
               "Sales");
  // A reference to nothing keeps its text and gets no cache rather than made-up values.
  const auto lost = parse(zip, "xl/charts/chart2.xml");
  EXPECT_STREQ(lost.select_node("//c:val/c:numRef/c:f").node().text().get(), "#REF!");
  EXPECT_FALSE(lost.select_node("//c:numCache"));
  EXPECT_FALSE(lost.select_node("//c:catAx"));
  const auto drawing = parse(zip, "xl/drawings/drawing1.xml");
  const auto anchor = drawing.child("xdr:wsDr").child("xdr:twoCellAnchor");
  EXPECT_STREQ(anchor.child("xdr:from").child("xdr:col").text().get(), "3");
  EXPECT_STREQ(anchor.child("xdr:to").child("xdr:row").text().get(), "12");
}

TEST_F(SheetObjectsPackage, PicturesTablesAndNotesShareOneRelationshipsPart) {
  SheetImage image;
  image.bytes = pngStart(20, 10);
  image.anchor = {at(u"C3"), true, 40, 20};
  sheet.objects().images.push_back(image);
  sheet.objects().notes[{0, 0}] = {u"", u"x"};
  SheetTable table;
  table.name = u"Sales";
  table.range = at(u"A1:B4");
  table.totalsRow = true;
  table.columns = {{u"Item", TotalsFunction::None, u"Total"},
                   {u"Amount", TotalsFunction::Sum, u""}};
  Sheet& second = book.addSheet(u"Second");
  second.objects().tables.push_back(table);
  second.objects().tables.back().name = u"More";
  sheet.objects().tables.push_back(table);
  const auto zip = save();
  expectConsistent(zip);
  const auto worksheet = parse(zip, "xl/worksheets/sheet1.xml");
  const auto root = worksheet.child("worksheet");
  std::vector<std::string> tail;
  for (auto node = root.last_child(); tail.size() < 3; node = node.previous_sibling())
    tail.insert(tail.begin(), node.name());
  EXPECT_EQ(tail, (std::vector<std::string>{"drawing", "legacyDrawing", "tableParts"}));
  const auto drawing = parse(zip, "xl/drawings/drawing1.xml");
  const auto pic = drawing.child("xdr:wsDr").child("xdr:oneCellAnchor");
  EXPECT_STREQ(pic.child("xdr:ext").attribute("cx").value(), "381000");  // 40 px at 9525 EMU
  EXPECT_TRUE(pic.child("xdr:pic"));
  EXPECT_EQ(zip.entries.at("xl/media/image1.png"), image.bytes);
  // Table ids are unique in the workbook.
  const auto firstPart = parse(zip, "xl/tables/table1.xml");
  const auto otherPart = parse(zip, "xl/tables/table2.xml");
  const auto first = firstPart.child("table");
  const auto other = otherPart.child("table");
  EXPECT_STRNE(first.attribute("id").value(), other.attribute("id").value());
  EXPECT_STREQ(first.attribute("ref").value(), "A1:B4");
  EXPECT_STREQ(first.child("autoFilter").attribute("ref").value(), "A1:B3");
  const auto columns = first.child("tableColumns");
  EXPECT_STREQ(columns.first_child().attribute("totalsRowLabel").value(), "Total");
  EXPECT_STREQ(columns.last_child().attribute("totalsRowFunction").value(), "sum");
}

TEST_F(SheetObjectsPackage, ChartSheetsAreListedAfterTheirWorksheetWithTheirOwnParts) {
  book.addChartSheet(u"After first", columnChart(u"Sheet1!$B$2:$B$3"));
  Sheet& second = book.addSheet(u"Second");
  book.addChartSheet(u"After second", columnChart(u"Sheet1!$B$2:$B$3"));
  book.setActiveSheet(second);
  const auto zip = save();
  expectConsistent(zip);
  const auto workbookPart = parse(zip, "xl/workbook.xml");
  const auto workbook = workbookPart.child("workbook");
  std::vector<std::string> names;
  for (const auto& entry : workbook.child("sheets").children("sheet"))
    names.emplace_back(entry.attribute("name").value());
  EXPECT_EQ(names, (std::vector<std::string>{"Sheet1", "After first", "Second", "After second"}));
  EXPECT_STREQ(workbook.child("bookViews").child("workbookView").attribute("activeTab").value(),
               "2");
  // Each entry's relationship leads to the part of its kind.
  const auto rels = parse(zip, "xl/_rels/workbook.xml.rels");
  for (const auto& entry : workbook.child("sheets").children("sheet")) {
    const std::string id = entry.attribute("r:id").value();
    const auto rel = rels.select_node(("//Relationship[@Id='" + id + "']").c_str()).node();
    const std::string target = rel.attribute("Target").value();
    const bool chart = std::string(entry.attribute("name").value()).starts_with("After");
    EXPECT_EQ(target.starts_with("chartsheets/"), chart) << target;
  }
  EXPECT_TRUE(parse(zip, "xl/chartsheets/sheet2.xml").child("chartsheet").child("drawing"));
}

}  // namespace
}  // namespace sx
