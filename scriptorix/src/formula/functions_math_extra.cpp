#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <utility>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

void require(bool condition, ErrorCode error = ErrorCode::Num) {
  if (!condition) throw FormulaError{error};
}

// ---- rounding to multiples

// `value` to a multiple of |step|, toward +infinity (up) or -infinity.
double toMultipleOf(double value, double step, bool up) {
  step = std::fabs(step);
  if (step == 0 || value == 0) return 0;
  double quotient = significant15(value / step);
  return (up ? std::ceil(quotient) : std::floor(quotient)) * step;
}

Value ceilingPrecise(CallArgs& args) {
  return number(toMultipleOf(args.number(0), args.numberOr(1, 1), true));
}
Value floorPrecise(CallArgs& args) {
  return number(toMultipleOf(args.number(0), args.numberOr(1, 1), false));
}

// CEILING.MATH and FLOOR.MATH: a non-zero mode turns negatives the other way (away from zero
// for CEILING, toward zero for FLOOR).
Value ceilingMath(CallArgs& args) {
  double value = args.number(0), step = args.numberOr(1, 1);
  bool mode = args.numberOr(2, 0) != 0;
  return number(toMultipleOf(value, step, !(value < 0 && mode)));
}
Value floorMath(CallArgs& args) {
  double value = args.number(0), step = args.numberOr(1, 1);
  bool mode = args.numberOr(2, 0) != 0;
  return number(toMultipleOf(value, step, value < 0 && mode));
}

Value mround(CallArgs& args) {
  double value = args.number(0), step = args.number(1);
  if (step == 0 || value == 0) return number(0);
  require((value > 0) == (step > 0));
  return number(roundHalfAway(value / step, 0) * step);
}

Value quotient(CallArgs& args) {
  double a = args.number(0), b = args.number(1);
  require(b != 0, ErrorCode::Div0);
  return number(std::trunc(significant15(a / b)));
}

// ---- counting

Value factDouble(CallArgs& args) {
  double n = std::trunc(args.number(0));
  require(n >= 0 && n <= 300);
  double result = 1;
  for (double i = n; i > 1; i -= 2) result *= i;
  return number(result);
}

double chooseOf(double n, double k) {
  k = std::min(k, n - k);
  if (k > 2000) return HUGE_VAL;  // beyond any double once n >= 2k
  double result = 1;
  for (int i = 1; i <= int(k); ++i) result = result * (n - k + i) / i;
  return std::round(result);
}

Value combinA(CallArgs& args) {
  double n = std::trunc(args.number(0)), k = std::trunc(args.number(1));
  require(n >= 0 && k >= 0);
  if (n == 0 && k == 0) return number(1);
  require(n > 0 || k == 0);
  return number(chooseOf(n + k - 1, k));
}

Value permut(CallArgs& args) {
  double n = std::trunc(args.number(0)), k = std::trunc(args.number(1));
  require(n >= 0 && k >= 0 && k <= n);
  // Counted by steps, not by the factors (which stop changing past 2^53); every factor is at
  // least 1 and the product passes any double within a few hundred steps.
  double result = 1;
  for (double step = 0; step < k && std::isfinite(result); ++step) result *= n - step;
  return number(result);
}

Value permutationA(CallArgs& args) {
  double n = std::trunc(args.number(0)), k = std::trunc(args.number(1));
  require(n >= 0 && k >= 0);
  return number(std::pow(n, k));
}

// (a+b+...)! / (a! b! ...) as a product of binomials, which stays finite far longer.
Value multinomial(CallArgs& args) {
  double total = 0, result = 1;
  for (double value : collectNumbers(args)) {
    double n = std::trunc(value);
    require(n >= 0);
    total += n;
    result *= chooseOf(total, n);
  }
  return number(result);
}

// GCD and LCM read whole numbers from 0 up to 2^53.
std::vector<double> wholeNumbers(CallArgs& args) {
  auto numbers = collectNumbers(args);
  for (double& n : numbers) {
    n = std::trunc(n);
    require(n >= 0 && n < 9007199254740992.0);
  }
  return numbers;
}

double gcdOf(double a, double b) {
  while (b != 0) a = std::fmod(a, b), std::swap(a, b);
  return a;
}

Value gcd(CallArgs& args) {
  double result = 0;
  for (double n : wholeNumbers(args)) result = gcdOf(result, n);
  return number(result);
}

Value lcm(CallArgs& args) {
  double result = 1;
  for (double n : wholeNumbers(args)) {
    if (n == 0) return number(0);
    result = result / gcdOf(result, n) * n;
  }
  return number(result);
}

Value sqrtPi(CallArgs& args) {
  double value = args.number(0);
  require(value >= 0);
  return number(std::sqrt(value * std::numbers::pi));
}

// ---- sums over pairs and series

// Pairs of equally sized arrays; a pair where either side is not a number is skipped, and
// without any pair of numbers the sum is #DIV/0!, as the application gives.
template <double (*Term)(double, double)>
Value pairSum(CallArgs& args) {
  Array x = args.evaluator().toArray(args.value(0));
  Array y = args.evaluator().toArray(args.value(1));
  require(x.cells.size() == y.cells.size(), ErrorCode::NA);
  double total = 0;
  bool paired = false;
  for (std::size_t i = 0; i < x.cells.size(); ++i) {
    if (x.cells[i].isError()) return x.cells[i];
    if (y.cells[i].isError()) return y.cells[i];
    if (x.cells[i].isNumber() && y.cells[i].isNumber()) {
      total += Term(x.cells[i].number, y.cells[i].number);
      paired = true;
    }
  }
  if (!paired) return Scalar::fromError(ErrorCode::Div0);
  return number(total);
}
double squaresDifference(double x, double y) { return x * x - y * y; }
double squaresSum(double x, double y) { return x * x + y * y; }
double differenceSquared(double x, double y) { return (x - y) * (x - y); }

Value seriesSum(CallArgs& args) {
  double x = args.number(0), n = args.number(1), m = args.number(2);
  Array coefficients = args.evaluator().toArray(args.value(3));
  double total = 0, power = n;
  for (const Scalar& coefficient : coefficients.cells) {
    if (coefficient.isError()) return coefficient;
    require(coefficient.isNumber(), ErrorCode::Value);
    total += coefficient.number * std::pow(x, power);
    power += m;
  }
  return number(total);
}

// ---- reciprocal trigonometry

// Beyond 2^27 radians a spreadsheet refuses trigonometry (the result would be noise).
double angle(CallArgs& args) {
  double x = args.number(0);
  require(std::fabs(x) < 134217728);
  return x;
}

Value reciprocal(double denominator) {
  require(denominator != 0, ErrorCode::Div0);
  return number(1 / denominator);
}

Value cot(CallArgs& args) { return reciprocal(std::tan(angle(args))); }
Value csc(CallArgs& args) { return reciprocal(std::sin(angle(args))); }
Value sec(CallArgs& args) { return reciprocal(std::cos(angle(args))); }
Value coth(CallArgs& args) { return reciprocal(std::tanh(args.number(0))); }
Value csch(CallArgs& args) { return reciprocal(std::sinh(args.number(0))); }
Value sech(CallArgs& args) { return reciprocal(std::cosh(args.number(0))); }
Value acot(CallArgs& args) { return number(std::numbers::pi / 2 - std::atan(args.number(0))); }

Value acoth(CallArgs& args) {
  double x = args.number(0);
  require(std::fabs(x) > 1);
  return number(0.5 * std::log((x + 1) / (x - 1)));
}

// ---- roman numerals

struct RomanToken {
  int value;
  std::u16string_view text;
  int form;  // the least concise form that uses it
};

// Forms 1 to 4 allow ever wider subtractions (LD, XD, VD, ID for 450, 490, 495, 499).
constexpr RomanToken kRomanTokens[] = {
    {1000, u"M", 0}, {999, u"IM", 4}, {995, u"VM", 3}, {990, u"XM", 2}, {950, u"LM", 1},
    {900, u"CM", 0}, {500, u"D", 0},  {499, u"ID", 4}, {495, u"VD", 3}, {490, u"XD", 2},
    {450, u"LD", 1}, {400, u"CD", 0}, {100, u"C", 0},  {99, u"IC", 2},  {95, u"VC", 1},
    {90, u"XC", 0},  {50, u"L", 0},   {49, u"IL", 2},  {45, u"VL", 1},  {40, u"XL", 0},
    {10, u"X", 0},   {9, u"IX", 0},   {5, u"V", 0},    {4, u"IV", 0},   {1, u"I", 0},
};

Value roman(CallArgs& args) {
  double value = std::trunc(args.number(0));
  double form = 0;
  if (!args.isMissing(1)) {
    Scalar given = args.scalar(1);
    form = given.isBoolean() ? (given.boolean ? 0 : 4) : std::trunc(toNumber(given));
  }
  require(value >= 0 && value <= 3999, ErrorCode::Value);
  require(form >= 0 && form <= 4, ErrorCode::Value);
  std::u16string out;
  int rest = int(value);
  for (const RomanToken& token : kRomanTokens) {
    if (token.form > int(form)) continue;
    while (rest >= token.value) {
      out += token.text;
      rest -= token.value;
    }
  }
  return Scalar::fromText(out);
}

int romanDigit(char16_t c) {
  switch (c) {
    case u'I':
    case u'i':
      return 1;
    case u'V':
    case u'v':
      return 5;
    case u'X':
    case u'x':
      return 10;
    case u'L':
    case u'l':
      return 50;
    case u'C':
    case u'c':
      return 100;
    case u'D':
    case u'd':
      return 500;
    case u'M':
    case u'm':
      return 1000;
    default:
      return 0;
  }
}

Value arabic(CallArgs& args) {
  std::u16string text = args.text(0);
  std::size_t first = text.find_first_not_of(u' '), last = text.find_last_not_of(u' ');
  text = first == std::u16string::npos ? u"" : text.substr(first, last - first + 1);
  require(text.size() <= 255, ErrorCode::Value);
  bool negative = !text.empty() && text[0] == u'-';
  if (negative) text.erase(0, 1);
  double total = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int digit = romanDigit(text[i]);
    require(digit != 0, ErrorCode::Value);
    int next = i + 1 < text.size() ? romanDigit(text[i + 1]) : 0;
    total += next > digit ? -digit : digit;
  }
  return number(negative ? -total : total);
}

// ---- random numbers

std::mt19937_64& generator() {
  thread_local std::mt19937_64 engine{std::random_device{}()};
  return engine;
}

Value rand(CallArgs&) { return number(std::uniform_real_distribution<double>(0, 1)(generator())); }

Value randBetween(CallArgs& args) {
  double low = std::ceil(args.number(0)), high = std::floor(args.number(1));
  require(low <= high && std::fabs(low) < 9e15 && std::fabs(high) < 9e15);
  auto drawn = std::uniform_int_distribution<int64_t>(int64_t(low), int64_t(high))(generator());
  return number(double(drawn));
}

constexpr FunctionSpec kFunctions[] = {
    {u"CEILING.PRECISE", 1, 2, ceilingPrecise, false, true},
    {u"ISO.CEILING", 1, 2, ceilingPrecise, false, true},
    {u"FLOOR.PRECISE", 1, 2, floorPrecise, false, true},
    {u"CEILING.MATH", 1, 3, ceilingMath, false, true},
    {u"FLOOR.MATH", 1, 3, floorMath, false, true},
    {u"MROUND", 2, 2, mround, false, true},
    {u"QUOTIENT", 2, 2, quotient, false, true},
    {u"FACTDOUBLE", 1, 1, factDouble, false, true},
    {u"COMBINA", 2, 2, combinA, false, true},
    {u"PERMUT", 2, 2, permut, false, true},
    {u"PERMUTATIONA", 2, 2, permutationA, false, true},
    {u"MULTINOMIAL", 1, -1, multinomial},
    {u"GCD", 1, -1, gcd},
    {u"LCM", 1, -1, lcm},
    {u"SQRTPI", 1, 1, sqrtPi, false, true},
    {u"SUMX2MY2", 2, 2, pairSum<squaresDifference>, true},
    {u"SUMX2PY2", 2, 2, pairSum<squaresSum>, true},
    {u"SUMXMY2", 2, 2, pairSum<differenceSquared>, true},
    {u"SERIESSUM", 4, 4, seriesSum},
    {u"COT", 1, 1, cot, false, true},
    {u"CSC", 1, 1, csc, false, true},
    {u"SEC", 1, 1, sec, false, true},
    {u"COTH", 1, 1, coth, false, true},
    {u"CSCH", 1, 1, csch, false, true},
    {u"SECH", 1, 1, sech, false, true},
    {u"ACOT", 1, 1, acot, false, true},
    {u"ACOTH", 1, 1, acoth, false, true},
    {u"ROMAN", 1, 2, roman, false, true},
    {u"ARABIC", 1, 1, arabic, false, true},
    {u"RAND", 0, 0, rand},
    {u"RANDBETWEEN", 2, 2, randBetween, false, true},
};

}  // namespace

std::span<const FunctionSpec> mathExtraFunctions() { return kFunctions; }

}  // namespace sx::formula
