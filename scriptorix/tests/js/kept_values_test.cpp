#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "../io/package_fixtures.h"
#include "../io/package_reader.h"
#include "script_harness.h"

namespace sx::testing {
namespace {

// A workbook as the desktop application saves it: every formula with its cached value.
class KeptValues : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("sx_js_kept_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    PackageSpec layout;
    layout.sheets.push_back(
        {"Data", worksheet("<row r=\"1\"><c r=\"A1\"><v>2</v></c>"
                           "<c r=\"B1\"><f>A1*10</f><v>20</v></c>"
                           "<c r=\"C1\"><f>MYADDIN(A1)</f><v>77</v></c>"
                           "<c r=\"D1\" t=\"str\"><f>_xlfn.TEXTSPLITX(A1)</f><v>kept</v></c>"
                           "<c r=\"E1\"><f>C1+1</f><v>78</v></c>"
                           "<c r=\"F1\"><f>_xlfn.IFS(A1&gt;2,1,TRUE,2)</f><v>2</v></c></row>")});
    layout.workbookExtra = "<calcPr calcId=\"191029\"/>";
    std::ofstream(folder_ / "in.xlsx", std::ios::binary) << package(layout);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return "'" + (folder_ / name).string() + "'"; }

  std::filesystem::path folder_;
};

TEST_F(KeptValues, GetValueAnswersTheFilesValueForWhatCannotBeCalculated) {
  const auto outcome = runChecked(
      "builder.OpenFile(" + path("in.xlsx") +
      "); var s = Api.GetActiveSheet();"
      " same(s.GetRange('C1').GetValue(), 77); same(s.GetRange('D1').GetValue(), 'kept');"
      " same(s.GetRange('F1').GetFormula(), '=IFS(A1>2,1,TRUE,2)');"
      " same(s.GetRange('D1').GetFormula(), '=_xlfn.TEXTSPLITX(A1)');"  // unknown: as it came
      " s.GetRange('A1').SetValue(3);"
      " same(s.GetRange('F1').GetValue(), 1);"
      " same(s.GetRange('B1').GetValue(), 30);"  // calculable: follows the edit
      " same(s.GetRange('C1').GetValue(), 77);"  // not calculable: the file's value stays
      " same(s.GetRange('E1').GetValue(), 78);"
      " builder.SaveFile('xlsx', " +
      path("out.xlsx") + "); builder.CloseFile();");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.errorLine;
  std::ifstream file(folder_ / "out.xlsx", std::ios::binary);
  const UnpackedZip parts = unpackZip(
      std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
  const std::string& saved = parts.entries.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(saved.find("<f>MYADDIN(A1)</f><v>77</v>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<v>kept</v>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<f>_xlfn.IFS(A1&gt;2,1,TRUE,2)</f><v>1</v>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<f>_xlfn.TEXTSPLITX(A1)</f>"), std::string::npos) << saved;
  const std::string& workbook = parts.entries.at("xl/workbook.xml");
  EXPECT_NE(workbook.find("fullCalcOnLoad=\"1\""), std::string::npos) << workbook;
}

}  // namespace
}  // namespace sx::testing
