#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"
#include "support/test_environment.h"

// Address-sanitized builds keep freed memory in quarantine: what the helper holds says nothing.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZQ_HAS_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef ZQ_HAS_ADDRESS_SANITIZER
#define ZQ_HAS_ADDRESS_SANITIZER 0
#endif

namespace zq {
namespace {

namespace fs = std::filesystem;
using testing::ChildOutcome;
using testing::ChildRequest;
using testing::readBytes;
using testing::writeBytes;

// A rawJs action that the stand-in engine reads as an instruction.
std::string marker(const std::string& text) {
  std::string escaped;
  for (const char unit : text) {
    if (unit == '"' || unit == '\\') {
      escaped += '\\';
    }
    escaped += unit;
  }
  return "{\"cmd\": \"rawJs\", \"js\": \"// " + escaped + "\"}";
}

std::string jsonString(const fs::path& path) {
  std::string text = "\"";
  for (const char unit : path.string()) {
    if (unit == '"' || unit == '\\') {
      text += '\\';
    }
    text += unit;
  }
  return text + "\"";
}

// The "Created" line's form of a path: backslashes and double quotes escaped, then quoted.
std::string quotedPath(const fs::path& path) { return jsonString(path); }

// How a child ended by SIGTERM shows: 128 + 15 where the runner reports signals, and the C
// runtime's exit code 3 on Windows, whose raise() ends the process like abort().
#ifdef _WIN32
constexpr int kTerminatedCode = 3;
#else
constexpr int kTerminatedCode = 128 + 15;
#endif

// Console lines end in "\n", which the C runtime's text mode writes as CR LF on Windows.
#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

class HelperCommandLineTest : public ::testing::Test {
 protected:
  HelperCommandLineTest() {
    fs::create_directories(temp_);
    fs::create_directories(cwd_);
    testing::layFakeEngine(runtime_);
    writeBytes(runtime_ / "sdkjs" / "common" / "Native" / "native.js",
               "function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE=1}");
    writeBytes(runtime_ / "sdkjs" / "common" / "Native" / "jquery_native.js", "");
    writeBytes(runtime_ / "web-apps" / "vendor" / "xregexp" / "xregexp-all-min.js", "");
  }

  ChildRequest request(std::vector<std::string> arguments) const {
    ChildRequest child;
    child.program = ZQ_HELPER_PATH;
    child.arguments = std::move(arguments);
    child.workingDirectory = cwd_;
    // TMPDIR names the temporary folder on POSIX, TMP and TEMP on Windows.
    child.environment = {{"TMPDIR", temp_.string()},
                         {"TMP", temp_.string()},
                         {"TEMP", temp_.string()},
                         {"ZQ_FAKE_ENGINE_RECORD", (scratch_ / "record.txt").string()},
                         {"ZQ_SCRIPTORIX_RUNTIME_DIR", std::nullopt}};
    return child;
  }

  fs::path task(const std::string& json, const std::string& name = "task.json") const {
    writeBytes(scratch_ / name, json);
    return scratch_ / name;
  }

  // A task saving to `output` whose actions are the given instructions to the engine.
  fs::path task(const fs::path& output, const std::vector<std::string>& markers,
                const fs::path& resultOutput = {}, const std::string& name = "task.json") const {
    std::string json = "{\"output\": " + jsonString(output);
    if (!resultOutput.empty()) {
      json += ", \"resultOutput\": " + jsonString(resultOutput);
    }
    json += ", \"actions\": [{\"cmd\": \"getValue\", \"cell\": \"A1\", \"result\": \"a\"}";
    for (const std::string& text : markers) {
      json += ", " + marker(text);
    }
    return task(json + "]}", name);
  }

  ChildOutcome run(const ChildRequest& child) const {
    return testing::runChild(child, scratch_.path());
  }

  ChildOutcome runWithRuntime(const fs::path& taskFile) const {
    return run(request({taskFile.string(), runtime_.string()}));
  }

  // Temporary entries of any run that are still in the private temp folder.
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  static void expectFailure(const ChildOutcome& outcome, const std::string& message) {
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.standardError, "Error: " + message + kLineEnd);
    EXPECT_EQ(outcome.standardOutput, "");
  }

  // The engine's process id, once the stand-in engine has started and written its record.
  long engineProcess() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      const std::string record =
          fs::exists(scratch_ / "record.txt") ? readBytes(scratch_ / "record.txt") : "";
      const std::size_t at = record.find("pid=");
      if (at != std::string::npos && record.find('\n', at) != std::string::npos) {
        return std::stol(record.substr(at + 4));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ADD_FAILURE() << "the engine never started";
    return -1;
  }

  testing::ScratchFolder scratch_;
  fs::path temp_ = scratch_ / "tmp";
  fs::path cwd_ = scratch_ / "cwd";
  fs::path runtime_ = scratch_ / "runtime";
};

TEST_F(HelperCommandLineTest, WithoutTaskArgumentPrintsUsage) {
  const ChildOutcome outcome = run(request({}));
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_EQ(outcome.standardError,
            std::string("Usage: zq_builder_helper.exe <task.json> [runtime-dir]") + kLineEnd);
  EXPECT_EQ(outcome.standardOutput, "");
}

TEST_F(HelperCommandLineTest, HelpAndVersionAnswerOnStandardOutput) {
  for (const std::string option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    const ChildOutcome outcome = run(request({option, "ignored"}));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(
        outcome.standardOutput.rfind(
            std::string("Usage: zq_builder_helper.exe <task.json> [runtime-dir]") + kLineEnd, 0),
        0u);
    EXPECT_NE(outcome.standardOutput.find("README.md"), std::string::npos);
    EXPECT_TRUE(leftovers().empty());
  }
  const ChildOutcome version = run(request({"--version"}));
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.standardOutput,
            std::string("zq_builder_helper ") + ZQ_PROJECT_VERSION + kLineEnd);
}

TEST_F(HelperCommandLineTest, OptionLikeFileNamesAreStillTasks) {
  // Only the exact words are options (checked before the file exists: Windows would open
  // "--help" for "--Help").
  expectFailure(run(request({"--Help", runtime_.string()})), "Cannot open input JSON");
  expectFailure(run(request({"-help", runtime_.string()})), "Cannot open input JSON");
  writeBytes(cwd_ / "--help", "[1]");
  expectFailure(run(request({"./--help", runtime_.string()})), "Root JSON value must be an object");
}

TEST_F(HelperCommandLineTest, IntakeFailuresStageNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"[1, 2]", "Root JSON value must be an object"},
      {"{\"format\": 5, \"output\": \"o.xlsx\", \"actions\": []}", "JSON key must be a string"},
      {"{\"resultOutput\": \"r.json\", \"actions\": []}", "Missing JSON key"},
  };
  for (const auto& [json, message] : cases) {
    SCOPED_TRACE(json);
    expectFailure(runWithRuntime(task(json)), message);
    EXPECT_TRUE(leftovers().empty());
  }
  expectFailure(runWithRuntime(scratch_ / "absent.json"), "Cannot open input JSON");

  const ChildOutcome truncated = runWithRuntime(task("{\"output\": "));
  EXPECT_EQ(truncated.exitCode, 1);
  EXPECT_EQ(truncated.standardError.rfind("Error: ", 0), 0u);
  EXPECT_NE(truncated.standardError.find(" at offset "), std::string::npos);
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(HelperCommandLineTest, RuntimeArgumentWithoutEngineFailsEvenWhenTheVariableIsGood) {
  fs::create_directories(scratch_ / "empty runtime");
  ChildRequest child =
      request({task(cwd_ / "o.xlsx", {}).string(), (scratch_ / "empty runtime").string()});
  child.environment["ZQ_SCRIPTORIX_RUNTIME_DIR"] = runtime_.string();
  expectFailure(run(child), "scriptorix.exe was not found in runtime directory");
  EXPECT_TRUE(leftovers().empty());
  EXPECT_FALSE(fs::exists(cwd_ / "o.xlsx"));
}

TEST_F(HelperCommandLineTest, RuntimeComesFromTheVariableOrBesideTheProgram) {
  // A private copy of the helper, so the runtime folders around it are the test's own.
  const fs::path program = scratch_ / "install" / "bin" / fs::path(ZQ_HELPER_PATH).filename();
  fs::create_directories(program.parent_path());
  fs::copy_file(ZQ_HELPER_PATH, program);
  const fs::path taskFile = task(cwd_ / "o.xlsx", {});
  ChildRequest child = request({taskFile.string()});
  child.program = program;

  child.environment["ZQ_SCRIPTORIX_RUNTIME_DIR"] = runtime_.string();
  EXPECT_EQ(run(child).exitCode, 0);

  child.environment["ZQ_SCRIPTORIX_RUNTIME_DIR"] = "";
  expectFailure(run(child), "scriptorix.exe was not found in runtime directory");

  testing::layFakeEngine(scratch_ / "install" / "runtime");
  writeBytes(scratch_ / "install" / "runtime" / "from-parent", "");
  ASSERT_EQ(run(child).exitCode, 0);
  EXPECT_NE(readBytes(scratch_ / "record.txt").find("entry=from-parent\n"), std::string::npos);

  testing::layFakeEngine(scratch_ / "install" / "bin" / "runtime");
  writeBytes(scratch_ / "install" / "bin" / "runtime" / "beside-program", "");
  ASSERT_EQ(run(child).exitCode, 0);
  EXPECT_NE(readBytes(scratch_ / "record.txt").find("entry=beside-program\n"), std::string::npos);
}

TEST_F(HelperCommandLineTest, SuccessWritesOutputAndResultAndCleansUp) {
  const fs::path output = scratch_ / u8"out \u00e9 dir" / "sub" / u8"book \u041a.xlsx";
  const fs::path answers = scratch_ / u8"answers \u00fc" / "r.json";
  const fs::path taskFile = task(
      output, {"result-csv: \"{\"\"a\"\":42,\"\"t\"\":\"\"x,y\"\"}\"", "sleep-ms: 1"}, answers);
  testing::RunningChild child(request({taskFile.string(), runtime_.string(), "extra"}),
                              scratch_.path());
  const std::string pid = std::to_string(child.id());
  const ChildOutcome outcome = child.wait();

  EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
  EXPECT_EQ(outcome.standardOutput, "Created " + quotedPath(output) + kLineEnd);
  EXPECT_EQ(outcome.standardError, "");
  EXPECT_EQ(readBytes(output), "workbook xlsx");
  EXPECT_EQ(readBytes(answers), "{\"a\":42,\"t\":\"x,y\"}");

  const std::string record = readBytes(scratch_ / "record.txt");
  const fs::path temp = fs::canonical(temp_);
  EXPECT_NE(
      record.find("argc=1\narg=" +
                  (fs::absolute(temp_) / ("zq_scriptorix_task_" + pid + ".scriptorix")).string() +
                  "\n"),
      std::string::npos)
      << record;
  EXPECT_NE(record.find("cwd=" + (temp / ("zq_scriptorix_cli_" + pid)).string() + "\n"),
            std::string::npos)
      << record;
  for (const char* entry :
       {"scriptorix.exe", "sdkjs", "native_patched.js", "DoctRenderer.config"}) {
    EXPECT_NE(record.find("entry=" + std::string(entry) + "\n"), std::string::npos) << entry;
  }
  EXPECT_TRUE(leftovers().empty());
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !ZQ_HAS_ADDRESS_SANITIZER
TEST_F(HelperCommandLineTest, ALargeTaskIsReleasedBeforeTheEngineRuns) {
  // Some 70 MB of task tree and script while the script is built.
  std::string json = "{\"output\": " + jsonString(scratch_ / "big.xlsx") + ", \"actions\": [";
  for (int i = 0; i < 60000; ++i) {
    json += std::string(i ? "," : "") + "{\"cmd\":\"setValue\",\"row\":" + std::to_string(i / 10) +
            ",\"col\":" + std::to_string(i % 10) + ",\"value\":" + std::to_string(i) + ".5}";
  }
  const ChildOutcome outcome = runWithRuntime(task(json + "]}"));
  ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
  const std::string record = readBytes(scratch_ / "record.txt");
  const std::size_t at = record.find("helper-rss-kib=");
  ASSERT_NE(at, std::string::npos) << record;
  EXPECT_LT(std::stol(record.substr(at + 15)), 24 * 1024);
}
#endif

TEST_F(HelperCommandLineTest, RelativeOutputIsQuotedAsWrittenAndResolvedAgainstTheCwd) {
#ifdef _WIN32
  // A double quote cannot stand in a Windows file name, and a backslash separates folders.
  const fs::path taskFile = task("{\"output\": \"q\\\\x.xlsx\", \"actions\": []}");
  const std::string created = "Created \"q\\\\x.xlsx\"";
  const fs::path written = cwd_ / "q" / "x.xlsx";
#else
  const fs::path taskFile = task("{\"output\": \"q\\\"\\\\x.xlsx\", \"actions\": []}");
  const std::string created = "Created \"q\\\"\\\\x.xlsx\"";
  const fs::path written = cwd_ / "q\"\\x.xlsx";
#endif
  const ChildOutcome outcome = runWithRuntime(taskFile);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
  EXPECT_EQ(outcome.standardOutput, created + kLineEnd);
  EXPECT_TRUE(fs::is_regular_file(written));
}

TEST_F(HelperCommandLineTest, EngineAndOutputFailuresAreReportedAndCleanedUp) {
  writeBytes(scratch_ / "answers.json", "older answers");
  const struct {
    fs::path output;
    std::vector<std::string> markers;
    std::string message;
  } cases[] = {
      {cwd_ / "a.xlsx", {"exit: 3"}, "scriptorix.exe failed with code 3"},
      {cwd_ / "b.xlsx",
       {"signal: 15"},
       "scriptorix.exe failed with code " + std::to_string(kTerminatedCode)},
      {cwd_ / "c.xlsx", {"skip-save: xlsx"}, "Output file was not created"},
      {cwd_ / "d.xlsx", {"skip-save: csv"}, "Result CSV file was not created"},
  };
  for (const auto& failure : cases) {
    SCOPED_TRACE(failure.message);
    expectFailure(runWithRuntime(task(failure.output, failure.markers, scratch_ / "answers.json")),
                  failure.message);
    EXPECT_TRUE(leftovers().empty());
  }
  // The workbook the engine saved before the results went missing stays.
  EXPECT_TRUE(fs::is_regular_file(cwd_ / "d.xlsx"));
  EXPECT_FALSE(fs::exists(cwd_ / "a.xlsx"));
  EXPECT_EQ(readBytes(scratch_ / "answers.json"), "older answers");
}

TEST_F(HelperCommandLineTest, ScriptErrorsAfterStagingAreCleanedUp) {
  expectFailure(runWithRuntime(task("{\"output\": \"o.xlsx\"}")), "Missing JSON key");
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(HelperCommandLineTest, ConcurrentRunsStayApart) {
  constexpr int kRuns = 4;
  std::vector<std::unique_ptr<testing::RunningChild>> children;
  for (int index = 0; index < kRuns; ++index) {
    const std::string n = std::to_string(index);
    const fs::path taskFile =
        task(cwd_ / ("book" + n + ".xlsx"), {"sleep-ms: 150", "result-csv: {\"run\":" + n + "}"},
             scratch_ / ("answers" + n + ".json"), "task" + n + ".json");
    ChildRequest child = request({taskFile.string(), runtime_.string()});
    child.environment.erase("ZQ_FAKE_ENGINE_RECORD");
    children.push_back(std::make_unique<testing::RunningChild>(child, scratch_.path()));
  }
  for (int index = 0; index < kRuns; ++index) {
    const ChildOutcome outcome = children[index]->wait();
    EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
    // An unquoted field ends at the first comma; this one has none.
    EXPECT_EQ(readBytes(scratch_ / ("answers" + std::to_string(index) + ".json")),
              "{\"run\":" + std::to_string(index) + "}");
  }
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(HelperCommandLineTest, PlantedEntriesDoNotRedirectTheRun) {
#ifdef _WIN32
  GTEST_SKIP() << "planting needs a hook between fork and exec, and Windows keeps a temporary "
                  "folder per user, where no other account can plant links";
#else
  writeBytes(scratch_ / "victim", "precious");
  fs::create_directories(scratch_ / "victim dir");
  const auto plant = [this](bool staleResults) {
    return [this, staleResults] {
      const std::string pid = std::to_string(getpid());
      fs::create_symlink(scratch_ / "victim",
                         temp_ / ("zq_scriptorix_task_" + pid + ".scriptorix"));
      fs::create_directory_symlink(scratch_ / "victim dir", temp_ / ("zq_scriptorix_cli_" + pid));
      if (staleResults) {
        writeBytes(temp_ / ("zq_scriptorix_results_" + pid + ".csv"), "{\"stale\":1}");
      }
    };
  };
  ChildRequest child = request(
      {task(cwd_ / "o.xlsx", {"skip-save: csv"}, scratch_ / "r.json").string(), runtime_.string()});
  child.beforeExec = plant(true);
  expectFailure(run(child), "Result CSV file was not created");
  EXPECT_FALSE(fs::exists(scratch_ / "r.json"));

  child =
      request({task(cwd_ / "o.xlsx", {"result-csv: {\"fresh\":2}"}, scratch_ / "r.json").string(),
               runtime_.string()});
  child.beforeExec = plant(true);
  const ChildOutcome outcome = run(child);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
  EXPECT_EQ(readBytes(scratch_ / "r.json"), "{\"fresh\":2}");

  EXPECT_EQ(readBytes(scratch_ / "victim"), "precious");
  EXPECT_TRUE(fs::is_empty(scratch_ / "victim dir"));
  EXPECT_TRUE(leftovers().empty());
#endif
}

TEST_F(HelperCommandLineTest, TargetsThatMustNotBeReplacedAreRefusedBeforeAnythingRuns) {
  fs::create_directories(cwd_ / "dir.xlsx");
  writeBytes(cwd_ / "book.xlsx", "older workbook");
#ifdef _WIN32
  const fs::path device = "NUL";
  const fs::path namedDevice = cwd_ / "con.xlsx";
#else
  const fs::path device = "/dev/null";
  ASSERT_EQ(mkfifo((cwd_ / "fifo.json").c_str(), 0600), 0);
  const fs::path namedDevice = cwd_ / "fifo.json";
#endif
  const struct {
    fs::path output;
    fs::path resultOutput;
    std::string message;
  } cases[] = {
      {cwd_ / "dir.xlsx", {}, "Output is not a regular file"},
      {device, {}, "Output is not a regular file"},
      {cwd_ / "new.xlsx", device, "Result output is not a regular file"},
      {cwd_ / "new.xlsx", namedDevice, "Result output is not a regular file"},
      {cwd_ / "new.xlsx", cwd_, "Result output is not a regular file"},
      {cwd_ / "book.xlsx", cwd_ / "." / "sub" / ".." / "book.xlsx",
       "Result output and output are the same file"},
      {"new.xlsx", cwd_ / "new.xlsx", "Result output and output are the same file"},
  };
  for (const auto& refused : cases) {
    SCOPED_TRACE(refused.output.string() + " / " + refused.resultOutput.string());
    expectFailure(runWithRuntime(task(refused.output, {}, refused.resultOutput)), refused.message);
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(scratch_ / "record.txt")) << "the engine ran";
  }
  EXPECT_EQ(readBytes(cwd_ / "book.xlsx"), "older workbook");
  EXPECT_FALSE(fs::exists(cwd_ / "new.xlsx"));
  EXPECT_FALSE(fs::exists(cwd_ / "sub"));
}

TEST_F(HelperCommandLineTest, ResultIsStagedBesideItsTargetUnderAFreshName) {
  writeBytes(cwd_ / "answers.json", "older answers");
  const fs::path taskFile =
      task(cwd_ / "o.xlsx", {"result-csv: {\"fresh\":1}"}, cwd_ / "answers.json");
  ASSERT_EQ(runWithRuntime(taskFile).exitCode, 0);
  EXPECT_EQ(readBytes(cwd_ / "answers.json"), "{\"fresh\":1}");
  // Nothing but the task's own files: no staging file is left beside the result.
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(cwd_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"answers.json", "o.xlsx"}));
}

// A caller's timeout often ends the helper outright; the engine must not run on and write.
TEST_F(HelperCommandLineTest, EngineDoesNotOutliveAHelperKilledOutright) {
  testing::adoptOrphans();
  testing::RunningChild helper(
      request({task(cwd_ / "o.xlsx", {"sleep-ms: 60000"}).string(), runtime_.string()}),
      scratch_.path());
  const long engine = engineProcess();
  helper.killOutright();
  helper.wait();
  EXPECT_TRUE(testing::processEnds(engine, std::chrono::seconds(20)));
  EXPECT_FALSE(fs::exists(cwd_ / "o.xlsx"));
}

#ifndef _WIN32
TEST_F(HelperCommandLineTest, SignalsStopTheEngineAndRemoveTheTemporaryFiles) {
  testing::adoptOrphans();
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(number);
    fs::remove(scratch_ / "record.txt");
    testing::RunningChild helper(
        request({task(cwd_ / "o.xlsx", {"sleep-ms: 60000"}, scratch_ / "r.json").string(),
                 runtime_.string()}),
        scratch_.path());
    const long engine = engineProcess();
    const auto sent = std::chrono::steady_clock::now();
    kill(helper.id(), number);
    expectFailure(helper.wait(), "Interrupted by signal " + std::to_string(number));
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(20));
    // Ended and collected by the helper itself: no engine was handed on to this process.
    EXPECT_EQ(waitpid(static_cast<pid_t>(engine), nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(cwd_ / "o.xlsx"));
    EXPECT_FALSE(fs::exists(scratch_ / "r.json"));
  }
}

TEST_F(HelperCommandLineTest, EmptyTemporaryVariablesMeanTheDefaultFolder) {
  ChildRequest child = request({task(cwd_ / "o.xlsx", {}).string(), runtime_.string()});
  child.environment["TMPDIR"] = "";
  child.environment["TMP"] = std::nullopt;
  child.environment["TEMP"] = std::nullopt;
  const ChildOutcome outcome = run(child);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
  EXPECT_NE(readBytes(scratch_ / "record.txt").find("cwd=/tmp/zq_scriptorix_cli_"),
            std::string::npos);
}
#else
TEST_F(HelperCommandLineTest, SignalsStopTheEngineAndRemoveTheTemporaryFiles) {
  GTEST_SKIP() << "Windows has no SIGINT, SIGTERM or SIGHUP to send; Ctrl+C ends the helper "
                  "outright, which EngineDoesNotOutliveAHelperKilledOutright covers";
}
#endif

}  // namespace
}  // namespace zq
