#include <gtest/gtest.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

// Every method of every engine class, called with every kind of argument: each call either
// works or throws an Error; none may crash or leave the engine unable to go on.
TEST(HostileArguments, EveryMethodSurvivesEveryKindOfArgument) {
  const auto outcome = runChecked(R"(
    builder.CreateFile('xlsx');
    var s = Api.GetActiveSheet(); Api.AddSheet('Two'); s.AddDefName('N', '$A$1');
    var values = [undefined, null, true, 0, -1, 2, 1.5, 1e12, NaN, Infinity, '', 'A1', 'B2:C3',
                  '1:3', 'A:C', 'x', 'Thin', 'Top', 'up', 'right', {}, [], [1], Symbol('s'), s,
                  s.GetRange('A1:B2'), Api.CreateColorFromRGB(1, 2, 3), function () {},
                  new Proxy({}, { get: function () { throw new Error('trap'); } })];
    var few = [undefined, null, 1, 'A1', 'Thin', Api.CreateColorFromRGB(0, 0, 0), s, {}];
    var targets = [Api, s, s.GetRange('A1:B3'), s.GetRows('2:3'), s.GetRange('C1:D2').GetCols(),
                   s.GetRange('A1').GetDefName(), Api.CreateColorFromRGB(9, 9, 9)];
    var calls = 0, failures = 0;
    function attempt(target, name, args) {
      calls++;
      try { target[name].apply(target, args); }
      catch (e) { if (!(e instanceof Error)) throw e; failures++; }
    }
    targets.forEach(function (target) {
      var prototype = Object.getPrototypeOf(target);
      Object.getOwnPropertyNames(prototype).forEach(function (name) {
        if (typeof prototype[name] !== 'function' || name === 'constructor') return;
        attempt(target, name, []);
        values.forEach(function (a) {
          attempt(target, name, [a]);
          few.forEach(function (b) { attempt(target, name, [a, b]); attempt(target, name, [b, a, b]); });
        });
      });
    });
    if (calls < 10000 || failures === 0 || failures === calls) throw new Error(calls + ' calls, ' + failures + ' failed');
    Api.GetSheets()[0].GetRange('A1').SetValue('still working');
    same(Api.GetSheets()[0].GetRange('A1').GetValue(), 'still working');
  )");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errorLine;
}

}  // namespace
}  // namespace sx::testing
