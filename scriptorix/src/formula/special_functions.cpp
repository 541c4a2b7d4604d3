#include "formula/special_functions.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace sx::formula {
namespace {

constexpr double kEpsilon = 1e-16;
constexpr int kMaxIterations = 5000;

// Continued fraction for the upper incomplete gamma (x > a + 1), Lentz's method.
double upperGammaFraction(double a, double x) {
  const double tiny = 1e-300;
  double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i < kMaxIterations; ++i) {
    double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < kEpsilon) break;
  }
  return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

// Continued fraction for the incomplete beta, Lentz's method.
double betaFraction(double x, double a, double b) {
  const double tiny = 1e-300;
  double qab = a + b, qap = a + 1, qam = a - 1;
  double c = 1, d = 1 - qab * x / qap;
  if (std::fabs(d) < tiny) d = tiny;
  d = 1 / d;
  double h = d;
  for (int m = 1; m < kMaxIterations; ++m) {
    int m2 = 2 * m;
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < kEpsilon) break;
  }
  return h;
}

}  // namespace

double normalCdf(double z) { return 0.5 * std::erfc(-z / std::numbers::sqrt2); }

double normalDensity(double z) { return std::exp(-0.5 * z * z) / std::sqrt(2 * std::numbers::pi); }

double normalQuantile(double p) {
  // Acklam's rational approximation, then Halley steps on the exact distribution.
  static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                             1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                             6.680131188771972e+01, -1.328068155288572e+01};
  static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                             -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                             3.754408661907416e+00};
  double x;
  if (p < 0.02425) {
    double q = std::sqrt(-2 * std::log(p));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  } else if (p <= 1 - 0.02425) {
    double q = p - 0.5, r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  } else {
    double q = std::sqrt(-2 * std::log1p(-p));
    x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  }
  for (int step = 0; step < 3; ++step) {
    // Work on the smaller tail so the error is measured where the digits are.
    double e = x < 0 ? 0.5 * std::erfc(-x / std::numbers::sqrt2) - p
                     : (1 - p) - 0.5 * std::erfc(x / std::numbers::sqrt2);
    double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
    x = x - u / (1 + x * u / 2);
  }
  return x;
}

double lowerGammaRatio(double a, double x) {
  if (x <= 0) return 0;
  if (x > a + 1) return 1 - upperGammaFraction(a, x);
  double term = 1 / a, sum = term, ap = a;
  for (int i = 0; i < kMaxIterations; ++i) {
    ap += 1;
    term *= x / ap;
    sum += term;
    if (std::fabs(term) < std::fabs(sum) * kEpsilon) break;
  }
  return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

double upperGammaRatio(double a, double x) {
  if (x <= 0) return 1;
  if (x > a + 1) return upperGammaFraction(a, x);
  return 1 - lowerGammaRatio(a, x);
}

double logBeta(double a, double b) { return std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b); }

double betaRatio(double x, double a, double b) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  double front = std::exp(a * std::log(x) + b * std::log1p(-x) - logBeta(a, b));
  if (x < (a + 1) / (a + b + 2)) return front * betaFraction(x, a, b) / a;
  return 1 - front * betaFraction(1 - x, b, a) / b;
}

double invertIncreasing(double (*cdf)(double x, const double* parameters), const double* parameters,
                        double p, double low, double high) {
  for (int i = 0; i < 2000 && cdf(high, parameters) < p; ++i) {
    low = high;
    high *= 2;
  }
  for (int i = 0; i < 2000; ++i) {
    double middle = low + (high - low) / 2;
    if (middle <= low || middle >= high) break;
    if (cdf(middle, parameters) < p) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return low + (high - low) / 2;
}

}  // namespace sx::formula
