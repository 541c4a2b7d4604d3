#include "js/arguments.h"

#include <cmath>
#include <stdexcept>

#include "js/js_text.h"
#include "core/utf.h"

namespace sx {

namespace {

const char* kindName(JSContextRef context, JSValueRef value) {
  switch (JSValueGetType(context, value)) {
    case kJSTypeUndefined:
      return "undefined";
    case kJSTypeNull:
      return "null";
    case kJSTypeBoolean:
      return "a boolean";
    case kJSTypeNumber:
      return "a number";
    case kJSTypeString:
      return "a string";
    case kJSTypeSymbol:
      return "a symbol";
    default:
      break;
  }
  if (JSValueIsArray(context, value)) return "an array";
  return "an object of another kind";
}

std::string plural(size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

Arguments::Arguments(JSContextRef context, const char* className, JSObjectRef function,
                     size_t count, const JSValueRef values[])
    : context_(context),
      className_(className),
      function_(function),
      count_(count),
      values_(values) {}

std::string Arguments::methodName() const {
  std::u16string name = valueToU16String(context_, getProperty(context_, function_, "name"));
  return std::string(className_) + "." + toUtf8(name);
}

void Arguments::expectCount(size_t min, size_t max) const {
  if (count_ >= min && count_ <= max) return;
  std::string expected =
      min == max ? plural(min, "argument") : std::to_string(min) + " to " + plural(max, "argument");
  throw ArgumentError(methodName() + " takes " + expected + ", not " + std::to_string(count_));
}

JSValueRef Arguments::at(size_t index) const {
  return index < count_ ? values_[index] : JSValueMakeUndefined(context_);
}

bool Arguments::isNullish(size_t index) const {
  JSValueRef value = at(index);
  return JSValueIsUndefined(context_, value) || JSValueIsNull(context_, value);
}

void Arguments::fail(size_t index, const char* expected) const {
  throw ArgumentError(methodName() + ": argument " + std::to_string(index + 1) + " must be " +
                      expected + ", not " + kindName(context_, at(index)));
}

std::u16string Arguments::string(size_t index) const {
  JSValueRef value = at(index);
  if (!JSValueIsString(context_, value)) fail(index, "a string");
  return valueToU16String(context_, value);
}

double Arguments::number(size_t index) const {
  JSValueRef value = at(index);
  if (!JSValueIsNumber(context_, value)) fail(index, "a number");
  const double number = JSValueToNumber(context_, value, nullptr);
  if (!std::isfinite(number)) {
    throw ArgumentError(methodName() + ": argument " + std::to_string(index + 1) +
                        " must be a finite number");
  }
  return number;
}

int32_t Arguments::integer(size_t index, int32_t min, int32_t max) const {
  const double value = number(index);
  if (value != std::floor(value)) {
    throw ArgumentError(methodName() + ": argument " + std::to_string(index + 1) +
                        " must be a whole number");
  }
  if (value < min || value > max) {
    throw std::out_of_range(methodName() + ": argument " + std::to_string(index + 1) +
                            " must be from " + std::to_string(min) + " to " + std::to_string(max));
  }
  return static_cast<int32_t>(value);
}

bool Arguments::boolean(size_t index) const {
  JSValueRef value = at(index);
  if (!JSValueIsBoolean(context_, value)) fail(index, "a boolean");
  return JSValueToBoolean(context_, value);
}

bool Arguments::booleanOr(size_t index, bool fallback) const {
  return isNullish(index) ? fallback : boolean(index);
}

}  // namespace sx
