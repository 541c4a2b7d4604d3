#include <gtest/gtest.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(ScriptSandbox, NoHostFacilities) {
  const auto outcome = runChecked(
      "['require', 'process', 'XMLHttpRequest', 'fetch', 'setTimeout', 'setInterval',"
      " 'setImmediate', 'console', 'WebAssembly', 'print', 'load', 'readFile', 'Deno', 'Bun',"
      " 'module', 'exports', 'importScripts', 'WebSocket', 'Worker', 'navigator', 'document']"
      ".forEach(function (name) { same(name + ':' + typeof globalThis[name], name + ':undefined'); });");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

TEST(ScriptSandbox, OnlyTheEngineObjectsAreAdded) {
  const auto outcome = runChecked(
      "same(window === globalThis, true); same(typeof builder.CreateFile, 'function');"
      " same(typeof Api.GetSheets, 'function'); same(typeof JSON.stringify, 'function');"
      " same(typeof Array.isArray, 'function');"
      " builder = null; Api = null; same(typeof builder.SaveFile, 'function');"
      " same(delete globalThis.Api, false);");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

TEST(ScriptSandbox, DynamicImportIsRefused) {
  const auto outcome = runChecked(
      "var failed = false; import('/etc/passwd').then(function () {}, function () { failed = true; });\n"
      "same(failed, true);",
      1);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
