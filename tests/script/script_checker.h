#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <string>
#include <string_view>

namespace zq::test {

// A JavaScript context for checking generated scripts: syntax, and running them against a
// recording stand-in for the engine's objects.
class ScriptChecker {
 public:
  ScriptChecker() : context_(JSGlobalContextCreate(nullptr)) {}
  ~ScriptChecker() { JSGlobalContextRelease(context_); }
  ScriptChecker(const ScriptChecker&) = delete;
  ScriptChecker& operator=(const ScriptChecker&) = delete;

  bool parses(std::u16string_view script) const {
    JSStringRef source = makeString(script);
    JSValueRef exception = nullptr;
    const bool valid = JSCheckScriptSyntax(context_, source, nullptr, 1, &exception);
    JSStringRelease(source);
    return valid;
  }

  // Runs the script; the message of what it threw, or empty when it ran to the end.
  std::u16string run(std::u16string_view script) const {
    JSStringRef source = makeString(script);
    JSValueRef exception = nullptr;
    JSEvaluateScript(context_, source, nullptr, nullptr, 1, &exception);
    JSStringRelease(source);
    if (exception == nullptr) return u"";
    std::u16string message = textOf(exception);
    return message.empty() ? u"(empty exception)" : message;
  }

  void setGlobalString(std::u16string_view name, std::u16string_view value) const {
    JSStringRef nameRef = makeString(name);
    JSStringRef valueRef = makeString(value);
    JSObjectSetProperty(context_, JSContextGetGlobalObject(context_), nameRef,
                        JSValueMakeString(context_, valueRef), kJSPropertyAttributeNone, nullptr);
    JSStringRelease(valueRef);
    JSStringRelease(nameRef);
  }

  bool isTrue(std::u16string_view expression) const {
    JSStringRef source = makeString(expression);
    JSValueRef exception = nullptr;
    JSValueRef value = JSEvaluateScript(context_, source, nullptr, nullptr, 1, &exception);
    JSStringRelease(source);
    return exception == nullptr && JSValueIsBoolean(context_, value) &&
           JSValueToBoolean(context_, value);
  }

 private:
  static JSStringRef makeString(std::u16string_view text) {
    return JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(text.data()), text.size());
  }

  std::u16string textOf(JSValueRef value) const {
    JSStringRef text = JSValueToStringCopy(context_, value, nullptr);
    if (text == nullptr) return u"";
    std::u16string result(reinterpret_cast<const char16_t*>(JSStringGetCharactersPtr(text)),
                          JSStringGetLength(text));
    JSStringRelease(text);
    return result;
  }

  JSGlobalContextRef context_;
};

}  // namespace zq::test
