#include <stdexcept>

#include "model/sheet.h"

namespace sx {

namespace {
void checkPosition(int32_t row, int32_t column) {
  if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
    throw std::out_of_range("Cell outside the sheet (rows 1 to 1048576, columns A to XFD)");
  }
}
}  // namespace

void Sheet::setStyleIndex(int32_t row, int32_t column, uint32_t style) {
  checkPosition(row, column);
  cellAt(row, column).style = style;
}

void Sheet::setRowFormat(int32_t row, const RowFormat& format) {
  checkPosition(row, 0);
  if (format == RowFormat{}) {
    rowFormats_.erase(row);
  } else {
    rowFormats_[row] = format;
  }
}

void Sheet::setColumnFormat(int32_t column, const ColumnFormat& format) {
  checkPosition(0, column);
  if (format == ColumnFormat{}) {
    columnFormats_.erase(column);
  } else {
    columnFormats_[column] = format;
  }
}

}  // namespace sx
