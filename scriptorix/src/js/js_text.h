#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <string>
#include <string_view>

namespace sx {

// Owns one JSStringRef.
class JsString {
 public:
  explicit JsString(std::u16string_view text);
  explicit JsString(const char* ascii);
  ~JsString();
  JsString(const JsString&) = delete;
  JsString& operator=(const JsString&) = delete;

  JSStringRef get() const { return string_; }

 private:
  JSStringRef string_;
};

std::u16string toU16String(JSStringRef string);
// ToString of any value; a conversion that throws gives the fallback.
std::u16string valueToU16String(JSContextRef context, JSValueRef value,
                                std::u16string_view fallback = u"");
JSValueRef makeString(JSContextRef context, std::u16string_view text);

JSValueRef getProperty(JSContextRef context, JSObjectRef object, const char* name);
void setProperty(JSContextRef context, JSObjectRef object, const char* name, JSValueRef value,
                 JSPropertyAttributes attributes = kJSPropertyAttributeNone);

}  // namespace sx
