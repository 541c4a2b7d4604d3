#include <cmath>

#include "formula/annuity.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// The annuity arguments shared by FV, PV, PMT and NPER: type 1 pays at the start of a period.
double typeArgument(CallArgs& args, std::size_t i) { return args.numberOr(i, 0) != 0 ? 1 : 0; }

Value fv(CallArgs& args) {
  const double rate = args.number(0), periods = args.number(1), payment = args.number(2);
  const double present = args.numberOr(3, 0), type = typeArgument(args, 4);
  return number(annuityFutureValue(rate, periods, payment, present, type));
}

Value pv(CallArgs& args) {
  const double rate = args.number(0), periods = args.number(1), payment = args.number(2);
  const double future = args.numberOr(3, 0), type = typeArgument(args, 4);
  if (rate == 0) return number(-(future + payment * periods));
  const double growth = std::pow(1 + rate, periods);
  return number(-(future + payment * (1 + rate * type) * (growth - 1) / rate) / growth);
}

Value pmt(CallArgs& args) {
  const double rate = args.number(0), periods = args.number(1), present = args.number(2);
  const double future = args.numberOr(3, 0), type = typeArgument(args, 4);
  if (periods == 0) return Scalar::fromError(ErrorCode::Num);
  return number(annuityPayment(rate, periods, present, future, type));
}

Value nper(CallArgs& args) {
  const double rate = args.number(0), payment = args.number(1), present = args.number(2);
  const double future = args.numberOr(3, 0), type = typeArgument(args, 4);
  if (rate == 0) {
    if (payment == 0) return Scalar::fromError(ErrorCode::Num);
    return number(-(present + future) / payment);
  }
  const double paid = payment * (1 + rate * type);
  const double ratio = (paid - future * rate) / (paid + present * rate);
  if (ratio <= 0 || rate <= -1) return Scalar::fromError(ErrorCode::Num);
  return number(std::log(ratio) / std::log(1 + rate));
}

// NPV: the values discounted from the end of the first period on.
Value npv(CallArgs& args) {
  const double rate = args.number(0);
  if (rate == -1) return Scalar::fromError(ErrorCode::Div0);
  double total = 0, discount = 1;
  for (double value : collectNumbers(args, 1)) {
    discount *= 1 + rate;
    total += value / discount;
  }
  return number(total);
}

constexpr FunctionSpec kFunctions[] = {
    {u"FV", 3, 5, fv, false, true},
    {u"PV", 3, 5, pv, false, true},
    {u"PMT", 3, 5, pmt, false, true},
    {u"NPER", 3, 5, nper, false, true},
    {u"NPV", 2, -1, npv},
};

}  // namespace

std::span<const FunctionSpec> financialFunctions() { return kFunctions; }

}  // namespace sx::formula
