#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/special_functions.h"

namespace sx::formula {
namespace {

void require(bool condition) {
  if (!condition) throw FormulaError{ErrorCode::Num};
}

// A probability argument of an inverse: strictly between 0 and 1 unless the ends are allowed.
double probability(CallArgs& args, std::size_t i, bool zeroAllowed, bool oneAllowed) {
  double p = args.number(i);
  require((zeroAllowed ? p >= 0 : p > 0) && (oneAllowed ? p <= 1 : p < 1));
  return p;
}

// Degrees of freedom: truncated, at least 1 and at most 1e10, as the application accepts.
double freedom(CallArgs& args, std::size_t i) {
  double df = std::trunc(args.number(i));
  require(df >= 1 && df <= 1e10);
  return df;
}

// ---- normal and lognormal

Value normalDistribution(double x, double mean, double sd, bool cumulative) {
  require(sd > 0);
  double z = (x - mean) / sd;
  return number(cumulative ? normalCdf(z) : normalDensity(z) / sd);
}

Value normDist(CallArgs& args) {
  return normalDistribution(args.number(0), args.number(1), args.number(2), args.boolean(3));
}
Value normSDist(CallArgs& args) {
  return normalDistribution(args.number(0), 0, 1, args.boolean(1));
}
Value normSDistLegacy(CallArgs& args) { return normalDistribution(args.number(0), 0, 1, true); }

Value normInv(CallArgs& args) {
  double p = probability(args, 0, false, false);
  double mean = args.number(1), sd = args.number(2);
  require(sd > 0);
  return number(mean + sd * normalQuantile(p));
}
Value normSInv(CallArgs& args) {
  return number(normalQuantile(probability(args, 0, false, false)));
}

Value lognormalDistribution(double x, double mean, double sd, bool cumulative) {
  require(x > 0 && sd > 0);
  double z = (std::log(x) - mean) / sd;
  return number(cumulative ? normalCdf(z) : normalDensity(z) / (sd * x));
}
Value lognormDist(CallArgs& args) {
  return lognormalDistribution(args.number(0), args.number(1), args.number(2), args.boolean(3));
}
Value lognormDistLegacy(CallArgs& args) {
  return lognormalDistribution(args.number(0), args.number(1), args.number(2), true);
}
Value lognormInv(CallArgs& args) {
  double p = probability(args, 0, false, false);
  double mean = args.number(1), sd = args.number(2);
  require(sd > 0);
  return number(std::exp(mean + sd * normalQuantile(p)));
}

Value phi(CallArgs& args) { return number(normalDensity(args.number(0))); }
Value gauss(CallArgs& args) { return number(normalCdf(args.number(0)) - 0.5); }

// ---- discrete distributions

double logChoose(double n, double k) {
  return std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
}

double binomialMass(double k, double n, double p) {
  if (p == 0) return k == 0 ? 1 : 0;
  if (p == 1) return k == n ? 1 : 0;
  return std::exp(logChoose(n, k) + k * std::log(p) + (n - k) * std::log1p(-p));
}

double binomialCdf(double k, double n, double p) {
  if (k >= n) return 1;
  if (p == 0) return 1;
  if (p == 1) return 0;
  return betaRatio(1 - p, n - k, k + 1);
}

Value binomDist(CallArgs& args) {
  double k = std::trunc(args.number(0)), n = std::trunc(args.number(1));
  double p = args.number(2);
  bool cumulative = args.boolean(3);
  require(k >= 0 && k <= n && p >= 0 && p <= 1);
  return number(cumulative ? binomialCdf(k, n, p) : binomialMass(k, n, p));
}

Value binomInv(CallArgs& args) {
  double n = std::trunc(args.number(0)), p = args.number(1), alpha = args.number(2);
  require(n >= 0 && p >= 0 && p <= 1 && alpha >= 0 && alpha <= 1);
  // The smallest count whose cumulative probability reaches alpha.
  double low = 0, high = n;
  // Bounded: past 2^53 a step of one no longer moves the bounds.
  for (int step = 0; step < 2000 && low < high; ++step) {
    double middle = std::floor((low + high) / 2);
    if (binomialCdf(middle, n, p) >= alpha) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return number(low);
}

Value negativeBinomial(double failures, double successes, double p, bool cumulative) {
  require(failures >= 0 && successes >= 1 && p >= 0 && p <= 1);
  if (cumulative) return number(betaRatio(p, successes, failures + 1));
  if (p == 0) return number(0);
  if (p == 1) return number(failures == 0 ? 1 : 0);
  return number(std::exp(logChoose(failures + successes - 1, successes - 1) +
                         successes * std::log(p) + failures * std::log1p(-p)));
}
Value negbinomDist(CallArgs& args) {
  return negativeBinomial(std::trunc(args.number(0)), std::trunc(args.number(1)), args.number(2),
                          args.boolean(3));
}
Value negbinomDistLegacy(CallArgs& args) {
  return negativeBinomial(std::trunc(args.number(0)), std::trunc(args.number(1)), args.number(2),
                          false);
}

Value poissonDist(CallArgs& args) {
  double x = std::trunc(args.number(0)), mean = args.number(1);
  bool cumulative = args.boolean(2);
  require(x >= 0 && mean >= 0);
  if (mean == 0) return number(cumulative || x == 0 ? 1 : 0);
  if (cumulative) return number(1 - lowerGammaRatio(x + 1, mean));
  return number(std::exp(x * std::log(mean) - mean - std::lgamma(x + 1)));
}

double hypergeometricMass(double k, double n, double successes, double population) {
  return std::exp(logChoose(successes, k) + logChoose(population - successes, n - k) -
                  logChoose(population, n));
}

Value hypergeometric(CallArgs& args, bool cumulative) {
  double k = std::trunc(args.number(0)), n = std::trunc(args.number(1));
  double successes = std::trunc(args.number(2)), population = std::trunc(args.number(3));
  require(k >= 0 && k <= n && k <= successes && n <= population && successes <= population &&
          n > 0 && successes > 0 && population > 0 && k >= n - population + successes);
  if (!cumulative) return number(hypergeometricMass(k, n, successes, population));
  const double first = std::max(0.0, n - population + successes);
  require(k - first <= 1e7);  // the sum is taken term by term
  double total = 0;
  for (double i = first; i <= k; ++i) total += hypergeometricMass(i, n, successes, population);
  return number(std::min(total, 1.0));
}
Value hypgeomDist(CallArgs& args) { return hypergeometric(args, args.boolean(4)); }
Value hypgeomDistLegacy(CallArgs& args) { return hypergeometric(args, false); }

// ---- continuous distributions on the positive half-line

Value exponDist(CallArgs& args) {
  double x = args.number(0), lambda = args.number(1);
  bool cumulative = args.boolean(2);
  require(x >= 0 && lambda > 0);
  return number(cumulative ? -std::expm1(-lambda * x) : lambda * std::exp(-lambda * x));
}

Value weibullDist(CallArgs& args) {
  double x = args.number(0), shape = args.number(1), scale = args.number(2);
  bool cumulative = args.boolean(3);
  require(x >= 0 && shape > 0 && scale > 0);
  double power = std::pow(x / scale, shape);
  if (cumulative) return number(-std::expm1(-power));
  return number(shape / scale * std::pow(x / scale, shape - 1) * std::exp(-power));
}

Value gammaFunction(CallArgs& args) {
  double x = args.number(0);
  require(!(x <= 0 && x == std::floor(x)));
  return number(std::tgamma(x));
}

Value gammaLn(CallArgs& args) {
  double x = args.number(0);
  require(x > 0);
  return number(std::lgamma(x));
}

double gammaCdf(double x, const double* shapeScale) {
  return lowerGammaRatio(shapeScale[0], x / shapeScale[1]);
}

Value gammaDist(CallArgs& args) {
  double x = args.number(0), shape = args.number(1), scale = args.number(2);
  bool cumulative = args.boolean(3);
  require(x >= 0 && shape > 0 && scale > 0);
  if (cumulative) return number(lowerGammaRatio(shape, x / scale));
  if (x == 0) {
    require(shape >= 1);
    return number(shape == 1 ? 1 / scale : 0);
  }
  return number(std::exp((shape - 1) * std::log(x) - x / scale - std::lgamma(shape) -
                         shape * std::log(scale)));
}

Value gammaInv(CallArgs& args) {
  double p = probability(args, 0, true, false);
  double shapeScale[] = {args.number(1), args.number(2)};
  require(shapeScale[0] > 0 && shapeScale[1] > 0);
  if (p == 0) return number(0);
  return number(invertIncreasing(gammaCdf, shapeScale, p, 0, shapeScale[0] * shapeScale[1] + 1));
}

// ---- beta

double betaCdf(double x, const double* ab) { return betaRatio(x, ab[0], ab[1]); }

struct BetaBounds {
  double low, high;
};

BetaBounds betaBounds(CallArgs& args, std::size_t first) {
  BetaBounds bounds{args.numberOr(first, 0), args.numberOr(first + 1, 1)};
  require(bounds.low < bounds.high);
  return bounds;
}

Value betaDistribution(double x, double a, double b, bool cumulative, BetaBounds bounds) {
  require(a > 0 && b > 0 && x >= bounds.low && x <= bounds.high);
  double width = bounds.high - bounds.low;
  double t = (x - bounds.low) / width;
  if (cumulative) return number(betaRatio(t, a, b));
  if ((t == 0 && a < 1) || (t == 1 && b < 1)) throw FormulaError{ErrorCode::Num};
  if (t == 0) return number(a == 1 ? b / width : 0);
  if (t == 1) return number(b == 1 ? a / width : 0);
  return number(std::exp((a - 1) * std::log(t) + (b - 1) * std::log1p(-t) - logBeta(a, b)) / width);
}

Value betaDist(CallArgs& args) {
  double x = args.number(0), a = args.number(1), b = args.number(2);
  bool cumulative = args.boolean(3);
  return betaDistribution(x, a, b, cumulative, betaBounds(args, 4));
}
Value betaDistLegacy(CallArgs& args) {
  double x = args.number(0), a = args.number(1), b = args.number(2);
  return betaDistribution(x, a, b, true, betaBounds(args, 3));
}

Value betaInv(CallArgs& args) {
  double p = probability(args, 0, false, true);
  double ab[] = {args.number(1), args.number(2)};
  BetaBounds bounds = betaBounds(args, 3);
  require(ab[0] > 0 && ab[1] > 0);
  double t = p == 1 ? 1 : invertIncreasing(betaCdf, ab, p, 0, 1);
  return number(bounds.low + t * (bounds.high - bounds.low));
}

// ---- chi-squared, Student's t and F

double chiSquaredCdf(double x, double df) { return lowerGammaRatio(df / 2, x / 2); }
double chiSquaredCdfOf(double x, const double* df) { return chiSquaredCdf(x, *df); }

Value chisqDist(CallArgs& args) {
  double x = args.number(0), df = freedom(args, 1);
  bool cumulative = args.boolean(2);
  require(x >= 0);
  if (cumulative) return number(chiSquaredCdf(x, df));
  if (x == 0) {
    require(df >= 2);
    return number(df == 2 ? 0.5 : 0);
  }
  double k = df / 2;
  return number(std::exp((k - 1) * std::log(x) - x / 2 - k * std::numbers::ln2 - std::lgamma(k)));
}

// Upper tails are computed (and inverted) as such, so small tails keep their digits.
double chiSquaredUpperNegated(double x, const double* df) {
  return -upperGammaRatio(*df / 2, x / 2);
}

Value chisqDistRight(CallArgs& args) {
  double x = args.number(0), df = freedom(args, 1);
  require(x >= 0);
  return number(upperGammaRatio(df / 2, x / 2));
}

Value chisqInv(CallArgs& args) {
  double p = probability(args, 0, true, false);
  double df = freedom(args, 1);
  if (p == 0) return number(0);
  return number(invertIncreasing(chiSquaredCdfOf, &df, p, 0, df + 1));
}

Value chisqInvRight(CallArgs& args) {
  double p = probability(args, 0, false, true);
  double df = freedom(args, 1);
  if (p == 1) return number(0);
  return number(invertIncreasing(chiSquaredUpperNegated, &df, -p, 0, df + 1));
}

// The probability that |T| exceeds |t| for `df` degrees of freedom.
double studentTwoTailed(double t, double df) { return betaRatio(df / (df + t * t), df / 2, 0.5); }

double studentCdf(double t, double df) {
  double tail = studentTwoTailed(t, df) / 2;
  return t < 0 ? tail : 1 - tail;
}

Value tDist(CallArgs& args) {
  double t = args.number(0), df = freedom(args, 1);
  bool cumulative = args.boolean(2);
  if (cumulative) return number(studentCdf(t, df));
  return number(std::exp(std::lgamma((df + 1) / 2) - std::lgamma(df / 2) -
                         (df + 1) / 2 * std::log1p(t * t / df)) /
                std::sqrt(df * std::numbers::pi));
}

Value tDistTwoTailed(CallArgs& args) {
  double t = args.number(0), df = freedom(args, 1);
  require(t >= 0);
  return number(studentTwoTailed(t, df));
}

Value tDistRight(CallArgs& args) {
  double t = args.number(0), df = freedom(args, 1);
  double tail = studentTwoTailed(t, df) / 2;
  return number(t < 0 ? 1 - tail : tail);
}

Value tDistLegacy(CallArgs& args) {
  double t = args.number(0), df = freedom(args, 1), tails = std::trunc(args.number(2));
  require(t >= 0 && (tails == 1 || tails == 2));
  return number(studentTwoTailed(t, df) * (tails == 1 ? 0.5 : 1));
}

double studentTailNegated(double t, const double* df) { return -studentTwoTailed(t, *df) / 2; }

double studentQuantile(double p, double df) {
  if (p == 0.5) return 0;
  // Solve for the smaller tail and mirror, so both tails keep their precision.
  double tail = p > 0.5 ? 1 - p : p;
  double t = invertIncreasing(studentTailNegated, &df, -tail, 0, 1);
  return p > 0.5 ? t : -t;
}

Value tInv(CallArgs& args) {
  double p = probability(args, 0, false, false);
  return number(studentQuantile(p, freedom(args, 1)));
}

Value tInvTwoTailed(CallArgs& args) {
  double p = probability(args, 0, false, true);
  return number(std::fabs(studentQuantile(p / 2, freedom(args, 1))));
}

double fisherCdf(double x, const double* df) {
  if (x <= 0) return 0;
  return betaRatio(df[0] * x / (df[0] * x + df[1]), df[0] / 2, df[1] / 2);
}

Value fDist(CallArgs& args) {
  double x = args.number(0);
  double df[] = {freedom(args, 1), freedom(args, 2)};
  bool cumulative = args.boolean(3);
  require(x >= 0);
  if (cumulative) return number(fisherCdf(x, df));
  if (x == 0) {
    require(df[0] >= 2);
    return number(df[0] == 2 ? 1 : 0);
  }
  double a = df[0] / 2, b = df[1] / 2;
  return number(std::exp(a * std::log(df[0] / df[1]) + (a - 1) * std::log(x) -
                         (a + b) * std::log1p(df[0] * x / df[1]) - logBeta(a, b)));
}

double fisherUpper(double x, const double* df) {
  return betaRatio(df[1] / (df[1] + df[0] * x), df[1] / 2, df[0] / 2);
}
double fisherUpperNegated(double x, const double* df) { return -fisherUpper(x, df); }

Value fDistRight(CallArgs& args) {
  double x = args.number(0);
  double df[] = {freedom(args, 1), freedom(args, 2)};
  require(x >= 0);
  return number(fisherUpper(x, df));
}

Value fInv(CallArgs& args) {
  double p = probability(args, 0, true, false);
  double df[] = {freedom(args, 1), freedom(args, 2)};
  if (p == 0) return number(0);
  return number(invertIncreasing(fisherCdf, df, p, 0, 2));
}

Value fInvRight(CallArgs& args) {
  double p = probability(args, 0, false, true);
  double df[] = {freedom(args, 1), freedom(args, 2)};
  if (p == 1) return number(0);
  return number(invertIncreasing(fisherUpperNegated, df, -p, 0, 2));
}

// ---- confidence intervals and tests

Value confidenceNormal(CallArgs& args) {
  double alpha = args.number(0), sd = args.number(1), n = std::trunc(args.number(2));
  require(alpha > 0 && alpha < 1 && sd > 0 && n >= 1);
  return number(normalQuantile(1 - alpha / 2) * sd / std::sqrt(n));
}

Value confidenceT(CallArgs& args) {
  double alpha = args.number(0), sd = args.number(1), n = std::trunc(args.number(2));
  require(alpha > 0 && alpha < 1 && sd > 0 && n >= 1);
  if (n == 1) return Scalar::fromError(ErrorCode::Div0);
  return number(std::fabs(studentQuantile(alpha / 2, n - 1)) * sd / std::sqrt(n));
}

Value zTest(CallArgs& args) {
  const std::vector<double> numbers = numbersIn(args, 0);
  double x = args.number(1);
  if (numbers.empty()) return Scalar::fromError(ErrorCode::NA);
  double n = double(numbers.size()), mean = 0;
  for (double v : numbers) mean += v;
  mean /= n;
  double sigma;
  if (args.isMissing(2)) {
    if (numbers.size() < 2) return Scalar::fromError(ErrorCode::Div0);
    double squares = 0;
    for (double v : numbers) squares += (v - mean) * (v - mean);
    sigma = std::sqrt(squares / (n - 1));
  } else {
    sigma = args.number(2);
  }
  if (sigma == 0) return Scalar::fromError(ErrorCode::Div0);
  return number(1 - normalCdf((mean - x) / (sigma / std::sqrt(n))));
}

struct Moments {
  double n = 0, mean = 0, variance = 0;  // sample variance
};

Moments momentsOf(const std::vector<double>& numbers) {
  Moments m;
  m.n = double(numbers.size());
  if (m.n < 2) throw FormulaError{ErrorCode::Div0};
  for (double v : numbers) m.mean += v;
  m.mean /= m.n;
  for (double v : numbers) m.variance += (v - m.mean) * (v - m.mean);
  m.variance /= m.n - 1;
  return m;
}

// T.TEST: type 1 paired, 2 two samples of equal variance, 3 of unequal variance (Welch's
// degrees of freedom, not rounded).
Value tTest(CallArgs& args) {
  double tails = std::trunc(args.number(2)), type = std::trunc(args.number(3));
  require((tails == 1 || tails == 2) && type >= 1 && type <= 3);
  double t, df;
  if (type == 1) {
    Array a = args.evaluator().toArray(args.value(0));
    Array b = args.evaluator().toArray(args.value(1));
    if (a.cells.size() != b.cells.size()) return Scalar::fromError(ErrorCode::NA);
    std::vector<double> differences;
    for (std::size_t i = 0; i < a.cells.size(); ++i) {
      if (a.cells[i].isError()) return a.cells[i];
      if (b.cells[i].isError()) return b.cells[i];
      if (a.cells[i].isNumber() && b.cells[i].isNumber())
        differences.push_back(a.cells[i].number - b.cells[i].number);
    }
    Moments d = momentsOf(differences);
    if (d.variance == 0) return Scalar::fromError(ErrorCode::Div0);
    t = d.mean / std::sqrt(d.variance / d.n);
    df = d.n - 1;
  } else {
    Moments a = momentsOf(numbersIn(args, 0)), b = momentsOf(numbersIn(args, 1));
    double spread;
    if (type == 2) {
      df = a.n + b.n - 2;
      double pooled = ((a.n - 1) * a.variance + (b.n - 1) * b.variance) / df;
      spread = pooled * (1 / a.n + 1 / b.n);
    } else {
      double va = a.variance / a.n, vb = b.variance / b.n;
      spread = va + vb;
      if (spread == 0) return Scalar::fromError(ErrorCode::Div0);
      df = spread * spread / (va * va / (a.n - 1) + vb * vb / (b.n - 1));
    }
    if (spread == 0) return Scalar::fromError(ErrorCode::Div0);
    t = (a.mean - b.mean) / std::sqrt(spread);
  }
  return number(studentTwoTailed(std::fabs(t), df) * (tails == 1 ? 0.5 : 1));
}

// F.TEST: the two-tailed probability that the samples' variances differ only by chance.
Value fTest(CallArgs& args) {
  Moments a = momentsOf(numbersIn(args, 0)), b = momentsOf(numbersIn(args, 1));
  if (a.variance == 0 || b.variance == 0) return Scalar::fromError(ErrorCode::Div0);
  double df[] = {a.n - 1, b.n - 1};
  double ratio = a.variance / b.variance;
  double below = fisherCdf(ratio, df), above = fisherUpper(ratio, df);
  return number(std::min(1.0, 2 * std::min(below, above)));
}

// CHISQ.TEST: the upper tail of the chi-squared statistic of observed against expected
// counts; a table has (rows - 1)(columns - 1) degrees of freedom, one row or column n - 1.
Value chisqTest(CallArgs& args) {
  Array observed = args.evaluator().toArray(args.value(0));
  Array expected = args.evaluator().toArray(args.value(1));
  if (observed.rows != expected.rows || observed.columns != expected.columns)
    return Scalar::fromError(ErrorCode::NA);
  double statistic = 0;
  for (std::size_t i = 0; i < observed.cells.size(); ++i) {
    const Scalar& o = observed.cells[i];
    const Scalar& e = expected.cells[i];
    if (o.isError()) return o;
    if (e.isError()) return e;
    if (!o.isNumber() || !e.isNumber()) continue;
    if (e.number == 0) return Scalar::fromError(ErrorCode::Div0);
    statistic += (o.number - e.number) * (o.number - e.number) / e.number;
  }
  double df = observed.rows > 1 && observed.columns > 1
                  ? double(observed.rows - 1) * (observed.columns - 1)
                  : double(observed.cells.size()) - 1;
  if (df < 1) return Scalar::fromError(ErrorCode::NA);
  return number(upperGammaRatio(df / 2, statistic / 2));
}

constexpr FunctionSpec kFunctions[] = {
    {u"NORM.DIST", 4, 4, normDist, false, true},
    {u"NORMDIST", 4, 4, normDist, false, true},
    {u"NORM.S.DIST", 2, 2, normSDist, false, true},
    {u"NORMSDIST", 1, 1, normSDistLegacy, false, true},
    {u"NORM.INV", 3, 3, normInv, false, true},
    {u"NORMINV", 3, 3, normInv, false, true},
    {u"NORM.S.INV", 1, 1, normSInv, false, true},
    {u"NORMSINV", 1, 1, normSInv, false, true},
    {u"LOGNORM.DIST", 4, 4, lognormDist, false, true},
    {u"LOGNORMDIST", 3, 3, lognormDistLegacy, false, true},
    {u"LOGNORM.INV", 3, 3, lognormInv, false, true},
    {u"LOGINV", 3, 3, lognormInv, false, true},
    {u"PHI", 1, 1, phi, false, true},
    {u"GAUSS", 1, 1, gauss, false, true},
    {u"BINOM.DIST", 4, 4, binomDist, false, true},
    {u"BINOMDIST", 4, 4, binomDist, false, true},
    {u"BINOM.INV", 3, 3, binomInv, false, true},
    {u"CRITBINOM", 3, 3, binomInv, false, true},
    {u"NEGBINOM.DIST", 4, 4, negbinomDist, false, true},
    {u"NEGBINOMDIST", 3, 3, negbinomDistLegacy, false, true},
    {u"POISSON.DIST", 3, 3, poissonDist, false, true},
    {u"POISSON", 3, 3, poissonDist, false, true},
    {u"HYPGEOM.DIST", 5, 5, hypgeomDist, false, true},
    {u"HYPGEOMDIST", 4, 4, hypgeomDistLegacy, false, true},
    {u"EXPON.DIST", 3, 3, exponDist, false, true},
    {u"EXPONDIST", 3, 3, exponDist, false, true},
    {u"WEIBULL.DIST", 4, 4, weibullDist, false, true},
    {u"WEIBULL", 4, 4, weibullDist, false, true},
    {u"GAMMA", 1, 1, gammaFunction, false, true},
    {u"GAMMALN", 1, 1, gammaLn, false, true},
    {u"GAMMALN.PRECISE", 1, 1, gammaLn, false, true},
    {u"GAMMA.DIST", 4, 4, gammaDist, false, true},
    {u"GAMMADIST", 4, 4, gammaDist, false, true},
    {u"GAMMA.INV", 3, 3, gammaInv, false, true},
    {u"GAMMAINV", 3, 3, gammaInv, false, true},
    {u"BETA.DIST", 4, 6, betaDist, false, true},
    {u"BETADIST", 3, 5, betaDistLegacy, false, true},
    {u"BETA.INV", 3, 5, betaInv, false, true},
    {u"BETAINV", 3, 5, betaInv, false, true},
    {u"CHISQ.DIST", 3, 3, chisqDist, false, true},
    {u"CHISQ.DIST.RT", 2, 2, chisqDistRight, false, true},
    {u"CHIDIST", 2, 2, chisqDistRight, false, true},
    {u"CHISQ.INV", 2, 2, chisqInv, false, true},
    {u"CHISQ.INV.RT", 2, 2, chisqInvRight, false, true},
    {u"CHIINV", 2, 2, chisqInvRight, false, true},
    {u"T.DIST", 3, 3, tDist, false, true},
    {u"T.DIST.2T", 2, 2, tDistTwoTailed, false, true},
    {u"T.DIST.RT", 2, 2, tDistRight, false, true},
    {u"TDIST", 3, 3, tDistLegacy, false, true},
    {u"T.INV", 2, 2, tInv, false, true},
    {u"T.INV.2T", 2, 2, tInvTwoTailed, false, true},
    {u"TINV", 2, 2, tInvTwoTailed, false, true},
    {u"F.DIST", 4, 4, fDist, false, true},
    {u"F.DIST.RT", 3, 3, fDistRight, false, true},
    {u"FDIST", 3, 3, fDistRight, false, true},
    {u"F.INV", 3, 3, fInv, false, true},
    {u"F.INV.RT", 3, 3, fInvRight, false, true},
    {u"FINV", 3, 3, fInvRight, false, true},
    {u"CONFIDENCE", 3, 3, confidenceNormal, false, true},
    {u"CONFIDENCE.NORM", 3, 3, confidenceNormal, false, true},
    {u"CONFIDENCE.T", 3, 3, confidenceT, false, true},
    {u"Z.TEST", 2, 3, zTest},
    {u"T.TEST", 4, 4, tTest},
    {u"TTEST", 4, 4, tTest},
    {u"F.TEST", 2, 2, fTest},
    {u"FTEST", 2, 2, fTest},
    {u"CHISQ.TEST", 2, 2, chisqTest},
    {u"CHITEST", 2, 2, chisqTest},
    {u"ZTEST", 2, 3, zTest},
};

}  // namespace

std::span<const FunctionSpec> distributionFunctions() { return kFunctions; }

}  // namespace sx::formula
