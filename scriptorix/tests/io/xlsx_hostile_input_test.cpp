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

std::string nested(size_t depth, const std::string& open = "<x>") {
  std::string opened, closed;
  for (size_t i = 0; i < depth; ++i) {
    opened += open;
    closed += "</x>";
  }
  return opened + closed;
}

struct BadPackage {
  const char* label;
  std::string bytes;
  const char* message;
};

TEST(XlsxHostileInput, BrokenPackagesFailWithAClearMessage) {
  const std::string good =
      testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")));
  PackageSpec noTypes;
  std::vector<PackagePart> parts = testing::packageParts(oneSheet(worksheet("")));
  std::vector<std::pair<std::string, std::string>> entries;
  for (const PackagePart& part : parts) entries.emplace_back(part.name, part.data);

  PackageSpec noSheetPart = oneSheet(worksheet(""));
  noSheetPart.sheets.clear();
  noSheetPart.workbookExtra = "";
  std::vector<PackagePart> missingSheet = testing::packageParts(oneSheet(worksheet("")));
  std::erase_if(missingSheet,
                [](const PackagePart& part) { return part.name == "xl/worksheets/sheet1.xml"; });

  std::vector<PackagePart> twinSheets = testing::packageParts(oneSheet(worksheet("")));
  for (PackagePart& part : twinSheets) {
    if (part.name != "xl/workbook.xml") continue;
    const size_t end = part.data.find("</sheets>");
    part.data.insert(end, "<sheet name=\"Twin\" sheetId=\"2\" r:id=\"rId1\"/>");
  }

  const std::vector<BadPackage> cases = {
      {"not a zip", "PK\x03\x04 just some text", "not a readable workbook package"},
      {"truncated", good.substr(0, good.size() / 2), "not a readable workbook package"},
      {"no content types", testing::storedZip({entries.begin() + 1, entries.end()}),
       "[Content_Types].xml"},
      {"no sheet part", writePackage(missingSheet), "no part xl/worksheets/sheet1.xml"},
      {"no worksheet", testing::package(noSheetPart), "no worksheet"},
      {"malformed sheet", testing::package(oneSheet("<worksheet><sheetData><row></sheetData>")),
       "not well-formed"},
      {"cut sheetData", testing::package(oneSheet("<worksheet><sheetData><row r=\"1\">")),
       "cut short"},
      {"column past XFD",
       testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"))),
       "XFD1048576"},
      {"row past the last",
       testing::package(oneSheet(worksheet("<row r=\"1048577\"><c><v>1</v></c></row>"))),
       "outside the sheet"},
      {"cell in another row",
       testing::package(oneSheet(worksheet("<row r=\"2\"><c r=\"A3\"><v>1</v></c></row>"))),
       "outside its row"},
      {"overlapping columns",
       testing::package(oneSheet(
           worksheet("",
                     "<cols><col min=\"1\" max=\"16384\" width=\"3\" customWidth=\"1\"/>"
                     "<col min=\"1\" max=\"16384\" width=\"4\" customWidth=\"1\"/></cols>"))),
       "overlapping"},
      {"negative shared string",
       testing::package(
           oneSheet(worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>"))),
       "shared string"},
      {"missing cell format",
       testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\" s=\"9\"><v>1</v></c></row>"))),
       "cell format"},
      {"number that is not",
       testing::package(oneSheet(worksheet("<row r=\"1\"><c r=\"A1\"><v>1e999</v></c></row>"))),
       "number"},
      {"deep nesting",
       testing::package(oneSheet(worksheet("", "", "<extLst>" + nested(100000) + "</extLst>"))),
       "deeper than"},
      {"deep nesting behind markup in attribute values",
       testing::package(
           oneSheet(worksheet("", "", "<extLst>" + nested(20000, "<x a=\"/>\">") + "</extLst>"))),
       "deeper than"},
      {"deep nesting inside a row",
       testing::package(
           oneSheet(worksheet("<row r=\"1\"><c r=\"A1\"><is>" + nested(200) + "</is></c></row>"))),
       "deeper than"},
      {"two sheets on one part", writePackage(twinSheets),
       "the sheets \"S\" and \"Twin\" share the part xl/worksheets/sheet1.xml"},
      {"path out of the package", testing::storedZip({{"../evil.xml", "<a/>"}}),
       "leaves the package"},
      {"backslash path out of it", testing::storedZip({{"xl\\..\\..\\evil.xml", "<a/>"}}),
       "leaves the package"},
      {"absolute path", testing::storedZip({{"/etc/evil.xml", "<a/>"}}), "not a package path"},
      {"same name twice", testing::storedZip({{"a.xml", "<a/>"}, {"A.xml", "<a/>"}}),
       "appears twice"},
      {"exactly the same name twice",
       testing::storedZip({{"a.xml", "<a/>"},
                           {"xl/worksheets/sheet1.xml", "<a/>"},
                           {"xl/worksheets/sheet1.xml", "<b/>"}}),
       "the entry \"xl/worksheets/sheet1.xml\" appears twice"},
  };
  for (const BadPackage& bad : cases) {
    const std::string message = errorOf(bad.bytes);
    EXPECT_NE(message.find(bad.message), std::string::npos) << bad.label << ": " << message;
  }
}

TEST(XlsxHostileInput, NestingUpToTheLimitIsRead) {
  // worksheet > extLst > 126 levels: 128 in all.
  const auto book = readXlsxWorkbook(testing::package(
      oneSheet(worksheet("", "", "<extLst>" + nested(126, "<x a=\"/>\">") + "</extLst>"))));
  EXPECT_EQ(book->sheetCount(), 1u);
}

// cells sharing the formula of A1 down column A
std::string sharedFormulaSheet(const std::string& formula, int cells) {
  std::string rows = "<row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A" + std::to_string(cells) +
                     "\" si=\"0\">" + formula + "</f><v>1</v></c></row>";
  for (int row = 2; row <= cells; ++row) {
    rows += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) +
            "\"><f t=\"shared\" si=\"0\"/><v>1</v></c></row>";
  }
  return worksheet(rows);
}

TEST(XlsxHostileInput, SharedFormulasCannotMultiplyIntoGigabytes) {
  std::string longFormula = "B1";
  while (longFormula.size() < 7000) longFormula += "+B1";
  const std::string message =
      errorOf(testing::package(oneSheet(sharedFormulaSheet(longFormula, 3000))));
  EXPECT_NE(message.find("shared formulas that expand to more formula text"), std::string::npos)
      << message;
  // Ordinary sharing is far below the limit.
  const auto book =
      readXlsxWorkbook(testing::package(oneSheet(sharedFormulaSheet("B1*2+C1", 20000))));
  EXPECT_EQ(book->sheet(0).formula(19999, 0), u"B20000*2+C20000");
}

TEST(XlsxHostileInput, ZipBombsAreStoppedWhileReading) {
  // Deflate shrinks a run of zeros about a thousand times: past the ratio any real part has.
  const std::string bomb =
      testing::tightlyDeflatedZip("big.xml", std::string(size_t{24} << 20, '\0'));
  EXPECT_NE(errorOf(bomb).find("zip bomb"), std::string::npos) << errorOf(bomb);

  const std::string entries =
      writePackage({{"a.xml", "", std::string(4000, 'a')}, {"b.xml", "", std::string(4000, 'b')}});
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

// The writer never makes a package the reader would refuse for its number of entries.
TEST(XlsxHostileInput, TheWriterKeepsToTheReadersEntryLimit) {
  const std::vector<PackagePart> parts(ZipLimits{}.maxEntries, PackagePart{"p.xml", "", ""});
  try {
    writePackage(parts);
    ADD_FAILURE() << "a package of too many parts was written";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("more than the 100000"), std::string::npos)
        << error.what();
  }
}

TEST(XlsxHostileInput, HugeDeclaredSizesAllocateNothing) {
  // A dimension and a column range over the whole sheet, a cell in its last corner.
  const auto book = readXlsxWorkbook(testing::package(
      oneSheet(worksheet("<row r=\"1048576\"><c r=\"XFD1048576\"><v>9</v></c></row>",
                         "<dimension ref=\"A1:XFD1048576\"/><cols><col min=\"1\" max=\"16384\" "
                         "width=\"9.5\"/></cols>"))));
  const Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.value(kMaxRows - 1, kMaxColumns - 1), CellValue::fromNumber(9));
  EXPECT_TRUE(sheet.columnFormats().empty());  // a width without customWidth is the default
}

}  // namespace
}  // namespace sx
