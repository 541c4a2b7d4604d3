#include <cmath>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value sum(CallArgs& args) {
  double total = 0;
  for (double n : collectNumbers(args)) total += n;
  return number(total);
}

Value product(CallArgs& args) {
  auto numbers = collectNumbers(args);
  double total = numbers.empty() ? 0 : 1;
  for (double n : numbers) total *= n;
  return number(total);
}

Value sumProduct(CallArgs& args) {
  std::vector<Array> arrays;
  for (std::size_t i = 0; i < args.size(); ++i) {
    arrays.push_back(args.evaluator().toArray(args.value(i)));
    if (arrays.back().rows != arrays.front().rows ||
        arrays.back().columns != arrays.front().columns) {
      return Scalar::fromError(ErrorCode::Value);
    }
  }
  double total = 0;
  for (std::size_t cell = 0; cell < arrays.front().cells.size(); ++cell) {
    double term = 1;
    for (const auto& array : arrays) {
      const Scalar& value = array.cells[cell];
      if (value.isError()) return value;
      term *= value.isNumber() ? value.number : 0;
    }
    total += term;
  }
  return number(total);
}

Value roundWith(CallArgs& args, int direction) {
  double value = args.number(0);
  int64_t digits = toInteger(args.numberOr(1, 0));
  // Beyond 15 decimals a double has nothing left to round; far left of the point all is 0.
  if (digits > 15) return number(value);
  if (digits < -308) return number(0);
  if (direction == 0) return number(roundHalfAway(value, int(digits)));
  double scale = std::pow(10.0, double(digits));
  double shifted = significant15(value * scale);
  double rounded = direction > 0 ? (shifted < 0 ? std::floor(shifted) : std::ceil(shifted))
                                 : std::trunc(shifted);
  return number(rounded / scale);
}

Value round(CallArgs& args) { return roundWith(args, 0); }
Value roundUp(CallArgs& args) { return roundWith(args, 1); }
Value roundDown(CallArgs& args) { return roundWith(args, -1); }

Value integer(CallArgs& args) { return number(std::floor(args.number(0))); }

Value trunc(CallArgs& args) {
  double value = args.number(0);
  int64_t digits = toInteger(args.numberOr(1, 0));
  if (digits > 15) return number(value);
  if (digits < -308) return number(0);
  double scale = std::pow(10.0, double(digits));
  return number(std::trunc(significant15(value * scale)) / scale);
}

Value mod(CallArgs& args) {
  double a = args.number(0), b = args.number(1);
  if (b == 0) return Scalar::fromError(ErrorCode::Div0);
  double result = a - b * std::floor(significant15(a / b));
  return number(result);
}

Value absolute(CallArgs& args) { return number(std::fabs(args.number(0))); }

Value squareRoot(CallArgs& args) {
  double value = args.number(0);
  if (value < 0) return Scalar::fromError(ErrorCode::Num);
  return number(std::sqrt(value));
}

Value power(CallArgs& args) {
  double a = args.number(0), b = args.number(1);
  if (a == 0 && b == 0) return Scalar::fromError(ErrorCode::Num);
  if (a == 0 && b < 0) return Scalar::fromError(ErrorCode::Div0);
  return number(std::pow(a, b));
}

Value toMultiple(CallArgs& args, bool up) {
  double value = args.number(0);
  double step = args.numberOr(1, value < 0 ? -1 : 1);
  if (value == 0 || step == 0)
    return up || step != 0 ? number(0) : Scalar::fromError(ErrorCode::Div0);
  if (value > 0 && step < 0) return Scalar::fromError(ErrorCode::Num);
  // With a negative step, a negative value rounds away from zero for CEILING, toward it for FLOOR.
  double quotient = significant15(value / step);
  double whole = up ? std::ceil(quotient) : std::floor(quotient);
  return number(whole * step);
}

Value ceiling(CallArgs& args) { return toMultiple(args, true); }
Value floor(CallArgs& args) { return toMultiple(args, false); }

Value sign(CallArgs& args) {
  double value = args.number(0);
  return number(value > 0 ? 1 : (value < 0 ? -1 : 0));
}

Value pi(CallArgs&) { return number(3.14159265358979323846); }
Value exponential(CallArgs& args) { return number(std::exp(args.number(0))); }

Value naturalLog(CallArgs& args) {
  double value = args.number(0);
  if (value <= 0) return Scalar::fromError(ErrorCode::Num);
  return number(std::log(value));
}

Value log10(CallArgs& args) {
  double value = args.number(0);
  if (value <= 0) return Scalar::fromError(ErrorCode::Num);
  return number(std::log10(value));
}

Value logarithm(CallArgs& args) {
  double value = args.number(0);
  double base = args.numberOr(1, 10);
  if (value <= 0 || base <= 0) return Scalar::fromError(ErrorCode::Num);
  if (base == 1) return Scalar::fromError(ErrorCode::Div0);
  return number(std::log(value) / std::log(base));
}

constexpr FunctionSpec kFunctions[] = {
    {u"SUM", 1, -1, sum},
    {u"PRODUCT", 1, -1, product},
    {u"SUMPRODUCT", 1, -1, sumProduct, true},
    {u"ROUND", 1, 2, round, false, true},
    {u"ROUNDUP", 1, 2, roundUp, false, true},
    {u"ROUNDDOWN", 1, 2, roundDown, false, true},
    {u"INT", 1, 1, integer, false, true},
    {u"TRUNC", 1, 2, trunc, false, true},
    {u"MOD", 2, 2, mod, false, true},
    {u"ABS", 1, 1, absolute, false, true},
    {u"SQRT", 1, 1, squareRoot, false, true},
    {u"POWER", 2, 2, power, false, true},
    {u"CEILING", 1, 2, ceiling, false, true},
    {u"FLOOR", 1, 2, floor, false, true},
    {u"SIGN", 1, 1, sign, false, true},
    {u"PI", 0, 0, pi},
    {u"EXP", 1, 1, exponential, false, true},
    {u"LN", 1, 1, naturalLog, false, true},
    {u"LOG10", 1, 1, log10, false, true},
    {u"LOG", 1, 2, logarithm, false, true},
};

}  // namespace

std::span<const FunctionSpec> mathFunctions() { return kFunctions; }

}  // namespace sx::formula
