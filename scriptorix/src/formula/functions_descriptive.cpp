#include <algorithm>
#include <cmath>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// The values the "A" functions count: in ranges and arrays text is 0, TRUE 1, FALSE 0 and
// empty cells are skipped; given directly, numeric text and booleans are numbers and other
// text is #VALUE!.
std::vector<double> collectAValues(CallArgs& args) {
  std::vector<double> values;
  forEachArgumentValue(args, 0, [&](const Scalar& value, bool direct) {
    if (value.isError()) throw FormulaError{value.error};
    if (value.isEmpty()) return;
    if (value.isNumber()) {
      values.push_back(value.number);
    } else if (value.isBoolean()) {
      values.push_back(value.boolean ? 1 : 0);
    } else {
      values.push_back(direct ? toNumber(value) : 0);
    }
  });
  return values;
}

double meanOf(const std::vector<double>& values) {
  double total = 0;
  for (double v : values) total += v;
  return total / double(values.size());
}

// The sum of (v - mean)^k.
double centralMoment(const std::vector<double>& values, double mean, int k) {
  double total = 0;
  for (double v : values) total += std::pow(v - mean, k);
  return total;
}

// Variance over n - 1 (sample) or n (population); too few values is #DIV/0!.
double varianceOf(const std::vector<double>& values, bool sample) {
  double n = double(values.size());
  if (n < (sample ? 2 : 1)) throw FormulaError{ErrorCode::Div0};
  return centralMoment(values, meanOf(values), 2) / (sample ? n - 1 : n);
}

Value maxA(CallArgs& args) {
  auto values = collectAValues(args);
  return number(values.empty() ? 0 : *std::max_element(values.begin(), values.end()));
}
Value minA(CallArgs& args) {
  auto values = collectAValues(args);
  return number(values.empty() ? 0 : *std::min_element(values.begin(), values.end()));
}
Value averageA(CallArgs& args) {
  auto values = collectAValues(args);
  if (values.empty()) return Scalar::fromError(ErrorCode::Div0);
  return number(meanOf(values));
}
Value varA(CallArgs& args) { return number(varianceOf(collectAValues(args), true)); }
Value varPA(CallArgs& args) { return number(varianceOf(collectAValues(args), false)); }
Value stdevA(CallArgs& args) { return number(std::sqrt(varianceOf(collectAValues(args), true))); }
Value stdevPA(CallArgs& args) { return number(std::sqrt(varianceOf(collectAValues(args), false))); }

std::vector<double> positiveNumbers(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) throw FormulaError{ErrorCode::Num};
  for (double n : numbers) {
    if (n <= 0) throw FormulaError{ErrorCode::Num};
  }
  return numbers;
}

Value geomean(CallArgs& args) {
  auto numbers = positiveNumbers(args);
  double logs = 0;
  for (double n : numbers) logs += std::log(n);
  return number(std::exp(logs / double(numbers.size())));
}

Value harmean(CallArgs& args) {
  auto numbers = positiveNumbers(args);
  double reciprocals = 0;
  for (double n : numbers) reciprocals += 1 / n;
  return number(double(numbers.size()) / reciprocals);
}

Value kurtosis(CallArgs& args) {
  auto numbers = collectNumbers(args);
  double n = double(numbers.size());
  if (n < 4) return Scalar::fromError(ErrorCode::Div0);
  double mean = meanOf(numbers);
  double variance = centralMoment(numbers, mean, 2) / (n - 1);
  if (variance == 0) return Scalar::fromError(ErrorCode::Div0);
  double fourth = 0;
  for (double v : numbers) fourth += std::pow((v - mean) / std::sqrt(variance), 4);
  return number(n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * fourth -
                3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3)));
}

Value skewness(CallArgs& args, bool sample) {
  auto numbers = collectNumbers(args);
  double n = double(numbers.size());
  if (n < (sample ? 3 : 1)) return Scalar::fromError(ErrorCode::Div0);
  double mean = meanOf(numbers);
  double sd = std::sqrt(centralMoment(numbers, mean, 2) / (sample ? n - 1 : n));
  if (sd == 0) return Scalar::fromError(ErrorCode::Div0);
  double third = 0;
  for (double v : numbers) third += std::pow((v - mean) / sd, 3);
  return number(sample ? n / ((n - 1) * (n - 2)) * third : third / n);
}
Value skew(CallArgs& args) { return skewness(args, true); }
Value skewP(CallArgs& args) { return skewness(args, false); }

Value trimmean(CallArgs& args) {
  auto numbers = collectNumbers(args, 0, 1);
  double percent = args.number(1);
  if (numbers.empty() || percent < 0 || percent >= 1) return Scalar::fromError(ErrorCode::Num);
  std::sort(numbers.begin(), numbers.end());
  // The count left out rounds down to an even number, half from each end.
  auto cut = std::size_t(std::floor(double(numbers.size()) * percent / 2));
  std::vector<double> kept(numbers.begin() + std::ptrdiff_t(cut),
                           numbers.end() - std::ptrdiff_t(cut));
  return number(meanOf(kept));
}

Value standardize(CallArgs& args) {
  double x = args.number(0), mean = args.number(1), sd = args.number(2);
  if (sd <= 0) return Scalar::fromError(ErrorCode::Num);
  return number((x - mean) / sd);
}

Value fisher(CallArgs& args) {
  double x = args.number(0);
  if (x <= -1 || x >= 1) return Scalar::fromError(ErrorCode::Num);
  return number(std::atanh(x));
}

Value fisherInv(CallArgs& args) { return number(std::tanh(args.number(0))); }

// PROB: the probability of the values between the bounds, from a table whose probabilities
// must each be in (0, 1] and add up to 1.
Value prob(CallArgs& args) {
  Array values = args.evaluator().toArray(args.value(0));
  Array chances = args.evaluator().toArray(args.value(1));
  if (values.cells.size() != chances.cells.size()) return Scalar::fromError(ErrorCode::NA);
  double low = args.number(2);
  double high = args.numberOr(3, low);
  double total = 0, within = 0;
  for (std::size_t i = 0; i < values.cells.size(); ++i) {
    const Scalar& value = values.cells[i];
    const Scalar& chance = chances.cells[i];
    if (value.isError()) return value;
    if (chance.isError()) return chance;
    if (!chance.isNumber() || !value.isNumber()) continue;
    if (chance.number <= 0 || chance.number > 1) return Scalar::fromError(ErrorCode::Num);
    total += chance.number;
    if (value.number >= low && value.number <= high) within += chance.number;
  }
  if (std::fabs(total - 1) > 1e-7) return Scalar::fromError(ErrorCode::Num);
  return number(within);
}

constexpr FunctionSpec kFunctions[] = {
    {u"MAXA", 1, -1, maxA},
    {u"MINA", 1, -1, minA},
    {u"AVERAGEA", 1, -1, averageA},
    {u"VARA", 1, -1, varA},
    {u"VARPA", 1, -1, varPA},
    {u"STDEVA", 1, -1, stdevA},
    {u"STDEVPA", 1, -1, stdevPA},
    {u"GEOMEAN", 1, -1, geomean},
    {u"HARMEAN", 1, -1, harmean},
    {u"KURT", 1, -1, kurtosis},
    {u"SKEW", 1, -1, skew},
    {u"SKEW.P", 1, -1, skewP},
    {u"TRIMMEAN", 2, 2, trimmean},
    {u"STANDARDIZE", 3, 3, standardize, false, true},
    {u"FISHER", 1, 1, fisher, false, true},
    {u"FISHERINV", 1, 1, fisherInv, false, true},
    {u"PROB", 3, 4, prob},
};

}  // namespace

std::span<const FunctionSpec> descriptiveFunctions() { return kFunctions; }

}  // namespace sx::formula
