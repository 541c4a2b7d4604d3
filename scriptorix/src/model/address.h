#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/sheet_limits.h"
#include "core/sheet_name.h"

namespace sx {

// A rectangle of cells, 0-based and inclusive. Rows/Columns mark whole rows ("1:3") or whole
// columns ("A:C"); their other span always covers the whole sheet.
struct RangeRef {
  enum class Shape { Cells, Rows, Columns };

  int32_t firstRow = 0;
  int32_t firstColumn = 0;
  int32_t lastRow = 0;
  int32_t lastColumn = 0;
  Shape shape = Shape::Cells;

  int32_t rowCount() const { return lastRow - firstRow + 1; }
  int32_t columnCount() const { return lastColumn - firstColumn + 1; }
  int64_t cellCount() const { return int64_t{rowCount()} * columnCount(); }
  bool isSingleCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
  bool contains(int32_t row, int32_t column) const {
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
  }
  bool intersects(const RangeRef& other) const {
    return firstRow <= other.lastRow && other.firstRow <= lastRow &&
           firstColumn <= other.lastColumn && other.firstColumn <= lastColumn;
  }
  bool operator==(const RangeRef&) const = default;
};

// One cell; throws std::out_of_range beyond the sheet limits.
RangeRef cellRef(int32_t row, int32_t column);
// Whole rows / whole columns, 0-based inclusive.
RangeRef rowsRef(int32_t firstRow, int32_t lastRow);
RangeRef columnsRef(int32_t firstColumn, int32_t lastColumn);
// A Cells range that spans every row or every column is the same area as whole columns or rows:
// give it that shape so that operations never walk the full height or width cell by cell.
RangeRef normalizedShape(RangeRef range);

// A1, $A$1, A1:B2, A:C, 1:3 (corners in either order). Throws std::runtime_error with a clear
// message on bad text or a reference past row 1,048,576 or column XFD.
RangeRef parseRangeRef(std::u16string_view text);
// "A1:B2" / "$A$1:$B$2"; one cell gives "A1"; whole rows "1:3", whole columns "A:C".
std::u16string formatRangeRef(const RangeRef& range, bool absolute);
// "Sheet1!A1:B2" or "'My sheet'!$A$1".
std::u16string formatExternalRef(std::u16string_view sheetName, const RangeRef& range,
                                 bool absolute);

// A reference with an optional sheet in front, as a defined name holds it.
struct SheetRangeRef {
  std::u16string sheet;  // empty when the text names no sheet
  RangeRef range;
};
SheetRangeRef parseSheetRangeRef(std::u16string_view text);

}  // namespace sx
