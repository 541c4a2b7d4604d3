#include <gtest/gtest.h>

#include <stdexcept>

#include "core/utf.h"
#include "model/sheet.h"
#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

TEST(TableColumnNames, EmptyAndRepeatedHeadersAsTheApplicationNamesThem) {
  EXPECT_EQ(uniqueColumnNames({u"Item", u"", u"item", u"Item2", u"ITEM"}),
            (std::vector<std::u16string>{u"Item", u"Column2", u"item3", u"Item2", u"ITEM4"}));
  // A generated name never takes one that a later header states.
  EXPECT_EQ(uniqueColumnNames({u"", u"Column1"}),
            (std::vector<std::u16string>{u"Column1", u"Column12"}));
}

TEST(TableNames, FollowTheDefinedNameRules) {
  for (const char16_t* good : {u"Sales", u"_tbl", u"Sales.2024", u"Ventes_été"}) {
    EXPECT_NO_THROW(checkTableName(good)) << toUtf8(good);
  }
  for (const char16_t* bad : {u"", u"1st", u"A1", u"R1C1", u"has space", u"a-b"}) {
    EXPECT_THROW(checkTableName(bad), std::invalid_argument) << toUtf8(bad);
  }
}

TEST(TotalsFunctions, SubtotalCodesSkipHiddenRows) {
  EXPECT_EQ(subtotalCode(parseTotalsFunction(u"SUM")), 109);
  EXPECT_EQ(subtotalCode(parseTotalsFunction(u"countNums")), 102);
  EXPECT_EQ(totalsFunctionName(parseTotalsFunction(u"countnums")), "countNums");
  EXPECT_EQ(subtotalCode(TotalsFunction::None), 0);
  EXPECT_THROW(parseTotalsFunction(u"median"), std::invalid_argument);
}

class SheetObjectsShift : public ::testing::Test {
 protected:
  Workbook book;
  Sheet& sheet = book.sheet(0);
};

TEST_F(SheetObjectsShift, NotesMoveWithTheirCellsAndGoWithThem) {
  sheet.objects().notes[{1, 1}] = {u"Ann", u"on B2"};
  sheet.objects().notes[{4, 1}] = {u"Bo", u"on B5"};
  sheet.objects().notes[{4, 3}] = {u"Cy", u"on D5"};
  sheet.insertCells(at(u"2:3"), InsertShift::Down);
  sheet.deleteCells(at(u"B7"), DeleteShift::Up);
  const auto& notes = sheet.objects().notes;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes.at({3, 1}).text, u"on B2");
  EXPECT_EQ(notes.at({6, 3}).text, u"on D5");  // beside the deleted cell, not moved
}

TEST_F(SheetObjectsShift, AnchorsFollowAndACoveredAnchorStaysAtTheBand) {
  SheetChart chart;
  chart.anchor.cells = at(u"C5:F10");
  sheet.objects().charts.push_back(chart);
  SheetImage image;
  image.anchor = {at(u"B3"), true, 10, 10};
  sheet.objects().images.push_back(image);
  sheet.insertCells(at(u"A:A"), InsertShift::Right);
  EXPECT_EQ(sheet.objects().charts[0].anchor.cells, at(u"D5:G10"));
  sheet.deleteCells(at(u"2:4"), DeleteShift::Up);
  EXPECT_EQ(sheet.objects().charts[0].anchor.cells, at(u"D2:G7"));
  EXPECT_EQ(sheet.objects().images[0].anchor.cells, at(u"C2"));
}

TEST_F(SheetObjectsShift, TablesGrowWithRowsAndRefuseBeingCut) {
  SheetTable table;
  table.name = u"Sales";
  table.range = at(u"B2:D6");
  table.columns = {{u"a", {}, {}}, {u"b", {}, {}}, {u"c", {}, {}}};
  sheet.objects().tables.push_back(table);
  sheet.insertCells(at(u"4:4"), InsertShift::Down);
  EXPECT_EQ(sheet.objects().tables[0].range, at(u"B2:D7"));
  EXPECT_THROW(sheet.insertCells(at(u"C3:C4"), InsertShift::Down), std::runtime_error);
  EXPECT_THROW(sheet.insertCells(at(u"C:C"), InsertShift::Right), std::runtime_error);
  EXPECT_EQ(sheet.objects().tables[0].range, at(u"B2:D7"));
  sheet.insertCells(at(u"A:A"), InsertShift::Right);
  EXPECT_EQ(sheet.objects().tables[0].range, at(u"C2:E7"));
  sheet.deleteCells(at(u"1:10"), DeleteShift::Up);
  EXPECT_TRUE(sheet.objects().tables.empty());
}

TEST_F(SheetObjectsShift, ChartReferencesFollowInsertsRenamesAndDeletedSheets) {
  Sheet& data = book.addSheet(u"Data");
  SheetChart chart;
  chart.series.push_back({u"Data!$B$2:$B$5", u"Data!$A$2:$A$5", u"Data!$B$1", u""});
  sheet.objects().charts.push_back(chart);
  data.insertCells(at(u"1:1"), InsertShift::Down);
  book.renameSheet(data, u"My data");
  const ChartSeries& series = sheet.objects().charts[0].series[0];
  EXPECT_EQ(series.values, u"'My data'!$B$3:$B$6");
  EXPECT_EQ(series.categories, u"'My data'!$A$3:$A$6");
  EXPECT_EQ(series.nameCell, u"'My data'!$B$2");
  book.removeSheet(data);
  EXPECT_EQ(sheet.objects().charts[0].series[0].values.find(u"#REF!"), 0u);
}

TEST(ChartSheets, ShareTheSheetNamesAndIds) {
  Workbook book;
  const ChartSheet& chart = book.addChartSheet(u"Overview", SheetChart{});
  EXPECT_EQ(chart.afterSheetId, book.sheet(0).id());
  EXPECT_NE(chart.id, book.sheet(0).id());
  EXPECT_THROW(book.addSheet(u"OVERVIEW"), std::invalid_argument);
  EXPECT_THROW(book.addChartSheet(u"sheet1", SheetChart{}), std::invalid_argument);
  EXPECT_NE(book.addSheet(u"Next").id(), chart.id);
}

}  // namespace
}  // namespace sx
