#include <cmath>
#include <numbers>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// One number in, one number out; a result outside the reals is #NUM!.
template <double (*F)(double)>
Value unary(CallArgs& args) {
  return number(F(args.number(0)));
}

double asinChecked(double x) {
  if (x < -1 || x > 1) throw FormulaError{ErrorCode::Num};
  return std::asin(x);
}
double acosChecked(double x) {
  if (x < -1 || x > 1) throw FormulaError{ErrorCode::Num};
  return std::acos(x);
}
double acoshChecked(double x) {
  if (x < 1) throw FormulaError{ErrorCode::Num};
  return std::acosh(x);
}
double atanhChecked(double x) {
  if (x <= -1 || x >= 1) throw FormulaError{ErrorCode::Num};
  return std::atanh(x);
}
// Beyond 2^27 radians a spreadsheet refuses trigonometry (the result would be noise).
double boundedAngle(double x) {
  if (std::fabs(x) >= 134217728) throw FormulaError{ErrorCode::Num};
  return x;
}
double sine(double x) { return std::sin(boundedAngle(x)); }
double cosine(double x) { return std::cos(boundedAngle(x)); }
double tangent(double x) { return std::tan(boundedAngle(x)); }
double arcTangent(double x) { return std::atan(x); }
double hyperbolicSine(double x) { return std::sinh(x); }
double hyperbolicCosine(double x) { return std::cosh(x); }
double hyperbolicTangent(double x) { return std::tanh(x); }
double inverseHyperbolicSine(double x) { return std::asinh(x); }
double degrees(double x) { return x * 180 / std::numbers::pi; }
double radians(double x) { return x * std::numbers::pi / 180; }

// ATAN2 takes x first: the angle of the point (x, y).
Value atan2(CallArgs& args) {
  double x = args.number(0), y = args.number(1);
  if (x == 0 && y == 0) return Scalar::fromError(ErrorCode::Div0);
  return number(std::atan2(y, x));
}

Value fact(CallArgs& args) {
  double n = std::trunc(args.number(0));
  if (n < 0) return Scalar::fromError(ErrorCode::Num);
  if (n > 170) return Scalar::fromError(ErrorCode::Num);
  double result = 1;
  for (int i = 2; i <= int(n); ++i) result *= i;
  return number(result);
}

Value combin(CallArgs& args) {
  double n = std::trunc(args.number(0)), k = std::trunc(args.number(1));
  if (n < 0 || k < 0 || k > n) return Scalar::fromError(ErrorCode::Num);
  k = std::min(k, n - k);
  if (k > 2000) return Scalar::fromError(ErrorCode::Num);  // beyond any double once n >= 2k
  double result = 1;
  for (int i = 1; i <= int(k); ++i) result = result * (n - k + i) / i;
  return number(std::round(result));
}

// EVEN and ODD round away from zero to the next even or odd integer.
Value roundToParity(CallArgs& args, bool odd) {
  double value = args.number(0);
  double magnitude = std::ceil(std::fabs(value));
  bool isOdd = std::fmod(magnitude, 2) == 1;
  if (odd != isOdd) magnitude += 1;
  if (odd && magnitude == 0) magnitude = 1;
  return number(value < 0 ? -magnitude : magnitude);
}
Value even(CallArgs& args) { return roundToParity(args, false); }
Value odd(CallArgs& args) { return roundToParity(args, true); }

Value sumsq(CallArgs& args) {
  double total = 0;
  for (double n : collectNumbers(args)) total += n * n;
  return number(total);
}

constexpr FunctionSpec kFunctions[] = {
    {u"SIN", 1, 1, unary<sine>, false, true},
    {u"COS", 1, 1, unary<cosine>, false, true},
    {u"TAN", 1, 1, unary<tangent>, false, true},
    {u"ASIN", 1, 1, unary<asinChecked>, false, true},
    {u"ACOS", 1, 1, unary<acosChecked>, false, true},
    {u"ATAN", 1, 1, unary<arcTangent>, false, true},
    {u"ATAN2", 2, 2, atan2, false, true},
    {u"SINH", 1, 1, unary<hyperbolicSine>, false, true},
    {u"COSH", 1, 1, unary<hyperbolicCosine>, false, true},
    {u"TANH", 1, 1, unary<hyperbolicTangent>, false, true},
    {u"ASINH", 1, 1, unary<inverseHyperbolicSine>, false, true},
    {u"ACOSH", 1, 1, unary<acoshChecked>, false, true},
    {u"ATANH", 1, 1, unary<atanhChecked>, false, true},
    {u"DEGREES", 1, 1, unary<degrees>, false, true},
    {u"RADIANS", 1, 1, unary<radians>, false, true},
    {u"FACT", 1, 1, fact, false, true},
    {u"COMBIN", 2, 2, combin, false, true},
    {u"EVEN", 1, 1, even, false, true},
    {u"ODD", 1, 1, odd, false, true},
    {u"SUMSQ", 1, -1, sumsq},
};

}  // namespace

std::span<const FunctionSpec> trigonometryFunctions() { return kFunctions; }

}  // namespace sx::formula
