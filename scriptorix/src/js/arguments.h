#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "js/script_error.h"

namespace sx {

// The arguments of one native method call, checked and converted. Every failure is an
// ArgumentError naming the method ("Range.SetWrap: argument 1 must be a boolean, not a
// string").
class Arguments {
 public:
  Arguments(JSContextRef context, const char* className, JSObjectRef function, size_t count,
            const JSValueRef values[]);

  // Throws unless min <= count <= max.
  void expectCount(size_t min, size_t max) const;

  size_t count() const { return count_; }
  JSContextRef context() const { return context_; }
  // undefined beyond the given arguments
  JSValueRef at(size_t index) const;
  bool isNullish(size_t index) const;

  std::u16string string(size_t index) const;
  // A finite number.
  double number(size_t index) const;
  // A whole number within [min, max]; out of it is a std::out_of_range (RangeError).
  int32_t integer(size_t index, int32_t min, int32_t max) const;
  bool boolean(size_t index) const;
  // null and undefined give the fallback.
  bool booleanOr(size_t index, bool fallback) const;

  // The handle behind an object of the given class.
  template <typename Handle>
  Handle& object(size_t index, JSClassRef cls, const char* className) const {
    JSValueRef value = at(index);
    if (!JSValueIsObjectOfClass(context_, value, cls)) fail(index, className);
    return *static_cast<Handle*>(JSObjectGetPrivate(JSValueToObject(context_, value, nullptr)));
  }

  [[noreturn]] void fail(size_t index, const char* expected) const;
  // "Range.SetWrap", worked out only when a message needs it.
  std::string methodName() const;

 private:
  JSContextRef context_;
  const char* className_;
  JSObjectRef function_;
  size_t count_;
  const JSValueRef* values_;
};

// One native method call: the context, `this` and the arguments.
struct Call {
  JSContextRef context;
  JSObjectRef self;
  Arguments args;

  // The handle of `this`, which must be an object of the class (a method taken off one object
  // and called on another is refused).
  void expectThis(JSClassRef cls) const {
    if (self == nullptr || !JSValueIsObjectOfClass(context, self, cls)) {
      throw ArgumentError(args.methodName() + " was called on an object of another kind");
    }
  }

  template <typename Handle>
  Handle& handle(JSClassRef cls) const {
    expectThis(cls);
    return *static_cast<Handle*>(JSObjectGetPrivate(self));
  }
};

// The JSObjectCallAsFunctionCallback of a method: Tag::kName is the class name for messages.
template <typename Tag, JSValueRef (*Body)(const Call&)>
JSValueRef nativeMethod(JSContextRef context, JSObjectRef function, JSObjectRef self, size_t count,
                        const JSValueRef values[], JSValueRef* exception) {
  return guardedCall(context, exception, [&] {
    return Body(Call{context, self, Arguments(context, Tag::kName, function, count, values)});
  });
}

// One entry of a class's table of prototype methods.
template <typename Tag, JSValueRef (*Body)(const Call&)>
constexpr JSStaticFunction staticMethod(const char* name) {
  return {
      name, nativeMethod<Tag, Body>,
      kJSPropertyAttributeReadOnly | kJSPropertyAttributeDontEnum | kJSPropertyAttributeDontDelete};
}

}  // namespace sx
