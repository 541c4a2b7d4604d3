#include "engine/engine_runner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/engine_command_line.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"
#include "support/test_environment.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#endif

namespace zq {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::writeBytes;

class EngineRunnerTest : public ::testing::Test {
 protected:
  EngineRunnerTest()
      : engine_(testing::layFakeEngine(scratch_ / u8"engine dir \u00e9")),
        record_("ZQ_FAKE_ENGINE_RECORD", (scratch_ / "record.txt").string()) {
    fs::create_directories(work_);
  }

  std::int32_t runScript(const std::string& text) {
    writeBytes(script_, text);
    return runEngine(engine_, script_, work_);
  }

  std::string record() const { return readBytes(scratch_ / "record.txt"); }

  static void expectStartFailure(const fs::path& engine, const fs::path& script,
                                 const fs::path& work) {
    try {
      runEngine(engine, script, work);
      FAIL() << "the engine started";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "CreateProcessW(scriptorix.exe) failed");
    }
  }

  testing::ScratchFolder scratch_;
  fs::path engine_;
  fs::path script_ = scratch_ / u8"scripts \u00fc" / "task one.scriptorix";
  fs::path work_ = scratch_ / u8"work \u00f6";
  testing::EnvironmentOverride record_;
};

TEST_F(EngineRunnerTest, ReturnsTheEnginesExitCode) {
  for (const int code : {0, 3, 1, 255}) {
    EXPECT_EQ(runScript("// exit: " + std::to_string(code) + "\n"), code);
  }
  EXPECT_EQ(runScript(""), 0);
}

TEST_F(EngineRunnerTest, ScriptIsTheOnlyArgumentAndWorkingDirectoryIsGiven) {
  const testing::EnvironmentOverride marker("ZQ_H3_MARKER", "passed on");
  ASSERT_EQ(runScript(""), 0);
  const std::string text = record();
  EXPECT_NE(text.find("argc=1\narg=" + testing::utf8Text(script_) + "\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("cwd=" + testing::utf8Text(fs::canonical(work_)) + "\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("env=ZQ_H3_MARKER=passed on\n"), std::string::npos) << text;
}

TEST_F(EngineRunnerTest, EngineThatCannotStartIsAnErrorNotAnExitCode) {
  writeBytes(script_, "");
  expectStartFailure(scratch_ / "missing" / "scriptorix.exe", script_, work_);
  expectStartFailure(engine_, script_, scratch_ / "no such directory");
}

TEST(EngineCommandLine, QuotesBothPathsUnchanged) {
  EXPECT_EQ(engineCommandLine(u"C:\\a b\\scriptorix.exe", u"C:\\t\\x y.scriptorix"),
            u"\"C:\\a b\\scriptorix.exe\" \"C:\\t\\x y.scriptorix\"");
}

#ifndef _WIN32
TEST_F(EngineRunnerTest, KilledEngineGivesSignalStatus) {
  EXPECT_EQ(runScript("// signal: 15\n"), 128 + 15);
}

TEST_F(EngineRunnerTest, ExitCodeSurvivesACallerThatIgnoresSigchld) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  sigaction(SIGCHLD, &ignore, &previous);
  const std::int32_t code = runScript("// exit: 3\n");
  struct sigaction after {};
  sigaction(SIGCHLD, &previous, &after);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
}

TEST_F(EngineRunnerTest, EngineWithoutExecutePermissionCannotStart) {
  writeBytes(scratch_ / "plain" / "scriptorix.exe", "#!/bin/sh\nexit 0\n");
  writeBytes(script_, "");
  expectStartFailure(scratch_ / "plain" / "scriptorix.exe", script_, work_);
}

TEST_F(EngineRunnerTest, LeavesNoChildAndNoDescriptorBehind) {
  const auto openDescriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto before = openDescriptors();
  ASSERT_EQ(runScript("// exit: 3\n"), 3);
  writeBytes(script_, "");
  expectStartFailure(scratch_ / "missing" / "scriptorix.exe", script_, work_);
  EXPECT_EQ(openDescriptors(), before);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}
#else
TEST_F(EngineRunnerTest, StatusAboveTheSignedRangeComesBackNegative) {
  // An access violation's status, as the system reports a crashed engine.
  EXPECT_EQ(runScript("// exit: -1073741819\n"), -1073741819);
}

TEST_F(EngineRunnerTest, RaisedSignalEndsWithTheRuntimesExitCode) {
  EXPECT_EQ(runScript("// signal: 15\n"), 3);
}

TEST_F(EngineRunnerTest, EngineWithoutExecutePermissionCannotStart) {
  GTEST_SKIP() << "Windows has no execute permission bit: every .exe file may start";
}

TEST_F(EngineRunnerTest, LeavesNoHandleBehind) {
  ASSERT_EQ(runScript(""), 0);  // the first start loads what process creation keeps loaded
  DWORD before = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
  ASSERT_EQ(runScript("// exit: 3\n"), 3);
  writeBytes(script_, "");
  expectStartFailure(scratch_ / "missing" / "scriptorix.exe", script_, work_);
  DWORD after = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
  EXPECT_EQ(after, before);
}
#endif

}  // namespace
}  // namespace zq
