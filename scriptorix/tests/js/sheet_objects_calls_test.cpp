#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

using namespace std::string_literals;

TEST(SheetObjectCalls, NotesAreAddedReplacedMovedAndRemoved) {
  expectAllPass({
      {"add, replace and read",
       "s.GetRange('B2').SetNote('first', 'Ann'); same(s.GetRange('B2').GetNote(), {text: 'first', author: 'Ann'});"
       " s.GetRange('b2').SetNote('second'); same(s.GetRange('B2').GetNote(), {text: 'second', author: ''});"
       " same(s.GetRange('B3').GetNote(), null);"},
      {"removed by null and by ClearNotes over a range",
       "s.GetRange('A1').SetNote('a'); s.GetRange('C3').SetNote('c'); s.GetRange('E5').SetNote('e');"
       " s.GetRange('A1').SetNote(null); same(s.GetRange('A1').GetNote(), null);"
       " s.GetRange('B2:D4').ClearNotes(); same(s.GetRange('C3').GetNote(), null); same(s.GetRange('E5').GetNote().text, 'e');"},
      {"follow inserted rows and go with deleted cells",
       "s.GetRange('B2').SetNote('moves'); s.GetRange('C2').SetNote('goes');"
       " s.GetRows('1:2').Insert('down'); same(s.GetRange('B4').GetNote().text, 'moves'); same(s.GetRange('B2').GetNote(), null);"
       " s.GetRange('C4').Delete('up'); same(s.GetRange('C4').GetNote(), null); same(s.GetRange('B4').GetNote().text, 'moves');"},
      {"one cell, text and a length limit",
       "throwsWith(function () { s.GetRange('A1:B2').SetNote('x'); }, 'works on one cell, not A1:B2');"
       " throwsWith(function () { s.GetRange('A1').SetNote(5); }, 'argument 1 must be a string');"
       " throwsWith(function () { s.GetRange('A1').SetNote('x'.repeat(32768)); }, 'at most 32767');"
       " throwsWith(function () { s.GetRange('A1').GetNote(1); }, 'takes 0 arguments');"},
  }, kNewWorkbookWithSheet);
}

TEST(SheetObjectCalls, ChartsCheckTheirTypeSeriesAndOptions) {
  expectAllPass({
      {"every type",
       "s.GetRange('A1:C3').SetValue([['m', 'a', 'b'], ['x', 1, 2], ['y', 3, 4]]);"
       " ['column', 'BAR', 'line', 'pie', 'scatter', 'area'].forEach(function (t, i) {"
       "   s.AddChart(t, 'E' + (1 + i * 10) + ':J' + (9 + i * 10), {series: [{values: 'B2:B3', categories: 'A2:A3', nameCell: 'B1'}]}); });"
       " s.AddChart('bar', 'L1:P9', {series: [{values: 'B2:B3'}, {values: 'C2:C3', name: 'b'}], grouping: 'percentStacked',"
       "   title: 'T', categoryAxisTitle: 'x', valueAxisTitle: 'y', legend: 'top'});"},
      {"references on other sheets must name one that exists",
       "Api.AddSheet('My data'); s.AddChart('line', 'A1:F9', {series: [{values: \"'My data'!B2:B9\"}]});"
       " throwsWith(function () { s.AddChart('line', 'A1:F9', {series: [{values: 'Nope!B2:B9'}]}); },"
       " 'series 1: option \"values\" names a sheet that does not exist: Nope');"},
      {"wrong types, words and options",
       "throwsWith(function () { s.AddChart('donut', 'A1:F9', {series: [{values: 'B2:B3'}]}); }, 'Unknown chart type \"donut\"');"
       " throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: []}); }, 'must hold 1 to 255 series');"
       " throwsWith(function () { s.AddChart('pie', 'A1:F9', {}); }, 'option \"series\" must be an array');"
       " throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{categories: 'A1:A2'}]}); }, 'option \"values\" is missing');"
       " throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{values: 'B2:B3', grouping: 1}]}); }, 'series 1: unknown option \"grouping\"');"
       " throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{values: 'B2:B3'}], grouping: 'stacked'}); }, 'is for column, bar, line and area');"
       " throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3'}], legend: 'middle'}); }, 'Unknown legend position');"
       " throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3', name: 'n', nameCell: 'A1'}]}); }, 'cannot be given with nameCell');"
       " throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B:B'}]}); }, 'must be cells');"
       " throwsWith(function () { s.AddChart('bar', '3:9', {series: [{values: 'B2:B3'}]}); }, 'not whole rows or columns');"
       " throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3'}], titel: 'x'}); }, 'unknown option \"titel\"');"},
      {"chart sheets take a sheet name of their own",
       "Api.AddChartSheet('Overview', 'pie', {series: [{values: 'B2:B3'}]}); same(Api.GetChartSheetNames(), ['Overview']);"
       " throwsWith(function () { Api.AddChartSheet('sheet1', 'pie', {series: [{values: 'B2:B3'}]}); }, 'already exists');"
       " throwsWith(function () { Api.AddSheet('OVERVIEW'); }, 'already exists');"
       " throwsWith(function () { Api.AddChartSheet('a:b', 'pie', {series: [{values: 'B2:B3'}]}); }, 'cannot contain');"
       " same(Api.GetSheets().length, 1);"},
  }, kNewWorkbookWithSheet);
}

TEST(SheetObjectCalls, TablesNameTheirColumnsAndWriteTheirTotals) {
  expectAllPass({
      {"header names made unique and written back",
       "s.GetRange('A1:D3').SetValue([['Item', '', 'item', 2024], ['a', 1, 2, 3], ['b', 4, 5, 6]]);"
       " s.AddTable('A1:D3', 'Sales'); same(s.GetTableNames(), ['Sales']);"
       " same(s.GetRange('A1:D1').GetValue(), [['Item', 'Column2', 'item2', '2024']]);"},
      {"totals row below the data with SUBTOTAL formulas and labels",
       "s.GetRange('A1:C3').SetValue([['Item', 'Qty', 'Price'], ['a', 1, 2], ['b', 4, 5]]);"
       " s.AddTable('A1:C3', 'Totals', {totals: {Item: {label: 'Total'}, Qty: 'sum', Price: 'average'}, style: 'TableStyleLight9', bandedColumns: true});"
       " same(s.GetRange('A4').GetValue(), 'Total'); same(s.GetRange('B4').GetFormula(), '=SUBTOTAL(109,B2:B3)');"
       " same(s.GetRange('C4').GetFormula(), '=SUBTOTAL(101,C2:C3)');"},
      {"rows inserted inside grow the table; a cut is refused",
       "s.GetRange('A1:B3').SetValue([['k', 'v'], ['a', 1], ['b', 2]]); s.AddTable('A1:B3', 'T');"
       " s.GetRows('3:3').Insert('down');"
       " throwsWith(function () { s.GetRange('B2').Insert('down'); }, 'Cannot move part of table T');"
       " s.AddTable('A6:B7', 'U'); throwsWith(function () { s.AddTable('B4:C8', 'V'); }, 'overlaps table');"},
      {"names are checked and unique across tables and defined names",
       "s.GetRange('A1:B2').SetValue([['k', 'v'], ['a', 1]]); s.GetRange('D1:E2').SetValue([['k', 'v'], ['a', 1]]);"
       " s.AddTable('A1:B2', 'Sales');"
       " throwsWith(function () { s.AddTable('D1:E2', 'SALES'); }, 'already used');"
       " s.AddDefName('Rates', 'A1'); throwsWith(function () { s.AddTable('D1:E2', 'rates'); }, 'already used');"
       " throwsWith(function () { s.AddTable('D1:E2', 'B2'); }, 'Not a valid table name');"
       " throwsWith(function () { s.AddTable('D1:E2', 'two words'); }, 'Not a valid table name');"
       " throwsWith(function () { s.AddDefName('sales', 'A1'); }, 'already a table');"},
      {"a totals row never writes over data",
       "s.GetRange('A1:B3').SetValue([['k', 'v'], ['a', 1], ['b', 2]]); s.GetRange('B4').SetValue('kept');"
       " throwsWith(function () { s.AddTable('A1:B3', 'T', {totals: {v: 'sum'}}); }, 'totals row 4 below the table is not empty');"
       " same(s.GetRange('B4').GetValue(), 'kept'); same(s.GetTableNames(), []);"},
      {"wrong shapes and options",
       "throwsWith(function () { s.AddTable('A:B', 'T'); }, 'not whole rows or columns');"
       " throwsWith(function () { s.AddTable('A1:B1', 'T'); }, 'at least one row of data');"
       " s.GetRange('A1:B1').Merge(); throwsWith(function () { s.AddTable('A1:C4', 'T'); }, 'cannot hold merged cells');"
       " throwsWith(function () { s.AddTable('D1:E4', 'T', {totals: {Column1: 'median'}}); }, 'Unknown totals function');"
       " throwsWith(function () { s.AddTable('D1:E4', 'T', {totals: {Column1: {}}}); }, 'option \"label\" is missing');"
       " throwsWith(function () { s.AddTable('D1:E4', 'T', {header: false}); }, 'unknown option \"header\"');"
       " s.AddTable('D1:E4', 'NoHeader', {headerRow: false}); same(s.GetRange('D1').GetValue(), '');"
       " throwsWith(function () { s.AddTable('G1:H4', 'T1'); }, 'Not a valid table name');"},
  }, kNewWorkbookWithSheet);
}

class PictureCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("sx_js_pictures_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    // The signature and header of a 4 x 2 PNG: the engine reads no further.
    std::ofstream(folder_ / "logo.png", std::ios::binary)
        << "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x04\0\0\0\x02\x08\x02\0\0\0"s;
    std::ofstream(folder_ / "fake.jpg") << "not a picture";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string prelude() const {
    return std::string(kNewWorkbookWithSheet) + "var dir = '" + folder_.string() + "/'; ";
  }
  std::filesystem::path folder_;
};

TEST_F(PictureCalls, PicturesAreCheckedBeforeTheyAreAdded) {
  expectAllPass({
      {"one-cell and two-cell anchors with sizes",
       "s.AddImage(dir + 'logo.png', 'B2'); s.AddImage(dir + 'logo.png', 'D2', {scale: 10});"
       " s.AddImage(dir + 'logo.png', 'F2', {width: 100}); s.AddImage(dir + 'logo.png', 'H2:J9');"},
      {"files that are missing, not files or not pictures",
       "throwsWith(function () { s.AddImage(dir + 'absent.png', 'B2'); }, 'Image file not found');"
       " throwsWith(function () { s.AddImage(dir, 'B2'); }, 'not a file');"
       " throwsWith(function () { s.AddImage(dir + 'fake.jpg', 'B2'); }, 'not a PNG or JPEG');"
       " throwsWith(function () { s.AddImage('', 'B2'); }, 'the path is empty');"},
      {"sizes that do not fit the anchor or each other",
       "throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {scale: 2, width: 9}); }, 'cannot be given with width');"
       " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2:C3', {width: 9}); }, 'anchored at one cell');"
       " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {width: 0}); }, 'from 1 to 100000 pixels');"
       " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {scale: -1}); }, 'above 0');"
       " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', 5); }, 'must be an object of options');"
       " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B:B'); }, 'not whole rows or columns');"},
  }, prelude());
}

TEST_F(PictureCalls, AnOpenedWorkbookTakesObjectsOnNewSheetsOnly) {
  const std::string book = (folder_ / "book.xlsx").string();
  const std::string script =
      std::string(kNewWorkbookWithSheet) + "s.GetRange('A1:B2').SetValue([['k', 'v'], ['a', 1]]); s.AddTable('A1:B2', 'Kept');"
      " builder.SaveFile('xlsx', '" + book + "'); builder.CloseFile(); builder.OpenFile('" + book + "'); s = Api.GetActiveSheet();"
      " throwsWith(function () { s.GetRange('D1').SetNote('x'); }, 'not to a sheet of an opened file');"
      " throwsWith(function () { s.AddChart('pie', 'D1:H9', {series: [{values: 'B2'}]}); }, 'not to a sheet of an opened file');"
      " throwsWith(function () { Api.AddChartSheet('C', 'pie', {series: [{values: 'B2'}]}); }, 'not to an opened file');"
      " same(s.GetRange('D1').GetNote(), null); same(Api.GetChartSheetNames(), []);"
      " var added = Api.AddSheet('Added'); added.GetRange('A1:B2').SetValue([['k', 'v'], ['b', 2]]);"
      " throwsWith(function () { added.AddTable('A1:B2', 'KEPT'); }, 'already used');"
      " added.AddTable('A1:B2', 'New'); added.GetRange('C1').SetNote('fine');"
      " added.AddChart('column', 'D1:H9', {series: [{values: \"'Sheet1'!B2\"}]});";
  const auto outcome = runChecked(script);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
