#include "js/fonts_list.h"

#include <JavaScriptCore/JavaScript.h>

#include <stdexcept>

#include "js/exception_report.h"
#include "js/js_text.h"
#include "js/script_context.h"
#include "js/script_file.h"

namespace sx {

std::vector<std::u16string> loadFontsList(const std::filesystem::path& file) {
  const std::u16string source = readScriptFile(file);
  JSGlobalContextRef context = JSGlobalContextCreateInGroup(engineContextGroup(), nullptr);
  std::vector<std::u16string> names;
  std::string failure;
  JsString script(source);
  JSValueRef exception = nullptr;
  JSEvaluateScript(context, script.get(), nullptr, nullptr, 1, &exception);
  if (exception != nullptr) {
    const ExceptionReport report = describeException(context, exception);
    failure = "line " + std::to_string(report.line.value_or(1)) + ": " + report.message;
  } else {
    JSValueRef list = getProperty(context, JSContextGetGlobalObject(context), "AllFonts");
    if (!JSValueIsArray(context, list)) {
      failure = "it does not set AllFonts to an array of font names";
    } else {
      JSObjectRef array = JSValueToObject(context, list, nullptr);
      const double length =
          JSValueToNumber(context, getProperty(context, array, "length"), nullptr);
      for (unsigned i = 0; i < length && failure.empty(); ++i) {
        JSValueRef name = JSObjectGetPropertyAtIndex(context, array, i, nullptr);
        if (!JSValueIsString(context, name))
          failure = "AllFonts holds something else than names";
        else
          names.push_back(valueToU16String(context, name));
      }
    }
  }
  JSGlobalContextRelease(context);
  if (!failure.empty()) throw std::runtime_error(file.string() + ": " + failure);
  return names;
}

}  // namespace sx
