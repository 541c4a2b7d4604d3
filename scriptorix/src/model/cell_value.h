#pragma once

#include <string>

namespace sx {

// The value a cell holds (or a formula last gave). An error keeps its text ("#DIV/0!").
struct CellValue {
  enum class Kind { Empty, Number, Text, Boolean, Error };

  Kind kind = Kind::Empty;
  double number = 0;
  bool boolean = false;
  std::u16string text;

  static CellValue empty() { return {}; }
  static CellValue fromNumber(double value) { return {Kind::Number, value, false, {}}; }
  static CellValue fromBoolean(bool value) { return {Kind::Boolean, 0, value, {}}; }
  static CellValue fromText(std::u16string value) {
    return {Kind::Text, 0, false, std::move(value)};
  }
  static CellValue fromError(std::u16string value) {
    return {Kind::Error, 0, false, std::move(value)};
  }

  bool isEmpty() const { return kind == Kind::Empty; }
  bool operator==(const CellValue&) const = default;
};

}  // namespace sx
