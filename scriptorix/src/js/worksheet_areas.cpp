#include "js/line_selection.h"
#include "js/worksheet_methods.h"
#include "model/sheet.h"

namespace sx {

namespace {

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

RangeRef areaArgument(const Call& call, size_t index) {
  return normalizedShape(parseRangeRef(call.args.string(index)));
}

// SetAutoFilter("A1:D20"): filter buttons on the area's first row.
JSValueRef setAutoFilter(const Call& call) {
  call.args.expectCount(1, 1);
  thisSheet(call).areas().autoFilter = areaArgument(call, 0);
  return done(call);
}

// SetPrintArea("A1:F40"): only that area prints.
JSValueRef setPrintArea(const Call& call) {
  call.args.expectCount(1, 1);
  thisSheet(call).areas().printArea = areaArgument(call, 0);
  return done(call);
}

// SetPrintTitles("1:2", "A:A"): rows repeated at the top of each printed page, columns at its
// left; null for either leaves it without.
JSValueRef setPrintTitles(const Call& call) {
  call.args.expectCount(1, 2);
  Sheet& sheet = thisSheet(call);
  std::optional<RangeRef> rows, columns;
  if (!call.args.isNullish(0)) rows = wholeRowsArgument(call.args, 0);
  if (!call.args.isNullish(1)) columns = wholeColumnsArgument(call.args, 1);
  if (!rows && !columns)
    throw ArgumentError(call.args.methodName() + " needs rows, columns or both");
  sheet.areas().titleRows = rows;
  sheet.areas().titleColumns = columns;
  return done(call);
}

}  // namespace

void addWorksheetAreaMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(worksheetMethod<setAutoFilter>("SetAutoFilter"));
  table.push_back(worksheetMethod<setPrintArea>("SetPrintArea"));
  table.push_back(worksheetMethod<setPrintTitles>("SetPrintTitles"));
}

}  // namespace sx
