#include <gtest/gtest.h>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_fixtures.h"
#include "package_reader.h"

namespace sx {
namespace {

TEST(DateSystemInFiles, A1904WorkbookCalculatesAndShowsDatesFrom1904) {
  testing::PackageSpec layout;
  layout.sheets.push_back({"S", testing::worksheet("<row r=\"1\"><c r=\"A1\"><v>43830</v></c>"
                                                   "<c r=\"B1\"><f>YEAR(A1)</f><v>2024</v></c>"
                                                   "</row>")});
  layout.workbookExtra = "";
  layout.bookViews = "<workbookPr date1904=\"1\"/>";
  const auto book = readXlsxWorkbook(testing::package(layout));
  ASSERT_EQ(book->dateSystem(), formula::DateSystem::From1904);
  Sheet& sheet = book->sheet(0);
  sheet.setNumberFormat(parseRangeRef(u"A1"), u"yyyy-mm-dd");
  EXPECT_EQ(sheet.displayText(0, 0), u"2024-01-01");
  sheet.setNumber(parseRangeRef(u"A1"), 0);  // B1 is calculated again, from 1904
  EXPECT_EQ(sheet.value(0, 1), CellValue::fromNumber(1904));
  // Saved as a new package, the workbook still says so.
  std::string workbookXml;
  for (const PackagePart& part : buildWorkbookParts(*book, FileFormat::Xlsx)) {
    if (part.name == "xl/workbook.xml") workbookXml = part.data;
  }
  EXPECT_NE(workbookXml.find("date1904"), std::string::npos);
}

}  // namespace
}  // namespace sx
