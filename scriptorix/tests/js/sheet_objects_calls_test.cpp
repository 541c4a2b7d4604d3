#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

using namespace std::string_literals;

class PictureCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("sx_js_pictures_" + std::to_string(getpid()));
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
  expectAllPass(
      {
          {"one-cell and two-cell anchors with sizes",
           "s.AddImage(dir + 'logo.png', 'B2'); s.AddImage(dir + 'logo.png', 'D2', {scale: 10});"
           " s.AddImage(dir + 'logo.png', 'F2', {width: 100}); s.AddImage(dir + 'logo.png', "
           "'H2:J9');"},
          {"files that are missing, not files or not pictures",
           "throwsWith(function () { s.AddImage(dir + 'absent.png', 'B2'); }, 'Image file not "
           "found');"
           " throwsWith(function () { s.AddImage(dir, 'B2'); }, 'not a file');"
           " throwsWith(function () { s.AddImage(dir + 'fake.jpg', 'B2'); }, 'not a PNG or JPEG');"
           " throwsWith(function () { s.AddImage('', 'B2'); }, 'the path is empty');"},
          {"sizes that do not fit the anchor or each other",
           "throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {scale: 2, width: 9}); }, "
           "'cannot be given with width');"
           " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2:C3', {width: 9}); }, "
           "'anchored at one cell');"
           " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {width: 0}); }, 'from 1 "
           "to 100000 pixels');"
           " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', {scale: -1}); }, 'above "
           "0');"
           " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B2', 5); }, 'must be an object "
           "of options');"
           " throwsWith(function () { s.AddImage(dir + 'logo.png', 'B:B'); }, 'not whole rows or "
           "columns');"},
      },
      prelude());
}

TEST_F(PictureCalls, AnOpenedWorkbookTakesObjectsOnNewSheetsOnly) {
  const std::string book = (folder_ / "book.xlsx").string();
  const std::string script =
      std::string(kNewWorkbookWithSheet) +
      "s.GetRange('A1:B2').SetValue([['k', 'v'], ['a', 1]]); s.AddTable('A1:B2', 'Kept');"
      " builder.SaveFile('xlsx', '" +
      book + "'); builder.CloseFile(); builder.OpenFile('" + book +
      "'); s = Api.GetActiveSheet();"
      " throwsWith(function () { s.GetRange('D1').SetNote('x'); }, 'not to a sheet of an opened "
      "file');"
      " throwsWith(function () { s.AddChart('pie', 'D1:H9', {series: [{values: 'B2'}]}); }, 'not "
      "to a sheet of an opened file');"
      " throwsWith(function () { Api.AddChartSheet('C', 'pie', {series: [{values: 'B2'}]}); }, "
      "'not to an opened file');"
      " same(s.GetRange('D1').GetNote(), null); same(Api.GetChartSheetNames(), []);"
      " var added = Api.AddSheet('Added'); added.GetRange('A1:B2').SetValue([['k', 'v'], ['b', "
      "2]]);"
      " throwsWith(function () { added.AddTable('A1:B2', 'KEPT'); }, 'already used');"
      " added.AddTable('A1:B2', 'New'); added.GetRange('C1').SetNote('fine');"
      " added.AddChart('column', 'D1:H9', {series: [{values: \"'Sheet1'!B2\"}]});";
  const auto outcome = runChecked(script);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
