#ifndef _WIN32

#include "engine/interruption.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>

#include "engine/engine_runner.h"
#include "support/file_bytes.h"
#include "support/scratch_folder.h"
#include "support/test_environment.h"

namespace zq {
namespace {

namespace fs = std::filesystem;

std::string interruption() {
  try {
    stopIfInterrupted();
    return "";
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

TEST(InterruptionHold, HeldSignalsFailTheRunAtTheNextCheck) {
  const InterruptionHold hold;
  EXPECT_EQ(interruption(), "");
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    raise(number);
    EXPECT_EQ(interruption(), "Interrupted by signal " + std::to_string(number));
    EXPECT_EQ(interruption(), "");
  }
}

TEST(InterruptionHold, SignalsTheCallerIgnoresStayIgnored) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  sigaction(SIGHUP, &ignore, &previous);
  {
    const InterruptionHold hold;
    raise(SIGHUP);
    EXPECT_EQ(interruption(), "");
  }
  sigaction(SIGHUP, &previous, nullptr);
}

TEST(InterruptionHold, InterruptedEngineIsStoppedAndCollected) {
  const testing::ScratchFolder scratch;
  const fs::path engine = testing::layFakeEngine(scratch / "runtime");
  testing::writeBytes(scratch / "task.scriptorix", "// sleep-ms: 60000\n");
  const InterruptionHold hold;
  raise(SIGTERM);
  const auto started = std::chrono::steady_clock::now();
  try {
    runEngine(engine, scratch / "task.scriptorix", scratch.path());
    FAIL() << "the engine ran to its end";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Interrupted by signal 15");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace zq

#else

#include <gtest/gtest.h>

TEST(InterruptionHold, HeldSignalsFailTheRunAtTheNextCheck) {
  GTEST_SKIP()
      << "Windows has no SIGTERM or SIGHUP to hold; the job object ends the engine "
         "with the helper (HelperCommandLineTest.EngineDoesNotOutliveAHelperKilledOutright)";
}

#endif
