#include <gtest/gtest.h>

#include <stdexcept>

#include "io/xlsx_reader.h"
#include "io/zip_reader.h"
#include "package_fixtures.h"

namespace sx {
namespace {

using testing::PackageSpec;
using testing::worksheet;

std::string errorOf(const std::string& bytes) {
  try {
    readXlsxWorkbook(bytes);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "no error";
}

PackageSpec oneSheet(const std::string& xml) {
  PackageSpec layout;
  layout.sheets = {{"S", xml}};
  return layout;
}

std::string nested(size_t depth) {
  std::string open, close;
  for (size_t i = 0; i < depth; ++i) {
    open += "<x>";
    close += "</x>";
  }
  return open + close;
}

struct BadPackage {
  const char* label;
  std::string bytes;
  const char* message;
};

TEST(XlsxHostileInput, BrokenPackagesFailWithAClearMessage) {
  const std::string good = testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")));
  PackageSpec noTypes;
  std::vector<PackagePart> parts = testing::packageParts(oneSheet(worksheet("")));
  std::vector<std::pair<std::string, std::string>> entries;
  for (const PackagePart& part : parts) entries.emplace_back(part.name, part.data);

  PackageSpec noSheetPart = oneSheet(worksheet(""));
  noSheetPart.sheets.clear();
  noSheetPart.workbookExtra = "";
  std::vector<PackagePart> missingSheet = testing::packageParts(oneSheet(worksheet("")));
  std::erase_if(missingSheet, [](const PackagePart& part) { return part.name == "xl/worksheets/sheet1.xml"; });

  const std::vector<BadPackage> cases = {
      {"not a zip", "PK\x03\x04 just some text", "not a readable workbook package"},
      {"truncated", good.substr(0, good.size() / 2), "not a readable workbook package"},
      {"no content types", testing::storedZip({entries.begin() + 1, entries.end()}), "[Content_Types].xml"},
      {"no sheet part", writePackage(missingSheet), "no part xl/worksheets/sheet1.xml"},
      {"no worksheet", testing::package(noSheetPart), "no worksheet"},
      {"malformed sheet", testing::package(oneSheet("<worksheet><sheetData><row></sheetData>")), "not well-formed"},
      {"cut sheetData", testing::package(oneSheet("<worksheet><sheetData><row r=\"1\">")), "cut short"},
      {"column past XFD", testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"))),
       "XFD1048576"},
      {"row past the last", testing::package(oneSheet(worksheet("<row r=\"1048577\"><c><v>1</v></c></row>"))),
       "outside the sheet"},
      {"cell in another row", testing::package(oneSheet(worksheet("<row r=\"2\"><c r=\"A3\"><v>1</v></c></row>"))),
       "outside its row"},
      {"overlapping columns",
       testing::package(oneSheet(worksheet("", "<cols><col min=\"1\" max=\"16384\" width=\"3\" customWidth=\"1\"/>"
                                               "<col min=\"1\" max=\"16384\" width=\"4\" customWidth=\"1\"/></cols>"))),
       "overlapping"},
      {"negative shared string",
       testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>"))),
       "shared string"},
      {"missing cell format", testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\" s=\"9\"><v>1</v></c></row>"))),
       "cell format"},
      {"number that is not", testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\"><v>1e999</v></c></row>"))),
       "number"},
      {"deep nesting", testing::package(oneSheet(worksheet("", "", "<extLst>" + nested(100000) + "</extLst>"))),
       "deeper than"},
      {"path out of the package", testing::storedZip({{"../evil.xml", "<a/>"}}), "leaves the package"},
      {"backslash path out of it", testing::storedZip({{"xl\\..\\..\\evil.xml", "<a/>"}}), "leaves the package"},
      {"absolute path", testing::storedZip({{"/etc/evil.xml", "<a/>"}}), "not a package path"},
      {"same name twice", testing::storedZip({{"a.xml", "<a/>"}, {"A.xml", "<a/>"}}), "appears twice"},
  };
  for (const BadPackage& bad : cases) {
    const std::string message = errorOf(bad.bytes);
    EXPECT_NE(message.find(bad.message), std::string::npos) << bad.label << ": " << message;
  }
}

TEST(XlsxHostileInput, ZipBombsAreStoppedWhileReading) {
  // Deflate shrinks a run of zeros about a thousand times: past the ratio any real part has.
  const std::string bomb = testing::tightlyDeflatedZip("big.xml", std::string(size_t{24} << 20, '\0'));
  EXPECT_NE(errorOf(bomb).find("zip bomb"), std::string::npos) << errorOf(bomb);

  const std::string entries = writePackage({{"a.xml", "", std::string(4000, 'a')}, {"b.xml", "", std::string(4000, 'b')}});
  auto refused = [&](const ZipLimits& limits) {
    try {
      readZipArchive(entries, limits);
    } catch (const std::runtime_error& error) {
      return std::string(error.what());
    }
    return std::string("accepted");
  };
  ZipLimits entryLimit;
  entryLimit.maxEntryBytes = 3999;
  EXPECT_NE(refused(entryLimit).find("unpacks too large"), std::string::npos);
  ZipLimits totalLimit;
  totalLimit.maxTotalBytes = 7000;
  EXPECT_NE(refused(totalLimit).find("more than its limit"), std::string::npos);
  ZipLimits countLimit;
  countLimit.maxEntries = 2;  // the content-types entry makes three
  EXPECT_NE(refused(countLimit).find("too many entries"), std::string::npos);
  EXPECT_EQ(refused(ZipLimits{}), "accepted");
}

TEST(XlsxHostileInput, HugeDeclaredSizesAllocateNothing) {
  // A dimension and a column range over the whole sheet, a cell in its last corner.
  const auto book = readXlsxWorkbook(testing::package(oneSheet(worksheet(
      "<row r=\"1048576\"><c r=\"XFD1048576\"><v>9</v></c></row>",
      "<dimension ref=\"A1:XFD1048576\"/><cols><col min=\"1\" max=\"16384\" width=\"9.5\"/></cols>"))));
  const Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.value(kMaxRows - 1, kMaxColumns - 1), CellValue::fromNumber(9));
  EXPECT_TRUE(sheet.columnFormats().empty());  // a width without customWidth is the default
}

}  // namespace
}  // namespace sx
