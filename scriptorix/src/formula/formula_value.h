#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sx::formula {

enum class ErrorCode { Null, Div0, Value, Ref, Name, Num, NA };

std::u16string_view errorText(ErrorCode code);
std::optional<ErrorCode> errorFromText(std::u16string_view text);

// One cell's content or one formula result.
struct Scalar {
  enum class Kind { Empty, Number, Text, Boolean, Error };
  Kind kind = Kind::Empty;
  double number = 0;
  bool boolean = false;
  ErrorCode error = ErrorCode::Value;
  std::u16string text;

  static Scalar empty() { return {}; }
  static Scalar fromNumber(double value) {
    return {Kind::Number, value, false, ErrorCode::Value, {}};
  }
  static Scalar fromText(std::u16string value) {
    return {Kind::Text, 0, false, ErrorCode::Value, std::move(value)};
  }
  static Scalar fromBoolean(bool value) { return {Kind::Boolean, 0, value, ErrorCode::Value, {}}; }
  static Scalar fromError(ErrorCode code) { return {Kind::Error, 0, false, code, {}}; }

  bool isEmpty() const { return kind == Kind::Empty; }
  bool isNumber() const { return kind == Kind::Number; }
  bool isText() const { return kind == Kind::Text; }
  bool isBoolean() const { return kind == Kind::Boolean; }
  bool isError() const { return kind == Kind::Error; }
  friend bool operator==(const Scalar&, const Scalar&) = default;
};

// A block of cells on one sheet, 0-based and inclusive.
struct Area {
  int32_t sheet = 0;
  int32_t firstRow = 0;
  int32_t firstColumn = 0;
  int32_t lastRow = 0;
  int32_t lastColumn = 0;

  int32_t rows() const { return lastRow - firstRow + 1; }
  int32_t columns() const { return lastColumn - firstColumn + 1; }
  bool contains(int32_t sheetIndex, int32_t row, int32_t column) const {
    return sheet == sheetIndex && row >= firstRow && row <= lastRow && column >= firstColumn &&
           column <= lastColumn;
  }
  friend bool operator==(const Area&, const Area&) = default;
};

// An array constant or a computed array, row by row.
struct Array {
  int32_t rows = 0;
  int32_t columns = 0;
  std::vector<Scalar> cells;

  const Scalar& at(int32_t row, int32_t column) const {
    return cells[std::size_t(row) * columns + column];
  }
};

using References = std::vector<Area>;

// What an expression evaluates to before a function or operator decides how to read it.
using Value = std::variant<Scalar, Array, References>;

}  // namespace sx::formula
