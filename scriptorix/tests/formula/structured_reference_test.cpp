#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "formula/structured_reference.h"

namespace sx::formula {
namespace {

// Sales at B2:D8 of sheet 3: a header row (2), data rows 3 to 7, a totals row (8); columns
// Region (B), Amount (C) and "Tax [%]" (D).
TableShape sales() { return {{3, 1, 1, 7, 3}, 1, 1, {u"Region", u"Amount", u"Tax [%]"}}; }

std::string picked(std::u16string_view specifier, int32_t row = -1,
                   const TableShape& table = sales()) {
  const std::optional<Area> area = resolveStructuredReference(specifier, table, row);
  if (!area) return "none";
  EXPECT_EQ(area->sheet, 3);
  return std::to_string(area->firstRow + 1) + ":" + std::to_string(area->lastRow + 1) + " col " +
         std::to_string(area->firstColumn) + "-" + std::to_string(area->lastColumn);
}

TEST(StructuredReference, PicksRowsAndColumnsAsTheApplicationDoes) {
  EXPECT_EQ(picked(u"Amount"), "3:7 col 2-2");
  EXPECT_EQ(picked(u""), "3:7 col 1-3");
  EXPECT_EQ(picked(u"#All"), "2:8 col 1-3");
  EXPECT_EQ(picked(u"#headers"), "2:2 col 1-3");
  EXPECT_EQ(picked(u"[#Totals],[Amount]"), "8:8 col 2-2");
  EXPECT_EQ(picked(u"[#Headers],[#Data],[Region]"), "2:7 col 1-1");
  EXPECT_EQ(picked(u"[#Data], [#Totals], [Region]:[Amount]"), "3:8 col 1-2");
  EXPECT_EQ(picked(u"[Tax '[%']]:[Region]"), "3:7 col 1-3");
  EXPECT_EQ(picked(u"AMOUNT"), "3:7 col 2-2");  // column names ignore case
}

TEST(StructuredReference, ThisRowIsTheFormulasRowInsideTheData) {
  EXPECT_EQ(picked(u"@Amount", 4), "5:5 col 2-2");
  EXPECT_EQ(picked(u"@[Tax '[%']]", 6), "7:7 col 3-3");
  EXPECT_EQ(picked(u"[#This Row],[Region]:[Amount]", 2), "3:3 col 1-2");
  EXPECT_EQ(picked(u"@Amount"), "3:7 col 2-2");  // any row: the whole column, for dependencies
  EXPECT_EQ(picked(u"@Amount", 7), "none");      // the totals row
  EXPECT_EQ(picked(u"@Amount", 1), "none");      // the header row
}

TEST(StructuredReference, MissingPartsResolveToNothing) {
  EXPECT_EQ(picked(u"Price"), "none");  // a column renamed or never there
  EXPECT_EQ(picked(u"[Region]:[Price]"), "none");
  EXPECT_EQ(picked(u"[#Headers],[#Totals]"), "none");  // not adjacent
  EXPECT_EQ(picked(u"[Amount],"), "none");
  EXPECT_EQ(picked(u"[Amount"), "none");
  const TableShape bare{{3, 1, 1, 4, 2}, 0, 0, {u"A", u"B"}};
  EXPECT_EQ(picked(u"#Totals", -1, bare), "none");
  EXPECT_EQ(picked(u"#Headers", -1, bare), "none");
  EXPECT_EQ(picked(u"#All", -1, bare), "2:5 col 1-2");
}

TEST(StructuredReference, IsOneTokenWithItsTableName) {
  EXPECT_EQ(matchStructuredReference(u"Sales[[#Totals],[Amount]]*2", 0), 25u);
  EXPECT_EQ(matchStructuredReference(u"[@[Tax '[%']]]+1", 0), 14u);
  EXPECT_EQ(matchStructuredReference(u"[1]Sheet1!A1", 0), 0u);  // another workbook
  EXPECT_EQ(matchStructuredReference(u"Sales[Amount", 0), 0u);
  EXPECT_EQ(matchStructuredReference(u"Sales", 0), 0u);
  const auto split = splitStructuredReference(u"Sales[[#Totals],[Amount]]");
  ASSERT_TRUE(split);
  EXPECT_EQ(split->table, u"Sales");
  EXPECT_EQ(split->specifier, u"[#Totals],[Amount]");
  EXPECT_FALSE(splitStructuredReference(u"Sales[Amount]+1"));
}

}  // namespace
}  // namespace sx::formula
