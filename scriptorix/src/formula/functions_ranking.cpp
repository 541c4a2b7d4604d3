#include <algorithm>
#include <cmath>

#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/order_statistics.h"

namespace sx::formula {
namespace {

std::vector<double> sortedNumbersOf(CallArgs& args, std::size_t i) {
  auto numbers = collectNumbers(args, i, i + 1);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// RANK and kin: the position of a number among the numbers of a reference, largest first
// unless the order is non-zero; ties share the first position or, averaged, their mean.
Value rankOf(CallArgs& args, bool averageTies) {
  double wanted = args.number(0);
  References areas = args.references(1);
  bool ascending = args.numberOr(2, 0) != 0;
  double before = 0, equal = 0;
  for (const Area& area : areas) {
    args.evaluator().forEachCell(area, [&](const Scalar& cell, int32_t, int32_t) {
      if (!cell.isNumber()) return;
      if (cell.number == wanted) {
        equal += 1;
      } else if (ascending ? cell.number < wanted : cell.number > wanted) {
        before += 1;
      }
    });
  }
  if (equal == 0) return Scalar::fromError(ErrorCode::NA);
  return number(averageTies ? before + (equal + 1) / 2 : before + 1);
}
Value rank(CallArgs& args) { return rankOf(args, false); }
Value rankAverage(CallArgs& args) { return rankOf(args, true); }

Value percentileInc(CallArgs& args) {
  auto sorted = sortedNumbersOf(args, 0);
  return number(percentileInclusive(sorted, args.number(1)));
}
Value percentileExc(CallArgs& args) {
  auto sorted = sortedNumbersOf(args, 0);
  return number(percentileExclusive(sorted, args.number(1)));
}

double quarter(CallArgs& args) { return std::trunc(args.number(1)); }

Value quartileInc(CallArgs& args) {
  auto sorted = sortedNumbersOf(args, 0);
  double q = quarter(args);
  if (q < 0 || q > 4) return Scalar::fromError(ErrorCode::Num);
  return number(percentileInclusive(sorted, q / 4));
}
Value quartileExc(CallArgs& args) {
  auto sorted = sortedNumbersOf(args, 0);
  double q = quarter(args);
  if (q <= 0 || q >= 4) return Scalar::fromError(ErrorCode::Num);
  return number(percentileExclusive(sorted, q / 4));
}

// PERCENTRANK: where x falls among the numbers (interpolated between neighbours), as a
// fraction cut (not rounded) to `significance` digits.
Value percentRank(CallArgs& args, bool exclusive) {
  auto sorted = sortedNumbersOf(args, 0);
  double x = args.number(1);
  double digits = std::trunc(args.numberOr(2, 3));
  if (sorted.empty() || digits < 1) return Scalar::fromError(ErrorCode::Num);
  if (x < sorted.front() || x > sorted.back()) return Scalar::fromError(ErrorCode::NA);
  const double n = double(sorted.size());
  auto below = double(std::lower_bound(sorted.begin(), sorted.end(), x) - sorted.begin());
  double position;  // 0-based rank of x among the numbers
  if (sorted[std::size_t(below)] == x) {
    position = below;
  } else {
    double low = sorted[std::size_t(below) - 1], high = sorted[std::size_t(below)];
    position = below - 1 + (x - low) / (high - low);
  }
  double fraction;
  if (exclusive) {
    fraction = (position + 1) / (n + 1);
  } else {
    if (sorted.size() == 1) return number(1);
    fraction = position / (n - 1);
  }
  double scale = std::pow(10.0, std::min(digits, 15.0));
  return number(std::floor(significant15(fraction * scale)) / scale);
}
Value percentRankInc(CallArgs& args) { return percentRank(args, false); }
Value percentRankExc(CallArgs& args) { return percentRank(args, true); }

// MODE.MULT: every most frequent number, down one column.
Value modeMultiple(CallArgs& args) {
  auto found = modes(collectNumbers(args));
  if (found.empty()) return Scalar::fromError(ErrorCode::NA);
  Array column{int32_t(found.size()), 1, {}};
  for (double n : found) column.cells.push_back(Scalar::fromNumber(n));
  return column;
}

constexpr FunctionSpec kFunctions[] = {
    {u"RANK", 2, 3, rank},
    {u"RANK.EQ", 2, 3, rank},
    {u"RANK.AVG", 2, 3, rankAverage},
    {u"PERCENTILE", 2, 2, percentileInc},
    {u"PERCENTILE.INC", 2, 2, percentileInc},
    {u"PERCENTILE.EXC", 2, 2, percentileExc},
    {u"QUARTILE", 2, 2, quartileInc},
    {u"QUARTILE.INC", 2, 2, quartileInc},
    {u"QUARTILE.EXC", 2, 2, quartileExc},
    {u"PERCENTRANK", 2, 3, percentRankInc},
    {u"PERCENTRANK.INC", 2, 3, percentRankInc},
    {u"PERCENTRANK.EXC", 2, 3, percentRankExc},
    {u"MODE.MULT", 1, -1, modeMultiple},
};

}  // namespace

std::span<const FunctionSpec> rankingFunctions() { return kFunctions; }

}  // namespace sx::formula
