#include <algorithm>
#include <cmath>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// Paired numbers of two equally sized arrays or ranges (else #N/A); a pair where either side
// is not a number is left out, an error on either side is the result.
struct Pairs {
  std::vector<double> x, y;
  double meanX = 0, meanY = 0;
  double sxx = 0, syy = 0, sxy = 0;  // sums of squared and cross deviations
  double n() const { return double(x.size()); }
};

Pairs pairsOf(CallArgs& args, std::size_t yArg, std::size_t xArg) {
  Array ys = args.evaluator().toArray(args.value(yArg));
  Array xs = args.evaluator().toArray(args.value(xArg));
  if (ys.cells.size() != xs.cells.size()) throw FormulaError{ErrorCode::NA};
  Pairs pairs;
  for (std::size_t i = 0; i < ys.cells.size(); ++i) {
    if (ys.cells[i].isError()) throw FormulaError{ys.cells[i].error};
    if (xs.cells[i].isError()) throw FormulaError{xs.cells[i].error};
    if (!ys.cells[i].isNumber() || !xs.cells[i].isNumber()) continue;
    pairs.y.push_back(ys.cells[i].number);
    pairs.x.push_back(xs.cells[i].number);
  }
  if (pairs.x.empty()) throw FormulaError{ErrorCode::Div0};
  for (std::size_t i = 0; i < pairs.x.size(); ++i) {
    pairs.meanX += pairs.x[i];
    pairs.meanY += pairs.y[i];
  }
  pairs.meanX /= pairs.n();
  pairs.meanY /= pairs.n();
  for (std::size_t i = 0; i < pairs.x.size(); ++i) {
    double dx = pairs.x[i] - pairs.meanX, dy = pairs.y[i] - pairs.meanY;
    pairs.sxx += dx * dx;
    pairs.syy += dy * dy;
    pairs.sxy += dx * dy;
  }
  return pairs;
}

double divided(double numerator, double denominator) {
  if (denominator == 0) throw FormulaError{ErrorCode::Div0};
  return numerator / denominator;
}

// CORREL and PEARSON take (x, y); the rest take (known y, known x).
Value correl(CallArgs& args) {
  Pairs p = pairsOf(args, 1, 0);
  return number(divided(p.sxy, std::sqrt(p.sxx * p.syy)));
}

Value rsq(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  double r = divided(p.sxy, std::sqrt(p.sxx * p.syy));
  return number(r * r);
}

Value covariancePopulation(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  return number(p.sxy / p.n());
}

Value covarianceSample(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  return number(divided(p.sxy, p.n() - 1));
}

Value slope(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  return number(divided(p.sxy, p.sxx));
}

Value intercept(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  return number(p.meanY - divided(p.sxy, p.sxx) * p.meanX);
}

Value steyx(CallArgs& args) {
  Pairs p = pairsOf(args, 0, 1);
  if (p.n() < 3) return Scalar::fromError(ErrorCode::Div0);
  double residual = p.syy - divided(p.sxy * p.sxy, p.sxx);
  return number(std::sqrt(std::max(residual, 0.0) / (p.n() - 2)));
}

Value forecast(CallArgs& args) {
  double x = args.number(0);
  Pairs p = pairsOf(args, 1, 2);
  double b = divided(p.sxy, p.sxx);
  return number(p.meanY + b * (x - p.meanX));
}

constexpr FunctionSpec kFunctions[] = {
    {u"CORREL", 2, 2, correl},
    {u"PEARSON", 2, 2, correl},
    {u"RSQ", 2, 2, rsq},
    {u"COVAR", 2, 2, covariancePopulation},
    {u"COVARIANCE.P", 2, 2, covariancePopulation},
    {u"COVARIANCE.S", 2, 2, covarianceSample},
    {u"SLOPE", 2, 2, slope},
    {u"INTERCEPT", 2, 2, intercept},
    {u"STEYX", 2, 2, steyx},
    {u"FORECAST", 3, 3, forecast},
    {u"FORECAST.LINEAR", 3, 3, forecast},
};

}  // namespace

std::span<const FunctionSpec> regressionFunctions() { return kFunctions; }

}  // namespace sx::formula
