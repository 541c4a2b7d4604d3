#include <cmath>
#include <utility>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// More multiplications than this would take the calculation minutes: #NUM! instead.
constexpr double kMaxOperations = 1e9;

// A matrix of numbers, row by row.
struct Matrix {
  int32_t rows = 0, columns = 0;
  std::vector<double> cells;
  double& at(int32_t row, int32_t column) { return cells[std::size_t(row) * columns + column]; }
};

// The argument as numbers: an error cell is the result, any other non-number #VALUE!.
Matrix matrixOf(CallArgs& args, std::size_t i) {
  Array array = args.evaluator().toArray(args.value(i));
  Matrix matrix{array.rows, array.columns, {}};
  matrix.cells.reserve(array.cells.size());
  for (const Scalar& cell : array.cells) {
    if (cell.isError()) throw FormulaError{cell.error};
    if (!cell.isNumber()) throw FormulaError{ErrorCode::Value};
    matrix.cells.push_back(cell.number);
  }
  return matrix;
}

Value toValue(const Matrix& matrix) {
  Array array{matrix.rows, matrix.columns, {}};
  array.cells.reserve(matrix.cells.size());
  for (double n : matrix.cells) array.cells.push_back(numberResult(n));
  return array;
}

Value mmult(CallArgs& args) {
  Matrix a = matrixOf(args, 0), b = matrixOf(args, 1);
  if (a.columns != b.rows) return Scalar::fromError(ErrorCode::Value);
  if (int64_t(a.rows) * b.columns > kMaxArrayCells ||
      double(a.rows) * b.columns * a.columns > kMaxOperations) {
    return Scalar::fromError(ErrorCode::Num);
  }
  Matrix product{a.rows, b.columns, std::vector<double>(std::size_t(a.rows) * b.columns)};
  for (int32_t r = 0; r < a.rows; ++r) {
    for (int32_t c = 0; c < b.columns; ++c) {
      double total = 0;
      for (int32_t k = 0; k < a.columns; ++k) total += a.at(r, k) * b.at(k, c);
      product.at(r, c) = total;
    }
  }
  return toValue(product);
}

Matrix squareMatrixOf(CallArgs& args) {
  Matrix matrix = matrixOf(args, 0);
  if (matrix.rows != matrix.columns) throw FormulaError{ErrorCode::Value};
  if (double(matrix.rows) * matrix.rows * matrix.rows > kMaxOperations)
    throw FormulaError{ErrorCode::Num};
  return matrix;
}

// Gaussian elimination with partial pivoting, applied to `inverse` alongside when given:
// the determinant, 0 when the matrix is singular.
double eliminate(Matrix& matrix, Matrix* inverse) {
  const int32_t n = matrix.rows;
  double determinant = 1;
  for (int32_t column = 0; column < n; ++column) {
    int32_t pivot = column;
    for (int32_t row = column + 1; row < n; ++row) {
      if (std::fabs(matrix.at(row, column)) > std::fabs(matrix.at(pivot, column))) pivot = row;
    }
    if (matrix.at(pivot, column) == 0) return 0;
    if (pivot != column) {
      determinant = -determinant;
      for (int32_t k = 0; k < n; ++k) {
        std::swap(matrix.at(pivot, k), matrix.at(column, k));
        if (inverse) std::swap(inverse->at(pivot, k), inverse->at(column, k));
      }
    }
    const double head = matrix.at(column, column);
    determinant *= head;
    for (int32_t row = 0; row < n; ++row) {
      if (row == column || (!inverse && row < column)) continue;
      double factor = matrix.at(row, column) / head;
      if (factor == 0) continue;
      for (int32_t k = 0; k < n; ++k) {
        matrix.at(row, k) -= factor * matrix.at(column, k);
        if (inverse) inverse->at(row, k) -= factor * inverse->at(column, k);
      }
    }
  }
  if (inverse) {
    for (int32_t row = 0; row < n; ++row) {
      for (int32_t k = 0; k < n; ++k) inverse->at(row, k) /= matrix.at(row, row);
    }
  }
  return determinant;
}

Matrix identity(int32_t n) {
  Matrix matrix{n, n, std::vector<double>(std::size_t(n) * n, 0)};
  for (int32_t i = 0; i < n; ++i) matrix.at(i, i) = 1;
  return matrix;
}

Value mdeterm(CallArgs& args) {
  Matrix matrix = squareMatrixOf(args);
  return number(eliminate(matrix, nullptr));
}

Value minverse(CallArgs& args) {
  Matrix matrix = squareMatrixOf(args);
  Matrix inverse = identity(matrix.rows);
  if (eliminate(matrix, &inverse) == 0) return Scalar::fromError(ErrorCode::Num);
  return toValue(inverse);
}

Value munit(CallArgs& args) {
  double n = std::trunc(args.number(0));
  if (n < 1) return Scalar::fromError(ErrorCode::Value);
  if (n * n > double(kMaxArrayCells)) return Scalar::fromError(ErrorCode::Num);
  return toValue(identity(int32_t(n)));
}

// Rows become columns; empty cells read as 0, as an array formula shows them.
Value transpose(CallArgs& args) {
  Array source = args.evaluator().toArray(args.value(0));
  Array result{source.columns, source.rows, {}};
  result.cells.reserve(source.cells.size());
  for (int32_t r = 0; r < result.rows; ++r) {
    for (int32_t c = 0; c < result.columns; ++c) {
      const Scalar& cell = source.at(c, r);
      result.cells.push_back(cell.isEmpty() ? Scalar::fromNumber(0) : cell);
    }
  }
  return result;
}

constexpr FunctionSpec kFunctions[] = {
    {u"MMULT", 2, 2, mmult, true},         {u"MDETERM", 1, 1, mdeterm, true},
    {u"MINVERSE", 1, 1, minverse, true},   {u"MUNIT", 1, 1, munit},
    {u"TRANSPOSE", 1, 1, transpose, true},
};

}  // namespace

std::span<const FunctionSpec> matrixFunctions() { return kFunctions; }

}  // namespace sx::formula
