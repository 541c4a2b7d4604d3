#include "js/range_methods.h"
#include "model/sheet.h"

namespace sx {

namespace {

// Merge(across): one merged area, or with across one per row; null counts as false.
JSValueRef merge(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  target.sheet.merge(target.range(), call.args.booleanOr(0, false));
  return JSValueMakeUndefined(call.context);
}

// UnMerge: every merged area the range touches goes, as a whole.
JSValueRef unmerge(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  target.sheet.unmerge(target.range());
  return JSValueMakeUndefined(call.context);
}

JSValueRef clear(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  target.sheet.clear(target.range());
  return JSValueMakeUndefined(call.context);
}

// The destination's top-left cell places the copy; it may be on another sheet.
JSValueRef copy(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget source = thisRange(call);
  const auto& destination = call.args.object<RangeHandle>(0, rangeClass(), "a Range");
  Sheet& targetSheet = sheetOf(call.context, destination);
  source.sheet.copyTo(source.range(), targetSheet, destination.range);
  return JSValueMakeUndefined(call.context);
}

// Delete("up"|"left") and Insert("down"|"right"); null or no argument takes the first.
JSValueRef deleteCells(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const DeleteShift shift =
      call.args.isNullish(0) ? DeleteShift::Up : parseDeleteShift(call.args.string(0));
  target.sheet.deleteCells(target.range(), shift);
  return JSValueMakeUndefined(call.context);
}

JSValueRef insertCells(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const InsertShift shift =
      call.args.isNullish(0) ? InsertShift::Down : parseInsertShift(call.args.string(0));
  target.sheet.insertCells(target.range(), shift);
  return JSValueMakeUndefined(call.context);
}

}  // namespace

void addRangeStructureMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<merge>("Merge"));
  table.push_back(rangeMethod<unmerge>("UnMerge"));
  table.push_back(rangeMethod<clear>("Clear"));
  table.push_back(rangeMethod<copy>("Copy"));
  table.push_back(rangeMethod<deleteCells>("Delete"));
  table.push_back(rangeMethod<insertCells>("Insert"));
}

}  // namespace sx
