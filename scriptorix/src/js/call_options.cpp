#include "js/call_options.h"

#include <cmath>

#include "core/utf.h"
#include "js/date_values.h"
#include "js/handles.h"
#include "js/js_text.h"

namespace sx {

namespace {

JSValueRef checkedObject(const Call& call, JSValueRef value, const std::string& what) {
  if (!JSValueIsObject(call.context, value) || JSValueIsArray(call.context, value)) {
    throw ArgumentError(call.args.methodName() + ": " + what + " must be an object of options");
  }
  return value;
}

}  // namespace

CallOptions::CallOptions(const Call& call, JSValueRef value, std::string what,
                         const std::set<std::string>& known)
    : call_(call), options_(call.args, checkedObject(call, value, what), what) {
  for (const std::string& name : known) options_.value(name.c_str());
  options_.finish();
}

bool CallOptions::has(const char* name) const {
  JSValueRef value = at(name);
  return !JSValueIsUndefined(call_.context, value) && !JSValueIsNull(call_.context, value);
}

JSValueRef CallOptions::at(const char* name) const { return options_.value(name); }

std::u16string CallOptions::string(const char* name) const {
  const std::optional<std::u16string> text = options_.string(name);
  if (!text) fail(name, "must be a string");
  return *text;
}

std::u16string CallOptions::stringOr(const char* name, std::u16string fallback) const {
  return has(name) ? string(name) : fallback;
}

std::u16string CallOptions::limitedText(const char* name, size_t limit) const {
  std::u16string text = stringOr(name, u"");
  if (text.size() > limit) fail(name, "may have at most " + std::to_string(limit) + " characters");
  return text;
}

bool CallOptions::boolean(const char* name, bool fallback) const {
  if (!has(name)) return fallback;
  return *options_.boolean(name);
}

std::optional<bool> CallOptions::optionalBoolean(const char* name) const {
  if (!has(name)) return std::nullopt;
  return options_.boolean(name);
}

uint32_t CallOptions::integer(const char* name, uint32_t fallback, uint32_t min,
                              uint32_t max) const {
  if (!has(name)) return fallback;
  const double number = *options_.number(name);
  if (!(number >= min && number <= max) || number != std::floor(number)) {
    fail(name, "must be a whole number from " + std::to_string(min) + " to " + std::to_string(max));
  }
  return static_cast<uint32_t>(number);
}

Color CallOptions::color(JSValueRef value, const char* name) const {
  if (!JSValueIsObjectOfClass(call_.context, value, colorClass())) {
    fail(name, "must be a Color from Api.CreateColorFromRGB");
  }
  return static_cast<ColorHandle*>(
             JSObjectGetPrivate(JSValueToObject(call_.context, value, nullptr)))
      ->color;
}

std::optional<Color> CallOptions::optionalColor(const char* name) const {
  if (!has(name)) return std::nullopt;
  return color(at(name), name);
}

std::u16string CallOptions::formula(const char* name, bool dates) const {
  JSValueRef value = at(name);
  JSContextRef context = call_.context;
  if (JSValueIsNumber(context, value)) {
    if (!std::isfinite(JSValueToNumber(context, value, nullptr)))
      fail(name, "must be a finite number");
    return valueToU16String(context, value);
  }
  if (dates && JSValueIsDate(context, value)) {
    return valueToU16String(context, JSValueMakeNumber(context, dateToSerialValue(context, value)));
  }
  if (!JSValueIsString(context, value)) {
    fail(name, dates ? "must be a number, a Date or a formula" : "must be a number or a formula");
  }
  std::u16string text = valueToU16String(context, value);
  if (!text.empty() && text[0] == u'=') text.erase(0, 1);
  if (text.empty()) fail(name, "must not be empty");
  return text;
}

void CallOptions::fail(std::string_view name, const std::string& what) const {
  options_.fail(std::string(name).c_str(), what);
}

void CallOptions::require(const char* name, const char* forWhat) const {
  if (!has(name)) fail(name, std::string("is needed ") + forWhat);
}

}  // namespace sx
