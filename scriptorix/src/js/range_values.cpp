#include <algorithm>
#include <stdexcept>
#include <string>

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
    case CellValue::Kind::Number: return JSValueMakeNumber(context, value.number);
    case CellValue::Kind::Boolean: return JSValueMakeBoolean(context, value.boolean);
    case CellValue::Kind::Text:
    case CellValue::Kind::Error: return makeString(context, value.text);
    case CellValue::Kind::Empty: break;
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
  if (range.isSingleCell()) return read(call.context, target.sheet, range.firstRow, range.firstColumn);
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

JSValueRef getValue(const Call& call) { return readRange(call, cellValue); }

JSValueRef getFormula(const Call& call) { return readRange(call, cellFormula); }

// A number, a boolean, a text (formula, apostrophe text or plain text) or null/undefined to
// clear, on every cell of the range.
JSValueRef setValue(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  JSContextRef context = call.context;
  JSValueRef value = call.args.at(0);
  if (call.args.isNullish(0)) {
    target.sheet.clearValues(target.range());
    return JSValueMakeUndefined(context);
  }
  if (target.range().cellCount() > kMaxCellsPerCall) {
    throw std::out_of_range(call.args.methodName() + " writes at most " +
                            std::to_string(kMaxCellsPerCall) + " cells at once");
  }
  if (JSValueIsNumber(context, value)) {
    target.sheet.setNumber(target.range(), JSValueToNumber(context, value, nullptr));
  } else if (JSValueIsBoolean(context, value)) {
    target.sheet.setBoolean(target.range(), JSValueToBoolean(context, value));
  } else if (JSValueIsString(context, value)) {
    target.sheet.setText(target.range(), call.args.string(0));
  } else {
    call.args.fail(0, "a number, a boolean, a text or null");
  }
  return JSValueMakeUndefined(context);
}

}  // namespace

void addRangeValueMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<setValue>("SetValue"));
  table.push_back(rangeMethod<getValue>("GetValue"));
  table.push_back(rangeMethod<getFormula>("GetFormula"));
}

}  // namespace sx
