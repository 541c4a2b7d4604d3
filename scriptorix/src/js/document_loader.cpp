#include <fstream>
#include <stdexcept>

#include "io/file_format.h"
#include "io/workbook_file.h"
#include "js/arguments.h"
#include "js/engine_objects.h"
#include "js/js_text.h"
#include "js/session.h"
#include "js/script_context.h"
#include "core/utf.h"
#include "model/workbook.h"

namespace sx {

namespace {

struct Tag {
  static constexpr const char* kName = "DocumentLoader";
};

JSClassRef loaderClass();

std::filesystem::path pathOf(const Arguments& args, size_t index) {
  return std::filesystem::path(toUtf8(args.string(index)));
}

// "XLSX": a workbook of any number of sheets; "CSV": one sheet of data.
std::u16string documentTypeArgument(const Arguments& args, size_t index) {
  std::u16string type = args.string(index);
  if (type != u"XLSX" && type != u"CSV") {
    throw ArgumentError(args.methodName() + ": the document type must be \"XLSX\" or \"CSV\"");
  }
  return type;
}

// By content, as the reader decides: a zip package is a workbook, anything else CSV text.
JSValueRef detectFormat(const Call& call) {
  call.expectThis(loaderClass());
  call.args.expectCount(1, 1);
  const std::filesystem::path path = pathOf(call.args, 0);
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot open file: " + path.string());
  char magic[4] = {};
  file.read(magic, sizeof magic);
  const bool package =
      file.gcount() == 4 && magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
  return makeString(call.context, package ? u"XLSX" : u"CSV");
}

JSValueRef openDocument(const Call& call) {
  call.expectThis(loaderClass());
  call.args.expectCount(2, 2);
  const std::filesystem::path path = pathOf(call.args, 0);
  std::u16string type = documentTypeArgument(call.args, 1);
  std::unique_ptr<Workbook> workbook = openWorkbook(path);
  if (type == u"CSV" && workbook->sheetCount() != 1) {
    throw std::runtime_error("A workbook of several sheets cannot be opened as a CSV document");
  }
  sessionOf(call.context).openDocument(std::move(workbook), std::move(type));
  return JSValueMakeUndefined(call.context);
}

JSValueRef createDocument(const Call& call) {
  call.expectThis(loaderClass());
  call.args.expectCount(2, 2);
  parseFileFormat(call.args.string(0));
  std::u16string type = documentTypeArgument(call.args, 1);
  sessionOf(call.context).openDocument(std::make_unique<Workbook>(), std::move(type));
  return JSValueMakeUndefined(call.context);
}

const JSStaticFunction kFunctions[] = {
    staticMethod<Tag, detectFormat>("DetectFormat"),
    staticMethod<Tag, openDocument>("OpenDocument"),
    staticMethod<Tag, createDocument>("CreateDocument"),
    {nullptr, nullptr, 0},
};

JSClassRef loaderClass() {
  static JSClassRef cls = [] {
    JSClassDefinition definition = kJSClassDefinitionEmpty;
    definition.className = Tag::kName;
    definition.staticFunctions = kFunctions;
    return JSClassCreate(&definition);
  }();
  return cls;
}

}  // namespace

JSObjectRef makeDocumentLoader(JSContextRef context) {
  return JSObjectMake(context, loaderClass(), nullptr);
}

}  // namespace sx
