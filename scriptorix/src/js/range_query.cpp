#include <stdexcept>
#include <string>

#include "js/js_text.h"
#include "js/range_methods.h"
#include "model/sheet.h"
#include "model/workbook.h"

namespace sx {

namespace {

// GetAddress(absolute, external): "A1:B2", "$A$1:$B$2", "Sheet1!A1", "'My sheet'!A1".
JSValueRef getAddress(const Call& call) {
  call.args.expectCount(0, 2);
  RangeTarget target = thisRange(call);
  const bool absolute = call.args.booleanOr(0, false);
  const bool external = call.args.booleanOr(1, false);
  return makeString(call.context,
                    external ? formatExternalRef(target.sheet.name(), target.range(), absolute)
                             : formatRangeRef(target.range(), absolute));
}

// Cells; rows on a rows view; columns on a columns view.
JSValueRef getCount(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  const RangeRef& range = target.range();
  switch (target.handle.view) {
    case RangeView::Rows:
      return JSValueMakeNumber(call.context, range.rowCount());
    case RangeView::Columns:
      return JSValueMakeNumber(call.context, range.columnCount());
    case RangeView::Cells:
      break;
  }
  return JSValueMakeNumber(call.context, static_cast<double>(range.cellCount()));
}

// Row n (1-based) of the range, keeping the range's own span of columns.
RangeRef rowOf(const RangeRef& range, int32_t n) {
  const int32_t row = range.firstRow + n - 1;
  if (range.shape == RangeRef::Shape::Rows) return rowsRef(row, row);
  return normalizedShape(RangeRef{row, range.firstColumn, row, range.lastColumn});
}

RangeRef columnOf(const RangeRef& range, int32_t n) {
  const int32_t column = range.firstColumn + n - 1;
  if (range.shape == RangeRef::Shape::Columns) return columnsRef(column, column);
  return normalizedShape(RangeRef{range.firstRow, column, range.lastRow, column});
}

// Without an argument the rows (columns) view of the same cells; with n that row (column).
template <RangeView View>
JSValueRef getLines(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const RangeRef& range = target.range();
  if (call.args.isNullish(0)) return makeRange(call.context, target.sheet, range, View);
  const bool rows = View == RangeView::Rows;
  const int32_t n = call.args.integer(0, 1, rows ? range.rowCount() : range.columnCount());
  return makeRange(call.context, target.sheet, rows ? rowOf(range, n) : columnOf(range, n));
}

JSValueRef getDefName(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  const DefinedName* name = target.sheet.workbook().definedNameFor(target.sheet, target.range());
  if (name == nullptr) return JSValueMakeNull(call.context);
  return makeDefName(call.context, *name);
}

// The first cell, row by row, whose displayed text holds the text, ignoring case; or null.
JSValueRef find(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const auto found = target.sheet.find(call.args.string(0), target.range());
  if (!found) return JSValueMakeNull(call.context);
  return makeRange(call.context, target.sheet, *found);
}

}  // namespace

void addRangeQueryMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<getAddress>("GetAddress"));
  table.push_back(rangeMethod<getCount>("GetCount"));
  table.push_back(rangeMethod<getLines<RangeView::Rows>>("GetRows"));
  table.push_back(rangeMethod<getLines<RangeView::Columns>>("GetCols"));
  table.push_back(rangeMethod<getDefName>("GetDefName"));
  table.push_back(rangeMethod<find>("Find"));
}

}  // namespace sx
