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

// The text of a JavaScript string literal at the start of `source` (after it, `source` holds
// the rest); nothing for escapes other than the plain ones.
std::optional<std::u16string> leadingStringLiteral(std::u16string_view& source) {
  if (source.empty() || (source[0] != u'"' && source[0] != u'\'')) return std::nullopt;
  const char16_t quote = source[0];
  std::u16string text;
  for (size_t i = 1; i < source.size(); ++i) {
    char16_t c = source[i];
    if (c == quote) {
      source.remove_prefix(i + 1);
      return text;
    }
    if (c == u'\\') {
      if (++i == source.size()) return std::nullopt;
      const char16_t escaped = source[i];
      const std::u16string_view plain = u"\"'\\";
      if (escaped == u'n') {
        c = u'\n';
      } else if (escaped == u'r') {
        c = u'\r';
      } else if (escaped == u't') {
        c = u'\t';
      } else if (plain.find(escaped) != std::u16string_view::npos) {
        c = escaped;
      } else {
        return std::nullopt;
      }
    }
    text.push_back(c);
  }
  return std::nullopt;
}

// The helper's scripts reach every named sheet through its prelude's __zq_sheet(name), which
// gives undefined for a name no sheet bears; the call on it then fails with a TypeError about
// undefined. The name, taken back from the expression JavaScriptCore quotes, makes the clear
// message.
std::optional<std::u16string> missingSheetMessage(std::u16string_view typeErrorMessage) {
  constexpr std::u16string_view kHead = u"undefined is not an object (evaluating '__zq_sheet(";
  if (typeErrorMessage.substr(0, kHead.size()) != kHead) return std::nullopt;
  std::u16string_view rest = typeErrorMessage.substr(kHead.size());
  const std::optional<std::u16string> name = leadingStringLiteral(rest);
  if (!name || rest.substr(0, 2) != u").") return std::nullopt;
  return u"There is no sheet named \"" + *name + u"\"";
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
  if (name && *name == u"TypeError" && message) {
    if (const auto missingSheet = missingSheetMessage(*message)) {
      report.message = oneLine(*missingSheet);
      return report;
    }
  }
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
