#include <stdexcept>
#include <vector>

#include "js/arguments.h"
#include "js/engine_objects.h"
#include "js/handles.h"
#include "js/js_text.h"
#include "js/session.h"
#include "js/sheet_objects_guard.h"
#include "js/worksheet_methods.h"
#include "js/script_context.h"
#include "core/utf.h"
#include "model/workbook.h"

namespace sx {

namespace {

struct Tag {
  static constexpr const char* kName = "Api";
};

Workbook& workbookOf(const Call& call) {
  call.expectThis(apiClass());
  return sessionOf(call.context).workbook();
}

JSValueRef getActiveSheet(const Call& call) {
  call.args.expectCount(0, 0);
  return makeWorksheet(call.context, workbookOf(call).activeSheet());
}

// Workbook order.
JSValueRef getSheets(const Call& call) {
  call.args.expectCount(0, 0);
  Workbook& book = workbookOf(call);
  JSObjectRef sheets = JSObjectMakeArray(call.context, 0, nullptr, nullptr);
  for (size_t i = 0; i < book.sheetCount(); ++i) {
    JSObjectSetPropertyAtIndex(call.context, sheets, static_cast<unsigned>(i),
                               makeWorksheet(call.context, book.sheet(i)), nullptr);
  }
  return sheets;
}

// The sheet of that name, ignoring case, or null.
JSValueRef getSheet(const Call& call) {
  call.args.expectCount(1, 1);
  Workbook& book = workbookOf(call);
  const Sheet* sheet = book.findSheet(call.args.string(0));
  return sheet ? makeWorksheet(call.context, *sheet) : JSValueMakeNull(call.context);
}

// "auto", "manual" or "autoNoTable": what the next application does about calculation.
JSValueRef setCalculationMode(const Call& call) {
  call.args.expectCount(1, 1);
  Workbook& book = workbookOf(call);
  book.setCalculationMode(parseCalculationMode(call.args.string(0)));
  return JSValueMakeUndefined(call.context);
}

JSValueRef getCalculationMode(const Call& call) {
  call.args.expectCount(0, 0);
  return makeString(call.context,
                    fromUtf8(calculationModeName(workbookOf(call).calculationMode())));
}

// A forced full recalculation: every formula again, not only what changed. A formula the
// engine cannot calculate still keeps the value the file had.
JSValueRef calculate(const Call& call) {
  call.args.expectCount(0, 0);
  workbookOf(call).recalculateAll();
  return JSValueMakeUndefined(call.context);
}

// Appends the sheet and makes it the active one.
JSValueRef addSheet(const Call& call) {
  call.args.expectCount(1, 1);
  Workbook& book = workbookOf(call);
  const std::u16string name = call.args.string(0);
  if (sessionOf(call.context).documentType() == u"CSV") {
    throw std::runtime_error(
        "A CSV document holds one sheet: open or create it as an XLSX document to add sheets");
  }
  return makeWorksheet(call.context, book.addSheet(name));
}

// AddChartSheet(name, type, options): a sheet that is one chart, placed after the last
// worksheet; the options are AddChart's, and references without a sheet mean the active one.
JSValueRef addChartSheet(const Call& call) {
  call.args.expectCount(3, 3);
  Workbook& book = workbookOf(call);
  const std::u16string name = call.args.string(0);
  if (sessionOf(call.context).documentType() == u"CSV") {
    throw std::runtime_error(
        "A CSV document holds one sheet: open or create it as an XLSX document to add sheets");
  }
  refuseChartSheetOnOpenedFile(call, book);
  book.addChartSheet(name, chartFromArguments(call, 1, 2, book.activeSheet()));
  return JSValueMakeUndefined(call.context);
}

// The names of the chart sheets, in the order they were added.
JSValueRef getChartSheetNames(const Call& call) {
  call.args.expectCount(0, 0);
  std::vector<JSValueRef> names;
  for (const ChartSheet& sheet : workbookOf(call).chartSheets())
    names.push_back(makeString(call.context, sheet.name));
  return JSObjectMakeArray(call.context, names.size(), names.data(), nullptr);
}

JSValueRef createColorFromRGB(const Call& call) {
  call.args.expectCount(3, 3);
  call.expectThis(apiClass());
  const auto component = [&](size_t index) {
    return static_cast<uint8_t>(call.args.integer(index, 0, 255));
  };
  return makeColor(call.context, Color{component(0), component(1), component(2)});
}

const JSStaticFunction kFunctions[] = {
    staticMethod<Tag, getActiveSheet>("GetActiveSheet"),
    staticMethod<Tag, getSheets>("GetSheets"),
    staticMethod<Tag, addSheet>("AddSheet"),
    staticMethod<Tag, getSheet>("GetSheet"),
    staticMethod<Tag, setCalculationMode>("SetCalculationMode"),
    staticMethod<Tag, getCalculationMode>("GetCalculationMode"),
    staticMethod<Tag, calculate>("Calculate"),
    staticMethod<Tag, createColorFromRGB>("CreateColorFromRGB"),
    staticMethod<Tag, addChartSheet>("AddChartSheet"),
    staticMethod<Tag, getChartSheetNames>("GetChartSheetNames"),
    {nullptr, nullptr, 0},
};

}  // namespace

JSClassRef apiClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = Tag::kName;
    definition.staticFunctions = kFunctions;
    return JSClassCreate(&definition);
  }();
  return cls;
}

}  // namespace sx
