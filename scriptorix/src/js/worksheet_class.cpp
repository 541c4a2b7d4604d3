#include <iterator>
#include <string>
#include <vector>

#include "js/arguments.h"
#include "js/handles.h"
#include "js/js_text.h"
#include "js/line_selection.h"
#include "js/session.h"
#include "js/script_context.h"
#include "core/utf.h"
#include "js/worksheet_methods.h"
#include "model/workbook.h"

namespace sx {

Sheet& thisSheet(const Call& call) {
  return sheetOf(call.context, call.handle<SheetHandle>(worksheetClass()));
}

namespace {

JSValueRef getName(const Call& call) {
  call.args.expectCount(0, 0);
  return makeString(call.context, thisSheet(call).name());
}

JSValueRef setName(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  sheet.workbook().renameSheet(sheet, call.args.string(0));
  return JSValueMakeUndefined(call.context);
}

// Move(before) puts the sheet before another, Move(null, after) after one. Without either there
// is nothing to place it against: a misspelt name or an index past the last sheet must not
// quietly move it to the end.
JSValueRef move(const Call& call) {
  call.args.expectCount(0, 2);
  Sheet& sheet = thisSheet(call);
  Workbook& book = sheet.workbook();
  if (!call.args.isNullish(0)) {
    auto& before = call.args.object<SheetHandle>(0, worksheetClass(), "a Worksheet or null");
    book.moveSheetBefore(sheet, sheetOf(call.context, before));
  } else if (!call.args.isNullish(1)) {
    auto& after = call.args.object<SheetHandle>(1, worksheetClass(), "a Worksheet or null");
    book.moveSheetAfter(sheet, sheetOf(call.context, after));
  } else {
    throw std::runtime_error(
        "Worksheet.Move: no sheet to move before or after (both arguments are null or undefined)");
  }
  return JSValueMakeUndefined(call.context);
}

// A reference without a sheet ("$A$1:$B$2") means this sheet.
JSValueRef addDefName(const Call& call) {
  call.args.expectCount(2, 2);
  Sheet& sheet = thisSheet(call);
  const std::u16string name = call.args.string(0);
  std::u16string reference = call.args.string(1);
  if (!reference.empty() && reference.front() == u'=') reference.erase(0, 1);
  const SheetRangeRef parsed = parseSheetRangeRef(reference);
  if (parsed.sheet.empty()) {
    reference = quoteSheetName(sheet.name()) + u"!" + reference;
  } else if (sheet.workbook().findSheet(parsed.sheet) == nullptr) {
    throw std::runtime_error("Defined name refers to a sheet that does not exist: " +
                             toUtf8(parsed.sheet));
  }
  sheet.workbook().addDefinedName(name, reference);
  return JSValueMakeUndefined(call.context);
}

JSValueRef getRange(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  return makeRange(call.context, sheet, normalizedShape(parseRangeRef(call.args.string(0))));
}

// 0-based: (0, 0) is A1.
JSValueRef getRangeByNumber(const Call& call) {
  call.args.expectCount(2, 2);
  Sheet& sheet = thisSheet(call);
  const int32_t row = call.args.integer(0, 0, kMaxRows - 1);
  const int32_t column = call.args.integer(1, 0, kMaxColumns - 1);
  return makeRange(call.context, sheet, cellRef(row, column));
}

JSValueRef getRows(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  return makeRange(call.context, sheet, wholeRowsArgument(call.args, 0), RangeView::Rows);
}

JSValueRef getCols(const Call& call) {
  call.args.expectCount(1, 1);
  Sheet& sheet = thisSheet(call);
  return makeRange(call.context, sheet, wholeColumnsArgument(call.args, 0), RangeView::Columns);
}

JSValueRef getUsedRange(const Call& call) {
  call.args.expectCount(0, 0);
  Sheet& sheet = thisSheet(call);
  return makeRange(call.context, sheet, sheet.usedRange());
}

// SetFreezePanes(rows, columns): that many rows at the top and columns at the left stay put.
JSValueRef setFreezePanes(const Call& call) {
  call.args.expectCount(2, 2);
  Sheet& sheet = thisSheet(call);
  const int32_t rows = call.args.integer(0, 0, kMaxRows - 1);
  const int32_t columns = call.args.integer(1, 0, kMaxColumns - 1);
  sheet.setFreezePanes(FreezePanes{rows, columns});
  return JSValueMakeUndefined(call.context);
}

template <JSValueRef (*Body)(const Call&)>
constexpr JSStaticFunction method(const char* name) {
  return worksheetMethod<Body>(name);
}

const JSStaticFunction kFunctions[] = {
    method<getName>("GetName"),
    method<setName>("SetName"),
    method<move>("Move"),
    method<addDefName>("AddDefName"),
    method<getRange>("GetRange"),
    method<getRangeByNumber>("GetRangeByNumber"),
    method<getRows>("GetRows"),
    method<getCols>("GetCols"),
    method<getUsedRange>("GetUsedRange"),
    method<setFreezePanes>("SetFreezePanes"),
};

}  // namespace

JSClassRef worksheetClass() {
  static const std::vector<JSStaticFunction> table = [] {
    std::vector<JSStaticFunction> functions(std::begin(kFunctions), std::end(kFunctions));
    addWorksheetSettingsMethods(functions);
    addWorksheetPageSetupMethods(functions);
    addWorksheetDrawingMethods(functions);
    addWorksheetTableMethods(functions);
    functions.push_back({nullptr, nullptr, 0});
    return functions;
  }();
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = WorksheetTag::kName;
    definition.staticFunctions = table.data();
    definition.finalize = finalizeHandle<SheetHandle>;
    return JSClassCreate(&definition);
  }();
  return cls;
}

JSObjectRef makeWorksheet(JSContextRef context, const Sheet& sheet) {
  ScriptContextData& data = contextData(context);
  const uint64_t generation = data.session->generation();
  if (data.worksheetGeneration != generation) {
    releaseWorksheets(context, data);
    data.worksheetGeneration = generation;
  }
  auto [cached, added] = data.worksheets.try_emplace(sheet.id(), nullptr);
  if (added) {
    cached->second =
        JSObjectMake(context, worksheetClass(), new SheetHandle{generation, sheet.id()});
    JSValueProtect(context, cached->second);
  }
  return cached->second;
}

Sheet& sheetOf(JSContextRef context, const SheetHandle& handle) {
  return sessionOf(context).sheet(handle.generation, handle.sheetId);
}

}  // namespace sx
