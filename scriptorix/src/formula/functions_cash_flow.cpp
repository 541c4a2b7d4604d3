#include <cmath>
#include <vector>

#include "formula/annuity.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value numError() { return Scalar::fromError(ErrorCode::Num); }

// Newton's method from `guess` on a function given with its derivative. The step limit and the
// final tolerance are the application's (RATE and IRR: 20 steps, XIRR: 100); steps go on while
// they still change the result so that a found root is exact to the last digits.
template <typename Function>
Value solveRate(double guess, int maxSteps, Function valueAndSlope) {
  double rate = guess, change = 0;
  for (int step = 0; step < maxSteps; ++step) {
    if (rate <= -1) return numError();
    auto [value, slope] = valueAndSlope(rate);
    if (!std::isfinite(value) || !std::isfinite(slope) || slope == 0) return numError();
    const double next = rate - value / slope;
    change = std::fabs(next - rate);
    rate = next;
    if (change < 1e-13 * std::max(1.0, std::fabs(rate))) break;
  }
  return change < 1e-7 && rate > -1 ? number(rate) : numError();
}

// A payment type as the cumulative functions take it: exactly 0 or 1.
int strictType(CallArgs& args, std::size_t i) {
  const int64_t type = toInteger(args.number(i));
  if (type != 0 && type != 1) throw FormulaError{ErrorCode::Num};
  return int(type);
}

double typeArgument(CallArgs& args, std::size_t i) { return args.numberOr(i, 0) != 0 ? 1 : 0; }

// IPMT and PPMT: the interest and principal parts of one payment.
struct PaymentParts {
  double payment;
  double interest;
};

PaymentParts paymentParts(CallArgs& args) {
  const double rate = args.number(0), period = args.number(1), periods = args.number(2);
  const double present = args.number(3), future = args.numberOr(4, 0);
  const double type = typeArgument(args, 5);
  if (period < 1 || period >= periods + 1 || periods <= 0) throw FormulaError{ErrorCode::Num};
  const double payment = annuityPayment(rate, periods, present, future, type);
  return {payment, annuityInterest(rate, period, payment, present, type)};
}

Value ipmt(CallArgs& args) { return number(paymentParts(args).interest); }

Value ppmt(CallArgs& args) {
  const PaymentParts parts = paymentParts(args);
  return number(parts.payment - parts.interest);
}

// CUMIPMT and CUMPRINC: interest or principal paid over periods start..end of a loan.
Value cumulative(CallArgs& args, bool principal) {
  const double rate = args.number(0);
  const double periods = double(toInteger(args.number(1)));
  const double present = args.number(2);
  const int64_t start = toInteger(args.number(3)), end = toInteger(args.number(4));
  const int type = strictType(args, 5);
  if (rate <= 0 || periods <= 0 || present <= 0 || start < 1 || end < start || end > periods)
    return numError();
  const double payment = annuityPayment(rate, periods, present, 0, type);
  double total = 0;
  for (int64_t period = start; period <= end; ++period) {
    const double interest = annuityInterest(rate, double(period), payment, present, type);
    total += principal ? payment - interest : interest;
  }
  return number(total);
}

Value cumipmt(CallArgs& args) { return cumulative(args, false); }
Value cumprinc(CallArgs& args) { return cumulative(args, true); }

// RATE(nper, pmt, pv, [fv], [type], [guess]).
Value rate(CallArgs& args) {
  const double periods = args.number(0), payment = args.number(1), present = args.number(2);
  const double future = args.numberOr(3, 0), type = typeArgument(args, 4);
  const double guess = args.numberOr(5, 0.1);
  if (periods <= 0) return numError();
  return solveRate(guess, 20, [&](double r) -> std::pair<double, double> {
    if (std::fabs(r) < 1e-12) {
      // The limit at zero: the annuity is a plain sum; its slope by the series expansion.
      const double value = present + payment * periods + future;
      const double slope =
          present * periods + payment * (periods * (periods - 1) / 2 + type * periods);
      return {value, slope};
    }
    const double gain = compoundGrowth(r, periods);
    const double growth = gain + 1;
    const double growthSlope = periods * growth / (1 + r);
    const double annuity = gain / r;
    const double annuitySlope = (growthSlope * r - gain) / (r * r);
    const double value = present * growth + payment * (1 + r * type) * annuity + future;
    const double slope =
        present * growthSlope + payment * (type * annuity + (1 + r * type) * annuitySlope);
    return {value, slope};
  });
}

// The numbers of a cash-flow argument in order; in ranges text, booleans and blanks are skipped.
std::vector<double> cashFlows(CallArgs& args, std::size_t i) {
  std::vector<double> values;
  forEachArgumentValue(
      args, i,
      [&](const Scalar& value, bool direct) {
        if (value.isError()) throw FormulaError{value.error};
        if (value.isNumber()) {
          values.push_back(value.number);
        } else if (direct) {
          values.push_back(toNumber(value));
        }
      },
      i + 1);
  return values;
}

bool hasBothSigns(const std::vector<double>& values) {
  bool positive = false, negative = false;
  for (double v : values) {
    positive |= v > 0;
    negative |= v < 0;
  }
  return positive && negative;
}

Value irr(CallArgs& args) {
  const std::vector<double> values = cashFlows(args, 0);
  const double guess = args.numberOr(1, 0.1);
  if (!hasBothSigns(values)) return numError();
  return solveRate(guess, 20, [&](double r) -> std::pair<double, double> {
    double value = 0, slope = 0, discount = 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
      value += values[i] / discount;
      slope -= double(i) * values[i] / (discount * (1 + r));
      discount *= 1 + r;
    }
    return {value, slope};
  });
}

// MIRR: the positive flows grow at the reinvestment rate, the negative ones are financed.
Value mirr(CallArgs& args) {
  const std::vector<double> values = cashFlows(args, 0);
  const double financeRate = args.number(1), reinvestRate = args.number(2);
  const double n = double(values.size());
  double gains = 0, costs = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] > 0) gains += values[i] * std::pow(1 + reinvestRate, n - 1 - double(i));
    if (values[i] < 0) costs += values[i] / std::pow(1 + financeRate, double(i));
  }
  if (gains == 0 || costs == 0 || n < 2) return Scalar::fromError(ErrorCode::Div0);
  return number(std::pow(-gains / costs, 1 / (n - 1)) - 1);
}

// Every element of an argument as a number, in order: XNPV and XIRR take nothing else.
std::vector<double> strictNumbers(CallArgs& args, std::size_t i) {
  std::vector<double> values;
  forEachArgumentValue(
      args, i,
      [&](const Scalar& value, bool direct) {
        if (value.isError()) throw FormulaError{value.error};
        if (value.isNumber()) {
          values.push_back(value.number);
        } else if (direct && !value.isEmpty()) {
          values.push_back(toNumber(value));
        } else {
          throw FormulaError{ErrorCode::Value};
        }
      },
      i + 1);
  return values;
}

// The flows of XNPV and XIRR with their dates as years after the first date.
struct DatedFlows {
  std::vector<double> values;
  std::vector<double> years;
};

DatedFlows datedFlows(CallArgs& args, std::size_t valuesArg, std::size_t datesArg) {
  DatedFlows flows{strictNumbers(args, valuesArg), {}};
  const std::vector<double> dates = strictNumbers(args, datesArg);
  if (dates.size() != flows.values.size() || dates.empty()) throw FormulaError{ErrorCode::Num};
  const double first = std::floor(dates[0]);
  for (double date : dates) {
    if (date < 0 || std::floor(date) < first) throw FormulaError{ErrorCode::Num};
    flows.years.push_back((std::floor(date) - first) / 365);
  }
  return flows;
}

std::pair<double, double> datedValue(const DatedFlows& flows, double r) {
  double value = 0, slope = 0;
  for (std::size_t i = 0; i < flows.values.size(); ++i) {
    const double discount = std::pow(1 + r, flows.years[i]);
    value += flows.values[i] / discount;
    slope -= flows.years[i] * flows.values[i] / (discount * (1 + r));
  }
  return {value, slope};
}

Value xnpv(CallArgs& args) {
  const double r = args.number(0);
  const DatedFlows flows = datedFlows(args, 1, 2);
  if (r <= -1) return numError();
  return number(datedValue(flows, r).first);
}

Value xirr(CallArgs& args) {
  const DatedFlows flows = datedFlows(args, 0, 1);
  const double guess = args.numberOr(2, 0.1);
  if (!hasBothSigns(flows.values)) return numError();
  return solveRate(guess, 100, [&](double r) { return datedValue(flows, r); });
}

// EFFECT and NOMINAL: compounding `perYear` times a year.
Value effect(CallArgs& args) {
  const double nominal = args.number(0);
  const double perYear = double(toInteger(args.number(1)));
  if (nominal <= 0 || perYear < 1) return numError();
  return number(std::pow(1 + nominal / perYear, perYear) - 1);
}

Value nominal(CallArgs& args) {
  const double effective = args.number(0);
  const double perYear = double(toInteger(args.number(1)));
  if (effective <= 0 || perYear < 1) return numError();
  return number(perYear * (std::pow(1 + effective, 1 / perYear) - 1));
}

// FVSCHEDULE: blanks in the schedule are skipped, anything else must be a number.
Value fvschedule(CallArgs& args) {
  double value = args.number(0);
  forEachArgumentValue(
      args, 1,
      [&](const Scalar& rate, bool direct) {
        if (rate.isError()) throw FormulaError{rate.error};
        if (rate.isEmpty()) return;
        if (!rate.isNumber() && !direct) throw FormulaError{ErrorCode::Value};
        value *= 1 + toNumber(rate);
      },
      2);
  return number(value);
}

Value pduration(CallArgs& args) {
  const double r = args.number(0), present = args.number(1), future = args.number(2);
  if (r <= 0 || present <= 0 || future <= 0) return numError();
  return number((std::log(future) - std::log(present)) / std::log1p(r));
}

Value rri(CallArgs& args) {
  const double periods = args.number(0), present = args.number(1), future = args.number(2);
  if (periods <= 0 || present == 0) return numError();
  return number(std::pow(future / present, 1 / periods) - 1);
}

// ISPMT: interest of a loan repaid in equal parts of principal.
Value ispmt(CallArgs& args) {
  const double r = args.number(0), period = args.number(1), periods = args.number(2);
  const double present = args.number(3);
  if (periods == 0) return Scalar::fromError(ErrorCode::Div0);
  return number(present * r * (period / periods - 1));
}

constexpr FunctionSpec kFunctions[] = {
    {u"IPMT", 4, 6, ipmt, false, true},
    {u"PPMT", 4, 6, ppmt, false, true},
    {u"CUMIPMT", 6, 6, cumipmt, false, true},
    {u"CUMPRINC", 6, 6, cumprinc, false, true},
    {u"RATE", 3, 6, rate, false, true},
    {u"IRR", 1, 2, irr},
    {u"MIRR", 3, 3, mirr},
    {u"XNPV", 3, 3, xnpv},
    {u"XIRR", 2, 3, xirr},
    {u"EFFECT", 2, 2, effect, false, true},
    {u"NOMINAL", 2, 2, nominal, false, true},
    {u"FVSCHEDULE", 2, 2, fvschedule},
    {u"PDURATION", 3, 3, pduration, false, true},
    {u"RRI", 3, 3, rri, false, true},
    {u"ISPMT", 4, 4, ispmt, false, true},
};

}  // namespace

std::span<const FunctionSpec> cashFlowFunctions() { return kFunctions; }

}  // namespace sx::formula
