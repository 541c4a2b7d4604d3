#include <algorithm>
#include <cmath>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value numError() { return Scalar::fromError(ErrorCode::Num); }

Value sln(CallArgs& args) {
  const double cost = args.number(0), salvage = args.number(1), life = args.number(2);
  if (life == 0) return Scalar::fromError(ErrorCode::Div0);
  return number((cost - salvage) / life);
}

// SYD: sum-of-years' digits.
Value syd(CallArgs& args) {
  const double cost = args.number(0), salvage = args.number(1), life = args.number(2);
  const double period = args.number(3);
  if (life <= 0 || period <= 0 || period > life || salvage < 0) return numError();
  return number((cost - salvage) * (life - period + 1) * 2 / (life * (life + 1)));
}

// DB: fixed-declining balance at a rate rounded to three decimals; the first year may be
// partial (`months`), and then a last partial year follows the life.
Value db(CallArgs& args) {
  const double cost = args.number(0), salvage = args.number(1), life = args.number(2);
  const int64_t period = toInteger(args.number(3));
  const double months = double(toInteger(args.numberOr(4, 12)));
  if (cost < 0 || salvage < 0 || life <= 0 || period < 1 || months < 1 || months > 12)
    return numError();
  const double lastPeriod = months == 12 ? life : life + 1;
  if (double(period) > lastPeriod) return numError();
  if (cost == 0) return number(0);
  const double rate = roundHalfAway(1 - std::pow(salvage / cost, 1 / life), 3);
  double total = cost * rate * months / 12;
  if (period == 1) return number(total);
  double depreciation = total;
  for (int64_t p = 2; p <= period; ++p) {
    depreciation = (cost - total) * rate;
    if (double(p) > life) depreciation *= (12 - months) / 12;
    total += depreciation;
  }
  return number(depreciation);
}

// The double-declining (by `factor`) depreciation of each whole period, never taking the
// value below the salvage.
double decliningPeriod(double cost, double salvage, double life, double period, double factor) {
  const double rate = std::min(1.0, factor / life);
  const double before =
      rate == 1 ? (period == 1 ? cost : 0) : cost * std::pow(1 - rate, period - 1);
  const double after = cost * std::pow(1 - rate, period);
  return std::max(0.0, after < salvage ? before - salvage : before - after);
}

Value ddb(CallArgs& args) {
  const double cost = args.number(0), salvage = args.number(1), life = args.number(2);
  const double period = args.number(3), factor = args.numberOr(4, 2);
  if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || factor <= 0 || period > life)
    return numError();
  return number(decliningPeriod(cost, salvage, life, period, factor));
}

// VDB: declining balance switching to straight line once that gives more (unless told not
// to), summed over start..end; partial periods take their share of the period's amount.
Value vdb(CallArgs& args) {
  const double cost = args.number(0), salvage = args.number(1), life = args.number(2);
  const double start = args.number(3), end = args.number(4), factor = args.numberOr(5, 2);
  const bool noSwitch = args.booleanOr(6, false);
  if (cost < 0 || salvage < 0 || life <= 0 || start < 0 || end < start || end > life || factor <= 0)
    return numError();
  const double rate = factor / life;
  double value = cost, total = 0;
  bool straight = false;
  double straightAmount = 0;
  const int64_t lastPeriod = int64_t(std::ceil(end));
  for (int64_t p = 1; p <= lastPeriod; ++p) {
    double amount;
    if (straight) {
      amount = straightAmount;
    } else {
      amount = std::min(value * std::min(rate, 1.0), std::max(0.0, value - salvage));
      const double remaining = life - double(p - 1);
      const double lineAmount = remaining > 0 ? (value - salvage) / remaining : 0;
      if (!noSwitch && lineAmount > amount) {
        straight = true;
        straightAmount = lineAmount;
        amount = lineAmount;
      }
    }
    amount = std::min(amount, std::max(0.0, value - salvage));
    const double share =
        std::clamp(std::min(end, double(p)) - std::max(start, double(p - 1)), 0.0, 1.0);
    total += amount * share;
    value -= amount;
  }
  return number(total);
}

constexpr FunctionSpec kFunctions[] = {
    {u"SLN", 3, 3, sln, false, true}, {u"SYD", 4, 4, syd, false, true},
    {u"DB", 4, 5, db, false, true},   {u"DDB", 4, 5, ddb, false, true},
    {u"VDB", 5, 7, vdb, false, true},
};

}  // namespace

std::span<const FunctionSpec> depreciationFunctions() { return kFunctions; }

}  // namespace sx::formula
