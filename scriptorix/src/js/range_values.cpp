#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "js/date_values.h"
#include "js/js_text.h"
#include "js/range_methods.h"
#include "model/sheet.h"

namespace sx {

namespace {

// A read builds one script value per cell and a write stores one cell per cell; beyond this
// many (four whole columns) the call is refused instead of exhausting memory.
constexpr int64_t kMaxCellsPerCall = int64_t{1} << 22;

// Whole rows and columns read only as far as the sheet is used: the rest is empty anyway.
RangeRef readableArea(const Sheet& sheet, const RangeRef& range, const std::string& method) {
  RangeRef area = range;
  if (range.shape != RangeRef::Shape::Cells) {
    const RangeRef used = sheet.usedRange();
    if (range.shape == RangeRef::Shape::Rows) {
      area.lastColumn = used.lastColumn;
    } else {
      area.lastRow = used.lastRow;
    }
    area.shape = RangeRef::Shape::Cells;
  }
  if (area.cellCount() > kMaxCellsPerCall) {
    throw std::out_of_range(method + " reads at most " + std::to_string(kMaxCellsPerCall) +
                            " cells at once");
  }
  return area;
}

JSValueRef cellValue(JSContextRef context, const Sheet& sheet, int32_t row, int32_t column) {
  const CellValue value = sheet.value(row, column);
  switch (value.kind) {
    case CellValue::Kind::Number:
      return JSValueMakeNumber(context, value.number);
    case CellValue::Kind::Boolean:
      return JSValueMakeBoolean(context, value.boolean);
    case CellValue::Kind::Text:
    case CellValue::Kind::Error:
      return makeString(context, value.text);
    case CellValue::Kind::Empty:
      break;
  }
  return makeString(context, u"");
}

JSValueRef cellFormula(JSContextRef context, const Sheet& sheet, int32_t row, int32_t column) {
  return makeString(context, sheet.formulaOrValueText(row, column));
}

// One cell gives its value; several an array of rows. Each value goes into its array as soon
// as it is made, so that it is reachable while the rest are built.
template <typename CellReader>
JSValueRef readRange(const Call& call, CellReader&& read) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  const RangeRef& range = target.range();
  if (range.isSingleCell())
    return read(call.context, target.sheet, range.firstRow, range.firstColumn);
  const RangeRef area = readableArea(target.sheet, range, call.args.methodName());
  JSObjectRef rows = JSObjectMakeArray(call.context, 0, nullptr, nullptr);
  for (int32_t r = area.firstRow; r <= area.lastRow; ++r) {
    JSObjectRef row = JSObjectMakeArray(call.context, 0, nullptr, nullptr);
    JSObjectSetPropertyAtIndex(call.context, rows, static_cast<unsigned>(r - area.firstRow), row,
                               nullptr);
    for (int32_t c = area.firstColumn; c <= area.lastColumn; ++c) {
      JSObjectSetPropertyAtIndex(call.context, row, static_cast<unsigned>(c - area.firstColumn),
                                 read(call.context, target.sheet, r, c), nullptr);
    }
  }
  return rows;
}

// The largest serial the 1900 system has: 9999-12-31.
constexpr double kLastDateSerial = 2958465;

JSValueRef cellDate(JSContextRef context, const Sheet& sheet, int32_t row, int32_t column) {
  const CellValue value = sheet.value(row, column);
  if (value.kind != CellValue::Kind::Number || value.number < 0 ||
      value.number >= kLastDateSerial + 1) {
    return JSValueMakeNull(context);
  }
  return serialToDateValue(context, value.number);
}

JSValueRef getValue(const Call& call) { return readRange(call, cellValue); }

// The value as a Date (a number read as a 1900-system serial); null for a cell that holds no
// number, or a number no date has.
JSValueRef getValueAsDate(const Call& call) { return readRange(call, cellDate); }

JSValueRef getFormula(const Call& call) { return readRange(call, cellFormula); }

void checkWriteSize(const Call& call, int64_t cells) {
  if (cells > kMaxCellsPerCall) {
    throw std::out_of_range(call.args.methodName() + " writes at most " +
                            std::to_string(kMaxCellsPerCall) + " cells at once");
  }
}

// One value on every cell of `range`; false for a value of another kind.
bool storeValue(const Call& call, Sheet& sheet, const RangeRef& range, JSValueRef value) {
  JSContextRef context = call.context;
  if (JSValueIsNull(context, value) || JSValueIsUndefined(context, value)) {
    sheet.clearValues(range);
  } else if (JSValueIsNumber(context, value)) {
    sheet.setNumber(range, JSValueToNumber(context, value, nullptr));
  } else if (JSValueIsBoolean(context, value)) {
    sheet.setBoolean(range, JSValueToBoolean(context, value));
  } else if (JSValueIsString(context, value)) {
    sheet.setText(range, valueToU16String(context, value));
  } else if (JSValueIsDate(context, value)) {
    sheet.setDate(range, dateToSerialValue(context, value));
  } else {
    return false;
  }
  return true;
}

JSValueRef elementAt(JSContextRef context, JSObjectRef array, unsigned index) {
  return JSObjectGetPropertyAtIndex(context, array, index, nullptr);
}

unsigned arrayLength(JSContextRef context, JSObjectRef array) {
  const double length = JSValueToNumber(context, getProperty(context, array, "length"), nullptr);
  return std::isfinite(length) && length > 0 ? static_cast<unsigned>(length) : 0;
}

// Rows of values, one array per row, written from the range's top-left cell. A single cell
// takes the size of the rows; any other range must have exactly their size.
void storeRows(const Call& call, RangeTarget& target, JSObjectRef rows) {
  JSContextRef context = call.context;
  const std::string method = call.args.methodName();
  const unsigned rowCount = arrayLength(context, rows);
  if (rowCount == 0) throw std::invalid_argument(method + ": the array of rows is empty");
  std::vector<JSObjectRef> rowArrays;
  unsigned columnCount = 0;
  for (unsigned r = 0; r < rowCount; ++r) {
    JSValueRef row = elementAt(context, rows, r);
    if (!JSValueIsArray(context, row)) {
      throw ArgumentError(method + ": row " + std::to_string(r + 1) +
                          " must be an array of values (SetValue takes an array of rows)");
    }
    rowArrays.push_back(JSValueToObject(context, row, nullptr));
    const unsigned length = arrayLength(context, rowArrays.back());
    if (r > 0 && length != columnCount) {
      throw std::invalid_argument(method + ": row " + std::to_string(r + 1) + " has " +
                                  std::to_string(length) + " values, row 1 has " +
                                  std::to_string(columnCount) + "; every row needs as many");
    }
    columnCount = length;
  }
  if (columnCount == 0) throw std::invalid_argument(method + ": the rows hold no values");
  const RangeRef& range = target.range();
  const int64_t rangeRows = int64_t{range.lastRow} - range.firstRow + 1;
  const int64_t rangeColumns = int64_t{range.lastColumn} - range.firstColumn + 1;
  if (!range.isSingleCell() && (rangeRows != rowCount || rangeColumns != columnCount)) {
    throw std::invalid_argument(method + ": " + std::to_string(rowCount) + " rows of " +
                                std::to_string(columnCount) + " values do not fit a range of " +
                                std::to_string(rangeRows) + " rows and " +
                                std::to_string(rangeColumns) + " columns");
  }
  if (int64_t{range.firstRow} + rowCount > kMaxRows ||
      int64_t{range.firstColumn} + columnCount > kMaxColumns) {
    throw std::out_of_range(method + ": the rows reach past the last row or column of the sheet");
  }
  checkWriteSize(call, int64_t{rowCount} * columnCount);
  // Every value is checked before the first is written, so a refused call changes nothing.
  for (unsigned r = 0; r < rowCount; ++r) {
    for (unsigned c = 0; c < columnCount; ++c) {
      const std::string where = method + ": the value in row " + std::to_string(r + 1) +
                                ", column " + std::to_string(c + 1);
      JSValueRef value = elementAt(context, rowArrays[r], c);
      if (JSValueIsNumber(context, value) &&
          !std::isfinite(JSValueToNumber(context, value, nullptr))) {
        throw std::invalid_argument(where + " is not a finite number");
      }
      if (JSValueIsDate(context, value)) dateToSerialValue(context, value);
      if (!JSValueIsNull(context, value) && !JSValueIsUndefined(context, value) &&
          !JSValueIsNumber(context, value) && !JSValueIsBoolean(context, value) &&
          !JSValueIsString(context, value) && !JSValueIsDate(context, value)) {
        throw ArgumentError(where + " must be a number, a boolean, a text, a Date or null");
      }
    }
  }
  for (unsigned r = 0; r < rowCount; ++r) {
    for (unsigned c = 0; c < columnCount; ++c) {
      const RangeRef cell = cellRef(range.firstRow + static_cast<int32_t>(r),
                                    range.firstColumn + static_cast<int32_t>(c));
      storeValue(call, target.sheet, cell, elementAt(context, rowArrays[r], c));
    }
  }
}

// A number, a boolean, a text (formula, apostrophe text or plain text), a Date, or null/undefined
// to clear, on every cell of the range; or an array of rows, one value per cell.
JSValueRef setValue(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  JSValueRef value = call.args.at(0);
  if (JSValueIsArray(call.context, value)) {
    storeRows(call, target, JSValueToObject(call.context, value, nullptr));
    return JSValueMakeUndefined(call.context);
  }
  if (!call.args.isNullish(0)) checkWriteSize(call, target.range().cellCount());
  if (!storeValue(call, target.sheet, target.range(), value)) {
    call.args.fail(0, "a number, a boolean, a text, a Date, an array of rows or null");
  }
  return JSValueMakeUndefined(call.context);
}

}  // namespace

void addRangeValueMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<setValue>("SetValue"));
  table.push_back(rangeMethod<getValue>("GetValue"));
  table.push_back(rangeMethod<getValueAsDate>("GetValueAsDate"));
  table.push_back(rangeMethod<getFormula>("GetFormula"));
}

}  // namespace sx
