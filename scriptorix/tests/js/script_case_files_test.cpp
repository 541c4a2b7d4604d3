// Runs the script cases under cases/: each file is what a user would write. Lines before the
// first "// case: <name>" are the file's prelude (a new workbook, usually); each case runs after
// it in a fresh engine and must reach its end, its checks (`same`, `throwsWith`) throwing on
// anything they did not expect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script_harness.h"

namespace sx::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCaseMarker = "// case: ";

struct ScriptCaseText {
  std::string name;
  int firstLine = 0;  // of the case's marker in the file, 1-based
  std::string script;
};

struct ScriptCaseFile {
  std::string prelude;
  std::vector<ScriptCaseText> cases;
};

ScriptCaseFile readCaseFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  ScriptCaseFile file;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.starts_with(kCaseMarker)) {
      file.cases.push_back({line.substr(kCaseMarker.size()), number, {}});
    } else {
      (file.cases.empty() ? file.prelude : file.cases.back().script) += line + "\n";
    }
  }
  return file;
}

std::vector<fs::path> caseFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(SX_JS_CASES_DIR)) {
    if (entry.is_regular_file() && entry.path().extension() == ".js") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string testName(const ::testing::TestParamInfo<fs::path>& info) {
  std::string name = fs::relative(info.param, SX_JS_CASES_DIR).replace_extension().generic_string();
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

class ScriptCaseFiles : public ::testing::TestWithParam<fs::path> {};

TEST_P(ScriptCaseFiles, EveryCaseRunsToItsEnd) {
  const ScriptCaseFile file = readCaseFile(GetParam());
  ASSERT_FALSE(file.cases.empty()) << GetParam() << " has no \"// case: \" line";
  for (const ScriptCaseText& c : file.cases) {
    const auto outcome = runChecked(file.prelude + c.script);
    EXPECT_EQ(outcome.exitCode, 0) << GetParam().filename().string() << ":" << c.firstLine << " "
                                   << c.name << ": " << outcome.errorLine;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCaseFiles, ::testing::ValuesIn(caseFiles()), testName);

}  // namespace
}  // namespace sx::testing
