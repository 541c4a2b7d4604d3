#include "js/option_object.h"

#include <cmath>

#include "core/utf.h"
#include "js/js_text.h"
#include "js/script_error.h"

namespace sx {

OptionObject::OptionObject(const Arguments& args, JSValueRef value, std::string what)
    : args_(args), what_(std::move(what)) {
  JSContextRef context = args.context();
  if (JSValueIsUndefined(context, value) || JSValueIsNull(context, value)) return;
  if (!JSValueIsObject(context, value) || JSValueIsArray(context, value)) {
    throw ArgumentError(prefix() + " must be an object of options or null");
  }
  object_ = JSValueToObject(context, value, nullptr);
}

std::string OptionObject::prefix() const { return args_.methodName() + ": " + what_; }

void OptionObject::fail(const char* key, const std::string& problem) const {
  throw ArgumentError(prefix() + ": option \"" + key + "\" " + problem);
}

JSValueRef OptionObject::value(const char* key) {
  read_.insert(key);
  if (object_ == nullptr) return JSValueMakeUndefined(args_.context());
  return getProperty(args_.context(), object_, key);
}

std::optional<std::u16string> OptionObject::string(const char* key) {
  JSValueRef found = value(key);
  if (JSValueIsUndefined(args_.context(), found)) return std::nullopt;
  if (!JSValueIsString(args_.context(), found)) fail(key, "must be a string");
  return valueToU16String(args_.context(), found);
}

std::optional<bool> OptionObject::boolean(const char* key) {
  JSValueRef found = value(key);
  if (JSValueIsUndefined(args_.context(), found)) return std::nullopt;
  if (!JSValueIsBoolean(args_.context(), found)) fail(key, "must be a boolean");
  return JSValueToBoolean(args_.context(), found);
}

std::optional<double> OptionObject::number(const char* key) {
  JSValueRef found = value(key);
  if (JSValueIsUndefined(args_.context(), found)) return std::nullopt;
  if (!JSValueIsNumber(args_.context(), found)) fail(key, "must be a number");
  const double number = JSValueToNumber(args_.context(), found, nullptr);
  if (!std::isfinite(number)) fail(key, "must be a finite number");
  return number;
}

void OptionObject::finish() const {
  if (object_ == nullptr) return;
  JSPropertyNameArrayRef names = JSObjectCopyPropertyNames(args_.context(), object_);
  std::string unknown;
  for (size_t i = 0; i < JSPropertyNameArrayGetCount(names); ++i) {
    const std::string key = toUtf8(toU16String(JSPropertyNameArrayGetNameAtIndex(names, i)));
    if (!read_.contains(key) && unknown.empty()) unknown = key;
  }
  JSPropertyNameArrayRelease(names);
  if (!unknown.empty()) throw ArgumentError(prefix() + ": unknown option \"" + unknown + "\"");
}

}  // namespace sx
