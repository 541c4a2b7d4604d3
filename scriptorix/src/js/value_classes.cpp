#include "js/arguments.h"
#include "js/handles.h"
#include "js/js_text.h"
#include "model/workbook.h"

namespace sx {

namespace {

struct DefNameTag {
  static constexpr const char* kName = "DefName";
};

JSValueRef getName(const Call& call) {
  call.args.expectCount(0, 0);
  return makeString(call.context, call.handle<DefNameHandle>(defNameClass()).name);
}

// As the name manager shows it: "=Sheet1!$A$1:$B$2".
JSValueRef getRefersTo(const Call& call) {
  call.args.expectCount(0, 0);
  return makeString(call.context, u"=" + call.handle<DefNameHandle>(defNameClass()).reference);
}

const JSStaticFunction kDefNameFunctions[] = {
    staticMethod<DefNameTag, getName>("GetName"),
    staticMethod<DefNameTag, getRefersTo>("GetRefersTo"),
    {nullptr, nullptr, 0},
};

}  // namespace

// A colour is a value: it carries its components and nothing else.
JSClassRef colorClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = "Color";
    definition.finalize = finalizeHandle<ColorHandle>;
    return JSClassCreate(&definition);
  }();
  return cls;
}

JSClassRef defNameClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = DefNameTag::kName;
    definition.staticFunctions = kDefNameFunctions;
    definition.finalize = finalizeHandle<DefNameHandle>;
    return JSClassCreate(&definition);
  }();
  return cls;
}

JSObjectRef makeColor(JSContextRef context, Color color) {
  return JSObjectMake(context, colorClass(), new ColorHandle{color});
}

JSObjectRef makeDefName(JSContextRef context, const DefinedName& name) {
  return JSObjectMake(context, defNameClass(), new DefNameHandle{name.name, name.reference});
}

}  // namespace sx
