#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

class BuilderCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("sx_js_builder_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // A path as a script string literal (the folder holds no quote or backslash).
  std::string quoted(const std::string& name) const {
    return "'" + (folder_ / name).string() + "'";
  }

  std::filesystem::path folder_;
};

TEST_F(BuilderCalls, DocumentLifecycle) {
  struct Case {
    const char* name;
    const char* script;
    const char* error;  // nullptr: runs to the end
  } cases[] = {
      {"every package format and csv create",
       "builder.CreateFile('xlsx'); builder.CloseFile();"
       " builder.CreateFile('XLSM'); builder.CloseFile();"
       " builder.CreateFile('xltx'); builder.CloseFile();"
       " builder.CreateFile('csv'); builder.CloseFile();",
       nullptr},
      {"unknown format", "builder.CreateFile('docx');", "Unsupported file format"},
      {"format must be text", "builder.CreateFile(1);",
       "builder.CreateFile: argument 1 must be a string, not a number"},
      {"calls before a document", "Api.GetActiveSheet();", "No document is open"},
      {"calls after CloseFile", "builder.CreateFile('xlsx'); builder.CloseFile(); Api.GetSheets();",
       "closed"},
      {"old handles after CloseFile",
       "builder.CreateFile('xlsx'); var s = Api.GetActiveSheet(); builder.CloseFile(); "
       "s.GetName();",
       "closed"},
      {"old handles in the next document",
       "builder.CreateFile('xlsx'); var r = Api.GetActiveSheet().GetRange('A1');"
       " builder.CloseFile(); builder.CreateFile('xlsx'); r.SetValue(1);",
       "closed"},
      {"close twice", "builder.CreateFile('xlsx'); builder.CloseFile(); builder.CloseFile();",
       "closed"},
      {"one document at a time", "builder.CreateFile('xlsx'); builder.CreateFile('xlsx');",
       "already open"},
      {"save wants two arguments", "builder.CreateFile('xlsx'); builder.SaveFile('xlsx');",
       "takes 2 arguments"},
      {"save to an empty path", "builder.CreateFile('xlsx'); builder.SaveFile('xlsx', '');",
       "path is empty"},
      {"save in an unknown format", "builder.CreateFile('xlsx'); builder.SaveFile('pdf', 'x.pdf');",
       "Unsupported file format"},
      {"open a missing file", "builder.OpenFile('/nonexistent/folder/book.xlsx');", "book.xlsx"},
  };
  for (const auto& c : cases) {
    const auto outcome = runPlain(c.script);
    if (c.error == nullptr) {
      EXPECT_EQ(outcome.exitCode, 0) << c.name << ": " << outcome.errorLine;
    } else {
      EXPECT_EQ(outcome.exitCode, 1) << c.name;
      EXPECT_NE(outcome.errorLine.find(c.error), std::string::npos)
          << c.name << ": " << outcome.errorLine;
    }
  }
}

TEST_F(BuilderCalls, SavedWorkbookOpensAgain) {
  const auto saved = runPlain(
      "builder.CreateFile('xlsx'); var s = Api.GetActiveSheet(); s.SetName('Data');"
      " s.GetRange('A1').SetValue('00123'); s.GetRange('B2').SetValue(2.5); Api.AddSheet('Second');"
      " builder.SaveFile('xlsx', " +
      quoted("book.xlsx") + "); builder.CloseFile();");
  ASSERT_EQ(saved.exitCode, 0) << saved.errorLine;
  const auto reopened = runChecked(
      "builder.OpenFile(" + quoted("book.xlsx") +
      ");"
      " same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['Data', 'Second']);"
      " var s = Api.GetSheets()[0]; same(s.GetRange('A1').GetValue(), '00123');"
      " same(s.GetRange('B2').GetValue(), 2.5); builder.CloseFile();");
  EXPECT_EQ(reopened.exitCode, 0) << reopened.errorLine;
}

TEST_F(BuilderCalls, CsvSaveWritesTheActiveSheet) {
  const auto outcome = runPlain(
      "builder.CreateFile('xlsx'); Api.GetActiveSheet().GetRange('A1').SetValue('first');"
      " Api.AddSheet('R'); Api.GetActiveSheet().GetRange('A1').SetValue('a,\"b\"');"
      " Api.GetActiveSheet().GetRange('B1').SetValue(3);"
      " builder.SaveFile('csv', " +
      quoted("out.csv") + "); builder.CloseFile();");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.errorLine;
  std::ifstream file(folder_ / "out.csv", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.substr(0, text.find_first_of("\r\n")), "\"a,\"\"b\"\"\",3");
}

TEST_F(BuilderCalls, FailedScriptStopsWhereItThrew) {
  const auto outcome = runPlain(
      "builder.CreateFile('xlsx');\n"
      "Api.AddSheet('Sheet1');\n"
      "builder.SaveFile('xlsx', " +
      quoted("never.xlsx") + ");\n");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.errorLine,
            "line 2: A sheet named \"Sheet1\" already exists; the line reads: "
            "Api.AddSheet('Sheet1');");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "never.xlsx"));
}

}  // namespace
}  // namespace sx::testing
