#include "js/script_context.h"

#include <stdexcept>

#include "js/js_text.h"

namespace sx {

namespace {

JSClassRef globalClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = "Global";
    return JSClassCreate(&definition);
  }();
  return cls;
}

JSObjectRef prototypeOf(JSContextRef context, JSObjectRef global, const char* constructor) {
  JSValueRef value = getProperty(context, global, constructor);
  JSObjectRef object = JSValueToObject(context, value, nullptr);
  JSValueRef prototype = getProperty(context, object, "prototype");
  JSObjectRef result = JSValueToObject(context, prototype, nullptr);
  JSValueProtect(context, result);
  return result;
}

// Host extras that are not ECMAScript: a console that writes nowhere useful, and WebAssembly.
void removeHostExtras(JSContextRef context, JSObjectRef global) {
  for (const char* name : {"console", "WebAssembly"}) {
    JsString key(name);
    JSObjectDeleteProperty(context, global, key.get(), nullptr);
  }
}

// Without the legacy Object.prototype.__proto__ accessor, `o["__proto__"] = v` makes an ordinary
// property like any other key: a result named "__proto__" stays in the helper's results object
// and its JSON instead of replacing the object's prototype. Object.getPrototypeOf and
// Object.setPrototypeOf remain.
void removeProtoAccessor(JSContextRef context, JSObjectRef global) {
  JSObjectRef objectPrototype = prototypeOf(context, global, "Object");
  JsString key("__proto__");
  JSObjectDeleteProperty(context, objectPrototype, key.get(), nullptr);
  JSValueUnprotect(context, objectPrototype);
}

}  // namespace

JSContextGroupRef engineContextGroup() {
  static JSContextGroupRef group = JSContextGroupCreate();
  return group;
}

ScriptContext::ScriptContext(Session& session) {
  data_.session = &session;
  context_ = JSGlobalContextCreateInGroup(engineContextGroup(), globalClass());
  JSObjectRef global = JSContextGetGlobalObject(context_);
  JSObjectSetPrivate(global, &data_);
  data_.typeErrorPrototype = prototypeOf(context_, global, "TypeError");
  data_.rangeErrorPrototype = prototypeOf(context_, global, "RangeError");
  removeHostExtras(context_, global);
  removeProtoAccessor(context_, global);
}

ScriptContext::~ScriptContext() {
  releaseWorksheets(context_, data_);
  JSValueUnprotect(context_, data_.typeErrorPrototype);
  JSValueUnprotect(context_, data_.rangeErrorPrototype);
  JSGlobalContextRelease(context_);
}

void releaseWorksheets(JSContextRef context, ScriptContextData& data) {
  for (const auto& [id, object] : data.worksheets) JSValueUnprotect(context, object);
  data.worksheets.clear();
}

ScriptContextData* findContextData(JSContextRef context) {
  return static_cast<ScriptContextData*>(JSObjectGetPrivate(JSContextGetGlobalObject(context)));
}

ScriptContextData& contextData(JSContextRef context) {
  ScriptContextData* data = findContextData(context);
  if (data == nullptr) throw std::logic_error("script context without engine data");
  return *data;
}

Session& sessionOf(JSContextRef context) { return *contextData(context).session; }

}  // namespace sx

// The VM lives to the end of the process (engineContextGroup), so what it holds is still in
// use at exit, referenced from its own heap where the leak checker does not look. Our own
// allocations outside the VM's callbacks stay checked.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libjavascriptcoregtk-4.1.so\n";
}

// Keeps stderr to the engine's own one line under the leak checker too.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
