#pragma once

#include <cstdint>
#include <optional>

#include "model/cell_value.h"

namespace sx {

// One stored cell, kept small: a million of them must fit in a few tens of megabytes.
// Texts and formulas live in the workbook's string pool; `text` and `formula` are pool ids.
struct StoredCell {
  static constexpr uint32_t kNoFormula = UINT32_MAX;

  int32_t column = 0;
  uint32_t style = 0;                             // index into the workbook's style table
  uint32_t formula = kNoFormula;                  // pool id of the formula text (without "=")
  CellValue::Kind kind = CellValue::Kind::Empty;  // the value, or a formula's cached value
  union {
    double number;
    uint32_t text;  // pool id, for Text and Error
    bool boolean;
  };

  StoredCell() : number(0) {}
  bool hasFormula() const { return formula != kNoFormula; }
};

struct RowFormat {
  std::optional<double> height;  // points
  bool hidden = false;
  uint32_t style = 0;        // applies to the row's cells that have no style of their own
  uint8_t outlineLevel = 0;  // 0 to 7: the row's grouping depth
  bool collapsed = false;    // the group this row summarises is folded
  bool operator==(const RowFormat&) const = default;
};

struct ColumnFormat {
  std::optional<double> width;  // characters
  bool hidden = false;
  uint32_t style = 0;
  uint8_t outlineLevel = 0;
  bool collapsed = false;
  bool operator==(const ColumnFormat&) const = default;
};

// Rows and columns frozen at the top and left (0: none).
struct FreezePanes {
  int32_t rows = 0;
  int32_t columns = 0;
  bool operator==(const FreezePanes&) const = default;
};

}  // namespace sx
