#include <gtest/gtest.h>

#include "io/xlsx_reader.h"
#include "package_fixtures.h"

namespace sx {
namespace {

TEST(ArrayFormulasInFiles, AreCalculatedOverWholeArrays) {
  testing::PackageSpec layout;
  std::string rows;
  for (int row = 1; row <= 3; ++row) {
    const std::string r = std::to_string(row);
    rows += "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + r + "</v></c><c r=\"B" + r +
            "\"><v>10</v></c></row>";
  }
  rows +=
      "<row r=\"5\"><c r=\"A5\"><f t=\"array\" ref=\"A5\">SUM(A1:A3*B1:B3)</f><v>60</v></c>"
      "<c r=\"B5\"><f>SUM(A1:A3*B1:B3)</f><v>10</v></c></row>";
  layout.sheets.push_back({"S", testing::worksheet(rows)});
  const auto book = readXlsxWorkbook(testing::package(layout));
  Sheet& sheet = book->sheet(0);
  EXPECT_EQ(sheet.value(4, 0), CellValue::fromNumber(60));
  sheet.setNumber(parseRangeRef(u"A1"), 4);  // both are calculated again
  EXPECT_EQ(sheet.value(4, 0), CellValue::fromNumber(90));
  // Entered as an ordinary formula, the product reads the row's cells by intersection: #VALUE!
  // in row 5, as in the application.
  EXPECT_EQ(sheet.value(4, 1), CellValue::fromError(u"#VALUE!"));
}

}  // namespace
}  // namespace sx
