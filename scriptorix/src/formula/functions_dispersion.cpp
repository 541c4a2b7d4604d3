#include <algorithm>
#include <cmath>
#include <map>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

double meanOf(const std::vector<double>& numbers) {
  double total = 0;
  for (double n : numbers) total += n;
  return total / double(numbers.size());
}

double squaredDeviations(const std::vector<double>& numbers) {
  const double mean = meanOf(numbers);
  double squares = 0;
  for (double n : numbers) squares += (n - mean) * (n - mean);
  return squares;
}

Value devsq(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Num);
  return number(squaredDeviations(numbers));
}

Value avedev(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Num);
  const double mean = meanOf(numbers);
  double total = 0;
  for (double n : numbers) total += std::fabs(n - mean);
  return number(total / double(numbers.size()));
}

// Population variance: the deviations over n, not n - 1.
Value populationVariance(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Div0);
  return number(squaredDeviations(numbers) / double(numbers.size()));
}

Value populationDeviation(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Div0);
  return number(std::sqrt(squaredDeviations(numbers) / double(numbers.size())));
}

// The most frequent number; of equally frequent ones, the first met. None repeated: #N/A.
Value mode(CallArgs& args) {
  auto numbers = collectNumbers(args);
  std::map<double, int> counts;
  for (double n : numbers) ++counts[n];
  int best = 1;
  double found = 0;
  for (double n : numbers) {
    if (counts[n] > best) {
      best = counts[n];
      found = n;
    }
  }
  if (best < 2) return Scalar::fromError(ErrorCode::NA);
  return number(found);
}

constexpr FunctionSpec kFunctions[] = {
    {u"DEVSQ", 1, -1, devsq},
    {u"AVEDEV", 1, -1, avedev},
    {u"VARP", 1, -1, populationVariance},
    {u"VAR.P", 1, -1, populationVariance},
    {u"STDEVP", 1, -1, populationDeviation},
    {u"STDEV.P", 1, -1, populationDeviation},
    {u"MODE", 1, -1, mode},
    {u"MODE.SNGL", 1, -1, mode},
};

}  // namespace

std::span<const FunctionSpec> dispersionFunctions() { return kFunctions; }

}  // namespace sx::formula
