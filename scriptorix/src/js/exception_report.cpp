#include "js/exception_report.h"

#include <cmath>

#include "js/js_text.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr size_t kMaxMessageLength = 1000;

std::string oneLine(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029') c = u' ';
  }
  if (text.size() > kMaxMessageLength) text = text.substr(0, kMaxMessageLength) + u"...";
  return toUtf8(text);
}

std::optional<std::u16string> stringProperty(JSContextRef context, JSObjectRef object,
                                             const char* name) {
  JSValueRef exception = nullptr;
  JsString key(name);
  JSValueRef value = JSObjectGetProperty(context, object, key.get(), &exception);
  if (exception != nullptr || !JSValueIsString(context, value)) return std::nullopt;
  return valueToU16String(context, value);
}

std::optional<int> lineOf(JSContextRef context, JSObjectRef object) {
  JSValueRef exception = nullptr;
  JsString key("line");
  JSValueRef value = JSObjectGetProperty(context, object, key.get(), &exception);
  if (exception != nullptr || !JSValueIsNumber(context, value)) return std::nullopt;
  const double line = JSValueToNumber(context, value, nullptr);
  if (!std::isfinite(line) || line < 1 || line > 1e9) return std::nullopt;
  return static_cast<int>(line);
}

// JSON text of a thrown value, when it has one.
std::optional<std::u16string> jsonOf(JSContextRef context, JSValueRef value) {
  JSValueRef exception = nullptr;
  JSStringRef json = JSValueCreateJSONString(context, value, 0, &exception);
  if (json == nullptr || exception != nullptr) {
    if (json != nullptr) JSStringRelease(json);
    return std::nullopt;
  }
  std::u16string text = toU16String(json);
  JSStringRelease(json);
  return text;
}

}  // namespace

ExceptionReport describeException(JSContextRef context, JSValueRef exception) {
  ExceptionReport report;
  if (!JSValueIsObject(context, exception)) {
    const std::u16string shown = JSValueIsString(context, exception)
                                     ? jsonOf(context, exception).value_or(u"\"\"")
                                     : valueToU16String(context, exception, u"a value");
    report.message = oneLine(u"uncaught exception: " + shown);
    return report;
  }
  JSObjectRef object = JSValueToObject(context, exception, nullptr);
  report.line = lineOf(context, object);
  const auto name = stringProperty(context, object, "name");
  const auto message = stringProperty(context, object, "message");
  if (message && !message->empty()) {
    const bool plainError = !name || *name == u"Error" || name->empty();
    report.message = oneLine(plainError ? *message : *name + u": " + *message);
  } else if (name && !name->empty()) {
    report.message = oneLine(*name + u" thrown without a message");
  } else {
    const auto json = jsonOf(context, exception);
    report.message = json && *json != u"{}"
                         ? oneLine(u"uncaught exception: " + *json)
                         : std::string("uncaught exception: an object without a message");
  }
  return report;
}

}  // namespace sx
