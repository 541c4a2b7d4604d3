#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "js/runtime_config.h"
#include "js/script_runner.h"
#include "core/utf.h"

namespace sx::testing {

// The runtime the build laid out: $ZQ_BUILD_DIR/runtime, else the nearest runtime/ above the
// test executable.
inline std::filesystem::path builtRuntimeDirectory() {
  if (const char* build = std::getenv("ZQ_BUILD_DIR")) {
    return std::filesystem::path(build) / "runtime";
  }
  auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  for (; !folder.empty() && folder != folder.root_path(); folder = folder.parent_path()) {
    if (std::filesystem::exists(folder / "runtime" / "DoctRenderer.config")) {
      return folder / "runtime";
    }
  }
  throw std::runtime_error("no built runtime found: set ZQ_BUILD_DIR");
}

inline const RuntimeConfig& builtRuntime() {
  static const RuntimeConfig config =
      readRuntimeConfig(builtRuntimeDirectory() / "DoctRenderer.config");
  return config;
}

// Checks that scripts use to report what they saw: `same(actual, expected)` compares JSON
// texts, `throwsWith(fn, text)` wants an exception whose message holds the text.
inline constexpr std::string_view kChecks =
    "function same(a, e) { var x = JSON.stringify(a), y = JSON.stringify(e);"
    " if (x !== y) throw new Error('got ' + x + ', expected ' + y); }"
    " function throwsWith(f, text) { try { f(); } catch (err) {"
    " if (String(err.message).indexOf(text) < 0) throw new Error('wrong error: ' + err.message);"
    " return; } throw new Error('no error, expected one with ' + text); }";

// Runs the script (UTF-8) in a fresh context on the built runtime, the checks on its first
// line, so that line numbers are the script's own.
inline RunOutcome runChecked(std::string_view script, size_t chunkLines = 100,
                             const RuntimeConfig& runtime = builtRuntime()) {
  return runScript(fromUtf8(std::string(kChecks) + " " + std::string(script)), runtime, chunkLines);
}

inline RunOutcome runPlain(std::string_view script, size_t chunkLines = 100,
                           const RuntimeConfig& runtime = builtRuntime()) {
  return runScript(fromUtf8(script), runtime, chunkLines);
}

// A named script that must run to its end: its checks throw on what they did not expect.
struct ScriptCase {
  const char* name;
  const char* script;
};

inline constexpr std::string_view kNewWorkbook = "builder.CreateFile('xlsx'); ";
inline constexpr std::string_view kNewWorkbookWithSheet =
    "builder.CreateFile('xlsx'); var s = Api.GetActiveSheet(); ";

// Runs each case after `prelude` (a new workbook, by default) and reports the ones that threw.
inline void expectAllPass(const std::vector<ScriptCase>& cases,
                          std::string_view prelude = kNewWorkbook) {
  for (const ScriptCase& c : cases) {
    const auto outcome = runChecked(std::string(prelude) + c.script);
    EXPECT_EQ(outcome.exitCode, 0) << c.name << ": " << outcome.errorLine;
  }
}

}  // namespace sx::testing
