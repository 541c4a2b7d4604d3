#include "js/script_error.h"

#include <string_view>

#include "js/js_text.h"
#include "js/script_context.h"
#include "core/utf.h"

namespace sx {

JSValueRef makeScriptError(JSContextRef context, const char* constructorName,
                           const std::string& utf8Message) {
  JSValueRef message = makeString(context, fromUtf8(utf8Message));
  JSObjectRef error = JSObjectMakeError(context, 1, &message, nullptr);
  const std::string_view kind = constructorName;
  const ScriptContextData* data = findContextData(context);
  if (data == nullptr) return error;
  JSObjectRef prototype = kind == "TypeError"    ? data->typeErrorPrototype
                          : kind == "RangeError" ? data->rangeErrorPrototype
                                                 : nullptr;
  if (prototype != nullptr) JSObjectSetPrototype(context, error, prototype);
  return error;
}

}  // namespace sx
