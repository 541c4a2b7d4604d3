#include <filesystem>
#include <stdexcept>

#include "io/file_format.h"
#include "io/workbook_file.h"
#include "js/arguments.h"
#include "js/engine_objects.h"
#include "js/exception_report.h"
#include "js/js_text.h"
#include "js/session.h"
#include "js/script_context.h"
#include "core/utf.h"

namespace sx {

namespace {

struct Tag {
  static constexpr const char* kName = "builder";
};

JSClassRef builderClass();

std::filesystem::path pathArgument(const Arguments& args, size_t index) {
  const std::u16string text = args.string(index);
  if (text.empty()) throw ArgumentError(args.methodName() + ": the path is empty");
  return std::filesystem::path(toUtf8(text));
}

// Every open and create goes through the runtime's NativeOpenFileData(t, i, n, e), with
// t "open" or "create", i the path or the format, n the document loader, and no e: the
// runtime decides what the missing options mean.
void callNativeOpenFileData(JSContextRef context, const char* request, JSValueRef argument) {
  if (sessionOf(context).hasDocument()) {
    throw std::runtime_error("A document is already open: call builder.CloseFile first");
  }
  JSObjectRef global = JSContextGetGlobalObject(context);
  JSValueRef function = getProperty(context, global, "NativeOpenFileData");
  if (!JSValueIsObject(context, function) ||
      !JSObjectIsFunction(context, JSValueToObject(context, function, nullptr))) {
    throw std::runtime_error(
        "NativeOpenFileData is not defined: DoctRenderer.config must list the runtime's "
        "native.js");
  }
  JSValueRef arguments[] = {makeString(context, fromUtf8(request)), argument,
                            makeDocumentLoader(context)};
  JSValueRef exception = nullptr;
  JSObjectCallAsFunction(context, JSValueToObject(context, function, nullptr), nullptr, 3,
                         arguments, &exception);
  // Thrown inside the runtime's scripts, the error would carry a line of native.js: make it
  // anew here, so that it names the script line that called builder.
  if (exception != nullptr) throw std::runtime_error(describeException(context, exception).message);
}

JSValueRef createFile(const Call& call) {
  call.expectThis(builderClass());
  call.args.expectCount(1, 1);
  parseFileFormat(call.args.string(0));
  callNativeOpenFileData(call.context, "create", call.args.at(0));
  return JSValueMakeUndefined(call.context);
}

JSValueRef openFile(const Call& call) {
  call.expectThis(builderClass());
  call.args.expectCount(1, 1);
  pathArgument(call.args, 0);
  callNativeOpenFileData(call.context, "open", call.args.at(0));
  return JSValueMakeUndefined(call.context);
}

// "xlsx" (and the other package formats) writes the workbook, "csv" the active sheet.
JSValueRef saveFile(const Call& call) {
  call.expectThis(builderClass());
  call.args.expectCount(2, 2);
  const FileFormat format = parseFileFormat(call.args.string(0));
  const std::filesystem::path path = pathArgument(call.args, 1);
  saveWorkbook(sessionOf(call.context).workbook(), format, path);
  return JSValueMakeUndefined(call.context);
}

JSValueRef closeFile(const Call& call) {
  call.expectThis(builderClass());
  call.args.expectCount(0, 0);
  sessionOf(call.context).closeDocument();
  return JSValueMakeUndefined(call.context);
}

const JSStaticFunction kFunctions[] = {
    staticMethod<Tag, createFile>("CreateFile"),
    staticMethod<Tag, openFile>("OpenFile"),
    staticMethod<Tag, saveFile>("SaveFile"),
    staticMethod<Tag, closeFile>("CloseFile"),
    {nullptr, nullptr, 0},
};

JSClassRef builderClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = "Builder";
    definition.staticFunctions = kFunctions;
    return JSClassCreate(&definition);
  }();
  return cls;
}

}  // namespace

void installEngineObjects(JSContextRef context) {
  constexpr JSPropertyAttributes fixed =
      kJSPropertyAttributeReadOnly | kJSPropertyAttributeDontDelete;
  JSObjectRef global = JSContextGetGlobalObject(context);
  setProperty(context, global, "window", global, fixed | kJSPropertyAttributeDontEnum);
  setProperty(context, global, "builder", JSObjectMake(context, builderClass(), nullptr), fixed);
  setProperty(context, global, "Api", JSObjectMake(context, apiClass(), nullptr), fixed);
}

}  // namespace sx
