#include <algorithm>
#include <cmath>
#include <optional>

#include "formula/criteria.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/reference_syntax.h"

namespace sx::formula {
namespace {

Value average(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Div0);
  double total = 0;
  for (double n : numbers) total += n;
  return number(total / double(numbers.size()));
}

Value minimum(CallArgs& args) {
  auto numbers = collectNumbers(args);
  return number(numbers.empty() ? 0 : *std::min_element(numbers.begin(), numbers.end()));
}

Value maximum(CallArgs& args) {
  auto numbers = collectNumbers(args);
  return number(numbers.empty() ? 0 : *std::max_element(numbers.begin(), numbers.end()));
}

Value median(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Num);
  std::sort(numbers.begin(), numbers.end());
  std::size_t half = numbers.size() / 2;
  return number(numbers.size() % 2 ? numbers[half] : (numbers[half - 1] + numbers[half]) / 2);
}

std::optional<double> sampleVariance(CallArgs& args) {
  auto numbers = collectNumbers(args);
  if (numbers.size() < 2) return std::nullopt;
  double mean = 0;
  for (double n : numbers) mean += n;
  mean /= double(numbers.size());
  double squares = 0;
  for (double n : numbers) squares += (n - mean) * (n - mean);
  return squares / double(numbers.size() - 1);
}

Value variance(CallArgs& args) {
  auto result = sampleVariance(args);
  return result ? number(*result) : Scalar::fromError(ErrorCode::Div0);
}

Value standardDeviation(CallArgs& args) {
  auto result = sampleVariance(args);
  return result ? number(std::sqrt(*result)) : Scalar::fromError(ErrorCode::Div0);
}

Value count(CallArgs& args) {
  double total = 0;
  forEachArgumentValue(args, 0, [&](const Scalar& value, bool direct) {
    if (value.isNumber()) total += 1;
    if (direct && (value.isBoolean() || (value.isText() && parseNumericText(value.text))))
      total += 1;
  });
  return number(total);
}

Value countA(CallArgs& args) {
  double total = 0;
  forEachArgumentValue(args, 0, [&](const Scalar& value, bool) {
    if (!value.isEmpty()) total += 1;
  });
  return number(total);
}

// Calls `visit(row, column)` for every offset of `ranges` (all of one size) where each range's
// cell meets its criterion. Cells beyond the used part of a sheet are empty: they are counted
// in one go through `outside` when every criterion accepts an empty cell.
void forEachMatch(std::vector<Grid>& ranges, const std::vector<Criterion>& criteria,
                  const std::function<void(int32_t, int32_t)>& visit, double* outside) {
  const Grid& first = ranges.front();
  int32_t rows = 0, columns = 0;
  for (const auto& range : ranges) {
    if (range.fullRows() != first.fullRows() || range.fullColumns() != first.fullColumns()) {
      throw FormulaError{ErrorCode::Value};
    }
    rows = std::max(rows, range.rows());
    columns = std::max(columns, range.columns());
  }
  for (auto& range : ranges) range.readAll();
  if (rows == 0 || columns == 0) rows = columns = 0;
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      bool all = true;
      for (std::size_t i = 0; i < ranges.size() && all; ++i)
        all = criteria[i].matches(ranges[i].at(row, column));
      if (all) visit(row, column);
    }
  }
  if (!outside) return;
  bool emptyMatches = true;
  for (const auto& criterion : criteria)
    emptyMatches = emptyMatches && criterion.matches(Scalar::empty());
  if (emptyMatches) {
    *outside = double(first.fullRows()) * first.fullColumns() - double(rows) * columns;
  }
}

struct Conditions {
  std::vector<Grid> ranges;
  std::vector<Criterion> criteria;
};

Conditions conditionPairs(CallArgs& args, std::size_t first) {
  if ((args.size() - first) % 2 != 0) throw FormulaError{ErrorCode::Value};
  Conditions conditions;
  for (std::size_t i = first; i < args.size(); i += 2) {
    conditions.ranges.push_back(args.grid(i));
    conditions.criteria.emplace_back(args.scalar(i + 1));
  }
  return conditions;
}

Value countIfs(CallArgs& args) {
  Conditions conditions = conditionPairs(args, 0);
  double total = 0, outside = 0;
  forEachMatch(
      conditions.ranges, conditions.criteria, [&](int32_t, int32_t) { total += 1; }, &outside);
  return number(total + outside);
}

// The numbers of `values` at every offset that meets the conditions (an error there is the
// result). With `stretch` (SUMIF, AVERAGEIF) a value range of another size is read from its
// top-left cell in the shape of the criteria range, as a spreadsheet does.
std::vector<double> matchedNumbers(const Grid& values, Conditions& conditions, bool stretch) {
  std::vector<double> numbers;
  std::optional<ErrorCode> error;
  // Values that are one of the criteria ranges (SUMIF with two arguments) are read from it, as
  // it is read at once; other values only where the conditions hold.
  const Grid* source = &values;
  for (const Grid& range : conditions.ranges) {
    if (values.isArea() && range.isArea() && range.area() == values.area()) source = &range;
  }
  forEachMatch(
      conditions.ranges, conditions.criteria,
      [&](int32_t row, int32_t column) {
        bool inside = row < values.fullRows() && column < values.fullColumns();
        if (!inside && !(stretch && values.isArea() && values.area().firstRow + row < kMaxRows &&
                         values.area().firstColumn + column < kMaxColumns)) {
          return;
        }
        Scalar value = source->at(row, column);
        if (value.isError() && !error) error = value.error;
        if (value.isNumber()) numbers.push_back(value.number);
      },
      nullptr);
  if (error) throw FormulaError{*error};
  return numbers;
}

double total(const std::vector<double>& numbers) {
  double sum = 0;
  for (double n : numbers) sum += n;
  return sum;
}

Value averageOf(const std::vector<double>& numbers) {
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Div0);
  return number(total(numbers) / double(numbers.size()));
}

void requireSameShape(const Grid& values, const Conditions& conditions) {
  if (values.fullRows() != conditions.ranges.front().fullRows() ||
      values.fullColumns() != conditions.ranges.front().fullColumns()) {
    throw FormulaError{ErrorCode::Value};
  }
}

Value sumIf(CallArgs& args) {
  Conditions conditions;
  conditions.ranges.push_back(args.grid(0));
  conditions.criteria.emplace_back(args.scalar(1));
  Grid values = args.isMissing(2) ? conditions.ranges.front() : args.grid(2);
  return number(total(matchedNumbers(values, conditions, true)));
}

Value averageIf(CallArgs& args) {
  Conditions conditions;
  conditions.ranges.push_back(args.grid(0));
  conditions.criteria.emplace_back(args.scalar(1));
  Grid values = args.isMissing(2) ? conditions.ranges.front() : args.grid(2);
  return averageOf(matchedNumbers(values, conditions, true));
}

Value sumIfs(CallArgs& args) {
  Conditions conditions = conditionPairs(args, 1);
  Grid values = args.grid(0);
  requireSameShape(values, conditions);
  return number(total(matchedNumbers(values, conditions, false)));
}

Value averageIfs(CallArgs& args) {
  Conditions conditions = conditionPairs(args, 1);
  Grid values = args.grid(0);
  requireSameShape(values, conditions);
  return averageOf(matchedNumbers(values, conditions, false));
}

Value extremeIfs(CallArgs& args, bool largest) {
  Conditions conditions = conditionPairs(args, 1);
  Grid values = args.grid(0);
  requireSameShape(values, conditions);
  auto numbers = matchedNumbers(values, conditions, false);
  if (numbers.empty()) return number(0);
  return number(largest ? *std::max_element(numbers.begin(), numbers.end())
                        : *std::min_element(numbers.begin(), numbers.end()));
}

Value minIfs(CallArgs& args) { return extremeIfs(args, false); }
Value maxIfs(CallArgs& args) { return extremeIfs(args, true); }

// LARGE and SMALL: the k-th number from the top or the bottom.
Value kth(CallArgs& args, bool largest) {
  std::vector<double> numbers = numbersIn(args, 0);
  double k = std::trunc(args.number(1));
  if (k < 1 || k > double(numbers.size())) return Scalar::fromError(ErrorCode::Num);
  std::sort(numbers.begin(), numbers.end());
  std::size_t index = std::size_t(k) - 1;
  return number(largest ? numbers[numbers.size() - 1 - index] : numbers[index]);
}

Value large(CallArgs& args) { return kth(args, true); }
Value small(CallArgs& args) { return kth(args, false); }

Value countIf(CallArgs& args) {
  std::vector<Grid> ranges{args.grid(0)};
  std::vector<Criterion> criteria{Criterion(args.scalar(1))};
  double total = 0, outside = 0;
  forEachMatch(
      ranges, criteria, [&](int32_t, int32_t) { total += 1; }, &outside);
  return number(total + outside);
}

Value countBlank(CallArgs& args) {
  std::vector<Grid> ranges{args.grid(0)};
  std::vector<Criterion> criteria{Criterion(Scalar::fromText(u""))};
  double total = 0, outside = 0;
  forEachMatch(
      ranges, criteria, [&](int32_t, int32_t) { total += 1; }, &outside);
  return number(total + outside);
}

constexpr FunctionSpec kFunctions[] = {
    {u"AVERAGE", 1, -1, average},
    {u"MIN", 1, -1, minimum},
    {u"MAX", 1, -1, maximum},
    {u"MEDIAN", 1, -1, median},
    {u"VAR", 1, -1, variance},
    {u"VAR.S", 1, -1, variance},
    {u"STDEV", 1, -1, standardDeviation},
    {u"STDEV.S", 1, -1, standardDeviation},
    {u"COUNT", 1, -1, count},
    {u"COUNTA", 1, -1, countA},
    {u"COUNTBLANK", 1, 1, countBlank},
    {u"COUNTIF", 2, 2, countIf},
    {u"COUNTIFS", 2, -1, countIfs},
    {u"SUMIF", 2, 3, sumIf},
    {u"SUMIFS", 3, -1, sumIfs},
    {u"AVERAGEIF", 2, 3, averageIf},
    {u"AVERAGEIFS", 3, -1, averageIfs},
    {u"MINIFS", 3, -1, minIfs},
    {u"MAXIFS", 3, -1, maxIfs},
    {u"LARGE", 2, 2, large},
    {u"SMALL", 2, 2, small},
};

}  // namespace

std::span<const FunctionSpec> statisticsFunctions() { return kFunctions; }

}  // namespace sx::formula
