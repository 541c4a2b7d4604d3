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

// The helper's results object is `{}` filled by key; "__proto__" must be a key like any other.
TEST(ScriptSandbox, ProtoIsAnOrdinaryKey) {
  const auto outcome = runChecked(
      "var results = {}; results['__proto__'] = 5; results['x'] = {a: 1};"
      " same(JSON.stringify(results), '{\"__proto__\":5,\"x\":{\"a\":1}}');"
      " var other = {}; other['__proto__'] = {polluted: true};"
      " same(Object.getPrototypeOf(other) === Object.prototype, true); same(({}).polluted, undefined);"
      " same(JSON.stringify(other), '{\"__proto__\":{\"polluted\":true}}');"
      " var child = Object.create(other); same(Object.getPrototypeOf(child) === other, true);"
      " same(Object.keys(JSON.parse('{\"__proto__\":1}')), ['__proto__']);");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
