#include "app/task_intake.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "app/runtime_location.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"
#include "support/test_environment.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

class TaskIntakeTest : public ::testing::Test {
 protected:
  TaskSettings intake(const std::string& json, std::vector<std::u16string> extra = {}) {
    testing::writeBytes(scratch_ / "task.json", json);
    std::vector<std::u16string> arguments{(scratch_ / "task.json").u16string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return readTaskSettings(arguments);
  }

  std::string intakeError(const std::string& json) {
    try {
      intake(json);
    } catch (const std::exception& error) {
      return error.what();
    }
    return "no error";
  }

  std::string output(const std::string& relative) const {
    return "\"output\": \"" + (scratch_ / relative).generic_string() + "\"";
  }

  testing::ScratchFolder scratch_;
  testing::EnvironmentOverride runtimeVariable_{"ZQ_SCRIPTORIX_RUNTIME_DIR", std::nullopt};
};

TEST_F(TaskIntakeTest, FailuresComeInIntakeOrderBeforeAnyDirectoryIsCreated) {
  const std::string deep = output("made/by/intake.xlsx");
  const std::pair<std::string, std::string> cases[] = {
      {"[{\"output\": \"x\"}]", "Root JSON value must be an object"},
      {"\"text\"", "Root JSON value must be an object"},
      {"null", "Root JSON value must be an object"},
      {"5", "Root JSON value must be an object"},
      {"{\"format\": 5}", "JSON key must be a string"},
      {"{\"resultOutput\": 5}", "Missing JSON key"},
      {"{\"output\": false}", "JSON key must be a string"},
      {"{" + deep + ", \"resultOutput\": 5}", "JSON key must be a string"},
      {"{" + deep + ", \"format\": []}", "JSON key must be a string"},
  };
  for (const auto& [json, message] : cases) {
    EXPECT_EQ(intakeError(json), message) << json;
  }
  EXPECT_FALSE(fs::exists(scratch_ / "made"));
}

TEST_F(TaskIntakeTest, ReadsKeysWithTheirDefaults) {
  const TaskSettings plain = intake("{\"output\": \"b\\\\c.xlsx\", \"actions\": []}");
  EXPECT_EQ(plain.format, u"xlsx");
  EXPECT_EQ(plain.outputPath, fs::path(u"b\\c.xlsx"));
  EXPECT_TRUE(plain.resultOutputPath.empty());
  EXPECT_EQ(plain.task.kind, JsonKind::Object);

  const TaskSettings nulls =
      intake("{\"output\": \"o\", \"format\": null, \"resultOutput\": null}");
  EXPECT_EQ(nulls.format, u"xlsx");
  EXPECT_TRUE(nulls.resultOutputPath.empty());

  const TaskSettings given = intake(
      "\xEF\xBB\xBF{\"output\": \"o\", \"format\": \"XLSM\", \"resultOutput\": \"r "
      "\\u00e9.json\"}");
  EXPECT_EQ(given.format, u"XLSM");
  EXPECT_EQ(given.resultOutputPath, fs::path(u"r \u00e9.json"));
  EXPECT_TRUE(intake("{\"output\": \"o\", \"resultOutput\": \"\"}").resultOutputPath.empty());
}

TEST_F(TaskIntakeTest, CreatesTheOutputDirectoryWithItsParents) {
  intake("{" + output("a/b c/d/out.xlsx") + "}");
  EXPECT_TRUE(fs::is_directory(scratch_ / "a" / "b c" / "d"));
  EXPECT_FALSE(fs::exists(scratch_ / "a" / "b c" / "d" / "out.xlsx"));
  intake("{" + output("a/b c/d/again.xlsx") + "}");  // existing directory is no error

  testing::writeBytes(scratch_ / "file", "");
  EXPECT_THROW(intake("{" + output("file/out.xlsx") + "}"), fs::filesystem_error);
}

TEST_F(TaskIntakeTest, RuntimeDirectoryComesFromArgumentThenVariableThenDefault) {
  const std::string task = "{\"output\": \"o\"}";
  EXPECT_EQ(intake(task).runtimeDirectory, defaultRuntimeDirectory());
  {
    const testing::EnvironmentOverride empty("ZQ_SCRIPTORIX_RUNTIME_DIR", "");
    EXPECT_EQ(intake(task).runtimeDirectory, defaultRuntimeDirectory());
  }
  const testing::EnvironmentOverride set("ZQ_SCRIPTORIX_RUNTIME_DIR", " from env ");
  EXPECT_EQ(intake(task).runtimeDirectory, fs::path(" from env "));
  EXPECT_EQ(intake(task, {u"from arg", u"ignored"}).runtimeDirectory, fs::path(u"from arg"));
}

}  // namespace
}  // namespace zq
