#pragma once

namespace sx::formula {

// The numerical kernels the probability functions share. Arguments are assumed valid (each
// function checks its own domain and gives the spreadsheet's error first).

// Standard normal distribution and its inverse (0 < p < 1).
double normalCdf(double z);
double normalDensity(double z);
double normalQuantile(double p);

// Regularized lower incomplete gamma P(a, x), a > 0, x >= 0.
double lowerGammaRatio(double a, double x);
// Its complement Q(a, x) = 1 - P(a, x), computed directly where it is small.
double upperGammaRatio(double a, double x);
// Regularized incomplete beta I_x(a, b), a, b > 0, 0 <= x <= 1.
double betaRatio(double x, double a, double b);
// log B(a, b).
double logBeta(double a, double b);

// The x in [low, high] where the increasing function `cdf` reaches p, by bisection to the
// precision of a double; `high` is widened while cdf(high) < p. An upper tail (decreasing)
// is inverted by passing its negation and -p, which keeps the digits of small tails.
double invertIncreasing(double (*cdf)(double x, const double* parameters), const double* parameters,
                        double p, double low, double high);

}  // namespace sx::formula
