#include "js/js_text.h"

namespace sx {

JsString::JsString(std::u16string_view text)
    : string_(JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(text.data()),
                                           text.size())) {}

JsString::JsString(const char* ascii) : string_(JSStringCreateWithUTF8CString(ascii)) {}

JsString::~JsString() { JSStringRelease(string_); }

std::u16string toU16String(JSStringRef string) {
  static_assert(sizeof(JSChar) == sizeof(char16_t));
  const size_t length = JSStringGetLength(string);
  if (length == 0) return {};
  const auto* characters = reinterpret_cast<const char16_t*>(JSStringGetCharactersPtr(string));
  return std::u16string(characters, length);
}

std::u16string valueToU16String(JSContextRef context, JSValueRef value,
                                std::u16string_view fallback) {
  JSValueRef exception = nullptr;
  JSStringRef string = JSValueToStringCopy(context, value, &exception);
  if (string == nullptr || exception != nullptr) {
    if (string != nullptr) JSStringRelease(string);
    return std::u16string(fallback);
  }
  std::u16string text = toU16String(string);
  JSStringRelease(string);
  return text;
}

JSValueRef makeString(JSContextRef context, std::u16string_view text) {
  JsString string(text);
  return JSValueMakeString(context, string.get());
}

JSValueRef getProperty(JSContextRef context, JSObjectRef object, const char* name) {
  JsString key(name);
  return JSObjectGetProperty(context, object, key.get(), nullptr);
}

void setProperty(JSContextRef context, JSObjectRef object, const char* name, JSValueRef value,
                 JSPropertyAttributes attributes) {
  JsString key(name);
  JSObjectSetProperty(context, object, key.get(), value, attributes, nullptr);
}

}  // namespace sx
