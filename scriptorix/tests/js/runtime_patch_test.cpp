#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "js/fonts_list.h"
#include "js/session.h"
#include "script_harness.h"

namespace sx::testing {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
}

// A runtime staged the way the helper does it: a patched copy of native.js beside a settings
// file of seven lines naming it and the installed scripts by absolute path.
class StagedRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    installed_ = builtRuntimeDirectory();
    staged_ = fs::temp_directory_path() / ("sx_js_staged_" + std::to_string(getpid()) + " & <x>");
    fs::remove_all(staged_);
    fs::create_directories(staged_);
  }
  void TearDown() override { fs::remove_all(staged_); }

  RuntimeConfig stage(bool patch) {
    std::string native = readAll(installed_ / "sdkjs/common/Native/native.js");
    const std::string head = "function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE";
    const size_t at = native.find(head);
    EXPECT_EQ(at, 0u) << "native.js must begin with the text the helper patches";
    if (patch && at != std::string::npos) {
      native.replace(at, head.size(),
                     "function NativeOpenFileData(t,i,n,e){e=e||{DstType:\"XLSX\"};"
                     "window.NATIVE_DOCUMENT_TYPE");
    }
    writeAll(staged_ / "native_patched.js", native);
    const std::string root = installed_.generic_string();
    writeAll(staged_ / "DoctRenderer.config",
             "<Settings>\n<file>" + (staged_ / "native_patched.js").generic_string() +
                 "</file>\n<file>" + root + "/sdkjs/common/Native/jquery_native.js" +
                 "</file>\n<allfonts>./AllFonts.js</allfonts>\n<file>" + root +
                 "/web-apps/vendor/xregexp/xregexp-all-min.js</file>\n<sdkjs>" + root +
                 "/sdkjs</sdkjs>\n</Settings>\n");
    fs::copy_file(installed_ / "AllFonts.js", staged_ / "AllFonts.js",
                  fs::copy_options::overwrite_existing);
    return readRuntimeConfig(staged_ / "DoctRenderer.config");
  }

  fs::path installed_;
  fs::path staged_;
};

TEST_F(StagedRuntime, HelperConfigWithSpecialCharactersLoads) {
  const RuntimeConfig config = stage(true);
  ASSERT_EQ(config.scripts.size(), 3u);
  EXPECT_EQ(config.scripts[0], staged_ / "native_patched.js");
  EXPECT_EQ(config.fontsList, staged_ / "./AllFonts.js");
  const auto outcome = runChecked(
      "builder.CreateFile('xlsx'); same(NATIVE_DOCUMENT_TYPE, 'XLSX');"
      " Api.GetActiveSheet().GetRange('A1').SetFontName('arial');",
      100, config);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

// Without options a CSV document is one sheet of data; the patch makes every document a
// workbook, which is what lets the helper add its results sheet to a CSV task.
TEST_F(StagedRuntime, PatchMakesCsvDocumentsWorkbooks) {
  const std::string script =
      "builder.CreateFile('csv'); same(NATIVE_DOCUMENT_TYPE, EXPECTED); "
      "Api.AddSheet('__zq_results');";
  const auto unpatched = runChecked("var EXPECTED = 'CSV'; " + script, 100, stage(false));
  EXPECT_EQ(unpatched.exitCode, 1);
  EXPECT_NE(unpatched.errorLine.find("A CSV document holds one sheet"), std::string::npos)
      << unpatched.errorLine;
  const auto patched = runChecked("var EXPECTED = 'XLSX'; " + script, 100, stage(true));
  EXPECT_EQ(patched.exitCode, 0) << patched.errorLine;
}

TEST_F(StagedRuntime, OpenedCsvFollowsTheSameRule) {
  writeAll(staged_ / "data.csv", "name,amount\nA,1\n");
  const std::string script =
      "builder.OpenFile("
      "'" +
      (staged_ / "data.csv").string() + "'); same(NATIVE_DOCUMENT_TYPE, EXPECTED);";
  EXPECT_EQ(runChecked("var EXPECTED = 'CSV'; " + script, 100, stage(false)).exitCode, 0);
  EXPECT_EQ(runChecked("var EXPECTED = 'XLSX'; " + script, 100, stage(true)).exitCode, 0);
}

TEST_F(StagedRuntime, ExplicitOptionsAreChecked) {
  const auto outcome = runChecked(
      "throwsWith(function () { NativeOpenFileData('create', 'xlsx', null, {DstType: 'DOCX'}); },"
      " 'unsupported document type \"DOCX\"');"
      " throwsWith(function () { NativeOpenFileData('print', 'xlsx', null, {DstType: 'XLSX'}); },"
      " 'unknown request \"print\"');",
      100, stage(true));
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

TEST(Runtime, BuiltRuntimeHasEveryFile) {
  const fs::path runtime = builtRuntimeDirectory();
  for (const char* file :
       {"DoctRenderer.config", "AllFonts.js", "sdkjs/common/Native/native.js",
        "sdkjs/common/Native/jquery_native.js", "web-apps/vendor/xregexp/xregexp-all-min.js"}) {
    EXPECT_GT(fs::file_size(runtime / file), 0u) << file;
  }
}

TEST(Runtime, MissingNativeScriptIsAClearError) {
  RuntimeConfig config = builtRuntime();
  config.scripts.erase(config.scripts.begin());
  const auto outcome = runPlain("builder.CreateFile('xlsx');", 100, config);
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.errorLine.find("NativeOpenFileData is not defined"), std::string::npos)
      << outcome.errorLine;
  config.scripts.push_back("/nonexistent/native.js");
  const auto missing = runPlain("1;", 100, config);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.errorLine.find("/nonexistent/native.js"), std::string::npos);
}

TEST(Runtime, FontsListSpellsKnownFamiliesAndStaysPrivate) {
  const Session session(loadFontsList(*builtRuntime().fontsList));
  EXPECT_EQ(session.canonicalFontName(u"times new ROMAN"), u"Times New Roman");
  EXPECT_EQ(session.canonicalFontName(u"Arial"), u"Arial");
  EXPECT_EQ(session.canonicalFontName(u"My Own Font"), u"My Own Font");
  EXPECT_EQ(session.canonicalFontName(u"Arial "), u"Arial ");
  const auto outcome = runChecked("same(typeof AllFonts, 'undefined');");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

TEST(Runtime, BrokenFontsListIsAClearError) {
  const fs::path file =
      fs::temp_directory_path() / ("sx_js_fonts_" + std::to_string(getpid()) + ".js");
  for (const char* text : {"var AllFonts = 'Arial';", "var AllFonts = [1];", "syntax error here"}) {
    writeAll(file, text);
    RuntimeConfig config = builtRuntime();
    config.fontsList = file;
    const auto outcome = runPlain("1;", 100, config);
    EXPECT_EQ(outcome.exitCode, 1) << text;
    EXPECT_NE(outcome.errorLine.find("fonts list"), std::string::npos) << outcome.errorLine;
  }
  fs::remove(file);
}

}  // namespace
}  // namespace sx::testing
