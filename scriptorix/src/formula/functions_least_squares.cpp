#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// The observations of LINEST and its kin: y one row or one column of n numbers, and the
// regressors as the columns of x (n rows, k columns) whichever way the sheet held them.
struct Observations {
  std::vector<double> y;
  std::vector<std::vector<double>> x;  // x[i] are the k regressors of observation i
  bool byRows = false;                 // y was a row: observations run across
  std::size_t regressors() const { return x.empty() ? 0 : x.front().size(); }
};

std::vector<double> numbersOf(const Array& array) {
  std::vector<double> numbers;
  numbers.reserve(array.cells.size());
  for (const Scalar& cell : array.cells) {
    if (cell.isError()) throw FormulaError{cell.error};
    if (!cell.isNumber()) throw FormulaError{ErrorCode::Value};
    numbers.push_back(cell.number);
  }
  return numbers;
}

Observations observationsOf(CallArgs& args, bool logarithmic) {
  Array ys = args.evaluator().toArray(args.value(0));
  Observations data;
  data.y = numbersOf(ys);
  const std::size_t n = data.y.size();
  if (ys.rows != 1 && ys.columns != 1) throw FormulaError{ErrorCode::Ref};
  data.byRows = ys.rows == 1 && ys.columns > 1;
  if (logarithmic) {
    for (double& v : data.y) {
      if (v <= 0) throw FormulaError{ErrorCode::Num};
      v = std::log(v);
    }
  }
  data.x.resize(n);
  if (args.isMissing(1)) {
    for (std::size_t i = 0; i < n; ++i) data.x[i] = {double(i + 1)};
    return data;
  }
  Array xs = args.evaluator().toArray(args.value(1));
  std::vector<double> values = numbersOf(xs);
  if (xs.rows == ys.rows && xs.columns == ys.columns) {
    for (std::size_t i = 0; i < n; ++i) data.x[i] = {values[i]};
  } else if (!data.byRows && std::size_t(xs.rows) == n) {
    for (std::size_t i = 0; i < n; ++i) {
      data.x[i].assign(values.begin() + std::ptrdiff_t(i * std::size_t(xs.columns)),
                       values.begin() + std::ptrdiff_t((i + 1) * std::size_t(xs.columns)));
    }
  } else if (data.byRows && std::size_t(xs.columns) == n) {
    for (std::size_t i = 0; i < n; ++i) {
      for (int32_t r = 0; r < xs.rows; ++r) data.x[i].push_back(values[std::size_t(r) * n + i]);
    }
  } else {
    throw FormulaError{ErrorCode::Ref};
  }
  return data;
}

// A least-squares fit by Householder QR (no normal equations, which would square the
// condition of the problem). Coefficients are the intercept (0 without one), then one per
// regressor. A regressor that the ones before it already explain is left out, as the
// application does: its coefficient and standard error are 0, and the degrees of freedom
// count only the regressors kept.
struct Fit {
  std::vector<double> coefficients, errors;  // errors: standard errors, same order
  double r2 = 0, sey = 0, f = 0, df = 0, ssRegression = 0, ssResidual = 0;
};

Fit leastSquares(const Observations& data, bool withIntercept) {
  const std::size_t n = data.y.size(), k = data.regressors();
  const std::size_t p = k + (withIntercept ? 1 : 0);
  // Nothing to fit, or more work than a calculation should take (n p^2 steps).
  if (n == 0 || p == 0 || double(n) * double(p) * double(p) > 1e9)
    throw FormulaError{ErrorCode::Num};
  // Column-major design matrix, and each column's largest magnitude.
  std::vector<std::vector<double>> a(p, std::vector<double>(n));
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t column = 0;
    if (withIntercept) a[column++][i] = 1;
    for (std::size_t j = 0; j < k; ++j) a[column++][i] = data.x[i][j];
  }
  std::vector<double> scale(p, 0);
  for (std::size_t j = 0; j < p; ++j) {
    for (double v : a[j]) scale[j] = std::max(scale[j], std::fabs(v));
  }
  std::vector<double> qty = data.y;
  std::vector<double> diagonal;
  std::vector<std::size_t> kept;  // the columns in the fit; kept[t] has its pivot on row t
  for (std::size_t j = 0; j < p; ++j) {
    const std::size_t t = kept.size();
    double norm = 0;
    for (std::size_t i = t; i < n; ++i) norm += a[j][i] * a[j][i];
    norm = std::sqrt(norm);
    if (t == n || norm <= 1e-12 * scale[j] * std::sqrt(double(n))) continue;
    double alpha = a[j][t] > 0 ? -norm : norm;
    a[j][t] -= alpha;  // a[j][t..n) is now the Householder vector v
    double vv = 0;
    for (std::size_t i = t; i < n; ++i) vv += a[j][i] * a[j][i];
    auto reflect = [&](std::vector<double>& target) {
      double dot = 0;
      for (std::size_t i = t; i < n; ++i) dot += a[j][i] * target[i];
      double factor = 2 * dot / vv;
      for (std::size_t i = t; i < n; ++i) target[i] -= factor * a[j][i];
    };
    for (std::size_t c = j + 1; c < p; ++c) reflect(a[c]);
    reflect(qty);
    diagonal.push_back(alpha);
    kept.push_back(j);
  }
  const std::size_t q = kept.size();
  if (q == 0) throw FormulaError{ErrorCode::Num};
  // R over the kept columns: diagonal[] on its diagonal, a[kept[s]][t] (t < s) above it.
  auto r = [&](std::size_t row, std::size_t column) {
    return row == column ? diagonal[row] : a[kept[column]][row];
  };
  std::vector<double> solved(q);
  for (std::size_t t = q; t-- > 0;) {
    double sum = qty[t];
    for (std::size_t s = t + 1; s < q; ++s) sum -= r(t, s) * solved[s];
    solved[t] = sum / r(t, t);
  }
  std::vector<double> beta(p, 0);
  for (std::size_t t = 0; t < q; ++t) beta[kept[t]] = solved[t];
  Fit fit;
  double mean = 0;
  for (double v : data.y) mean += v;
  mean /= double(n);
  for (std::size_t i = 0; i < n; ++i) {
    double predicted = withIntercept ? beta[0] : 0;
    for (std::size_t j = 0; j < k; ++j)
      predicted += beta[j + (withIntercept ? 1 : 0)] * data.x[i][j];
    double residual = data.y[i] - predicted;
    fit.ssResidual += residual * residual;
  }
  double ssTotal = 0;
  for (double v : data.y) ssTotal += withIntercept ? (v - mean) * (v - mean) : v * v;
  fit.ssRegression = ssTotal - fit.ssResidual;
  fit.df = double(n - q);
  fit.r2 = ssTotal == 0 ? 1 : fit.ssRegression / ssTotal;
  fit.sey = std::sqrt(fit.ssResidual / fit.df);
  fit.f = (fit.ssRegression / double(q - (withIntercept ? 1 : 0))) / (fit.ssResidual / fit.df);
  // Standard errors: sey times the row norms of R^-1, whose squares are the diagonal of
  // (X'X)^-1 over the kept columns.
  std::vector<std::vector<double>> inverse(q, std::vector<double>(q, 0));
  for (std::size_t column = 0; column < q; ++column) {
    inverse[column][column] = 1 / r(column, column);
    for (std::size_t row = column; row-- > 0;) {
      double sum = 0;
      for (std::size_t m = row + 1; m <= column; ++m) sum += r(row, m) * inverse[m][column];
      inverse[row][column] = -sum / r(row, row);
    }
  }
  fit.errors.assign(p, 0);
  for (std::size_t row = 0; row < q; ++row) {
    double squares = 0;
    for (std::size_t column = row; column < q; ++column)
      squares += inverse[row][column] * inverse[row][column];
    fit.errors[kept[row]] = fit.sey * std::sqrt(squares);
  }
  if (!withIntercept) {
    beta.insert(beta.begin(), 0);
    fit.errors.insert(fit.errors.begin(), std::nan(""));
  }
  fit.coefficients = std::move(beta);
  return fit;
}

bool interceptWanted(CallArgs& args, std::size_t i) { return args.booleanOr(i, true); }

Scalar valueOrNa(double value) {
  return std::isnan(value) ? Scalar::fromError(ErrorCode::NA) : numberResult(value);
}

// LINEST and LOGEST: the coefficients last regressor first, then the intercept; with
// statistics four more rows (standard errors; r2 and sey; F and df; the sums of squares).
Value estimate(CallArgs& args, bool logarithmic) {
  Observations data = observationsOf(args, logarithmic);
  Fit fit = leastSquares(data, interceptWanted(args, 2));
  const bool statistics = args.booleanOr(3, false);
  const int32_t columns = int32_t(fit.coefficients.size());
  Array result{statistics ? 5 : 1, columns, {}};
  result.cells.assign(std::size_t(result.rows) * std::size_t(columns),
                      Scalar::fromError(ErrorCode::NA));
  auto put = [&](int32_t row, int32_t column, Scalar value) {
    result.cells[std::size_t(row) * std::size_t(columns) + std::size_t(column)] = std::move(value);
  };
  for (int32_t c = 0; c < columns; ++c) {
    std::size_t source = std::size_t(columns - 1 - c);  // the intercept comes last
    double coefficient = fit.coefficients[source];
    put(0, c, numberResult(logarithmic ? std::exp(coefficient) : coefficient));
    if (statistics) put(1, c, valueOrNa(fit.errors[source]));
  }
  if (statistics) {
    put(2, 0, numberResult(fit.r2));
    put(3, 0, numberResult(fit.f));
    put(4, 0, numberResult(fit.ssRegression));
    if (columns > 1) {
      put(2, 1, numberResult(fit.sey));
      put(3, 1, numberResult(fit.df));
      put(4, 1, numberResult(fit.ssResidual));
    }
  }
  return result;
}

Value linest(CallArgs& args) { return estimate(args, false); }
Value logest(CallArgs& args) { return estimate(args, true); }

// TREND and GROWTH: the fitted values at new x (by default the known x). With one regressor
// the result has the shape of the new x; with several, one value per observation.
Value project(CallArgs& args, bool logarithmic) {
  Observations data = observationsOf(args, logarithmic);
  Fit fit = leastSquares(data, interceptWanted(args, 3));
  const std::size_t k = data.regressors();
  Array shape;
  std::vector<std::vector<double>> points;
  if (args.isMissing(2)) {
    points = data.x;
    shape.rows = data.byRows ? 1 : int32_t(points.size());
    shape.columns = data.byRows ? int32_t(points.size()) : 1;
  } else {
    Array xs = args.evaluator().toArray(args.value(2));
    std::vector<double> values = numbersOf(xs);
    if (k == 1) {
      for (double v : values) points.push_back({v});
      shape.rows = xs.rows;
      shape.columns = xs.columns;
    } else if (!data.byRows && std::size_t(xs.columns) == k) {
      for (int32_t r = 0; r < xs.rows; ++r) {
        points.emplace_back(values.begin() + std::ptrdiff_t(std::size_t(r) * k),
                            values.begin() + std::ptrdiff_t(std::size_t(r + 1) * k));
      }
      shape.rows = xs.rows;
      shape.columns = 1;
    } else if (data.byRows && std::size_t(xs.rows) == k) {
      for (int32_t c = 0; c < xs.columns; ++c) {
        std::vector<double> point;
        for (std::size_t r = 0; r < k; ++r)
          point.push_back(values[r * std::size_t(xs.columns) + std::size_t(c)]);
        points.push_back(std::move(point));
      }
      shape.rows = 1;
      shape.columns = xs.columns;
    } else {
      throw FormulaError{ErrorCode::Ref};
    }
  }
  for (const auto& point : points) {
    double fitted = fit.coefficients[0];
    for (std::size_t j = 0; j < k; ++j) fitted += fit.coefficients[j + 1] * point[j];
    shape.cells.push_back(numberResult(logarithmic ? std::exp(fitted) : fitted));
  }
  return shape;
}

Value trend(CallArgs& args) { return project(args, false); }
Value growth(CallArgs& args) { return project(args, true); }

constexpr FunctionSpec kFunctions[] = {
    {u"LINEST", 1, 4, linest, true},
    {u"LOGEST", 1, 4, logest, true},
    {u"TREND", 1, 4, trend, true},
    {u"GROWTH", 1, 4, growth, true},
};

}  // namespace

std::span<const FunctionSpec> leastSquaresFunctions() { return kFunctions; }

}  // namespace sx::formula
