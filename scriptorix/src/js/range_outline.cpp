#include <optional>

#include "js/range_methods.h"
#include "model/sheet.h"

namespace sx {

namespace {

enum class Axis { Rows, Columns };

// Rows of a rows view (or of whole rows), columns of a columns view (or of whole columns).
Axis axisOf(const Call& call, const RangeTarget& target) {
  const RangeRef& range = target.range();
  if (target.handle.view == RangeView::Rows || range.shape == RangeRef::Shape::Rows)
    return Axis::Rows;
  if (target.handle.view == RangeView::Columns || range.shape == RangeRef::Shape::Columns)
    return Axis::Columns;
  throw ArgumentError(call.args.methodName() +
                      " groups rows or columns: call it on GetRows() or GetCols()");
}

// Group() one level deeper (at most 7), Group(level) at that level (1 to 7).
JSValueRef group(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const Axis axis = axisOf(call, target);
  std::optional<uint8_t> level;
  if (!call.args.isNullish(0))
    level = static_cast<uint8_t>(call.args.integer(0, 1, kMaxOutlineLevel));
  if (axis == Axis::Rows) {
    target.sheet.groupRows(target.range(), level);
  } else {
    target.sheet.groupColumns(target.range(), level);
  }
  return JSValueMakeUndefined(call.context);
}

JSValueRef ungroup(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  if (axisOf(call, target) == Axis::Rows) {
    target.sheet.ungroupRows(target.range());
  } else {
    target.sheet.ungroupColumns(target.range());
  }
  return JSValueMakeUndefined(call.context);
}

}  // namespace

void addRangeOutlineMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<group>("Group"));
  table.push_back(rangeMethod<ungroup>("Ungroup"));
}

}  // namespace sx
