#include "js/range_methods.h"
#include "js/session.h"
#include "js/script_context.h"
#include "model/sheet.h"

namespace sx {

RangeTarget thisRange(const Call& call) {
  const RangeHandle& handle = call.handle<RangeHandle>(rangeClass());
  return {sheetOf(call.context, handle), handle};
}

JSClassRef rangeClass() {
  static const std::vector<JSStaticFunction> table = [] {
    std::vector<JSStaticFunction> functions;
    addRangeValueMethods(functions);
    addRangeFormatMethods(functions);
    addRangeStructureMethods(functions);
    addRangeQueryMethods(functions);
    addRangeOutlineMethods(functions);
    addRangeNoteMethods(functions);
    functions.push_back({nullptr, nullptr, 0});
    return functions;
  }();
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = RangeTag::kName;
    definition.staticFunctions = table.data();
    definition.finalize = finalizeHandle<RangeHandle>;
    return JSClassCreate(&definition);
  }();
  return cls;
}

JSObjectRef makeRange(JSContextRef context, const Sheet& sheet, const RangeRef& range,
                      RangeView view) {
  auto* handle = new RangeHandle{sessionOf(context).generation(), sheet.id(), view, range};
  return JSObjectMake(context, rangeClass(), handle);
}

Sheet& sheetOf(JSContextRef context, const RangeHandle& handle) {
  return sessionOf(context).sheet(handle.generation, handle.sheetId);
}

}  // namespace sx
