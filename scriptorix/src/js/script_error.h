#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <new>
#include <stdexcept>
#include <string>

namespace sx {

// A call made with the wrong number or kind of arguments; reaches the script as a TypeError.
class ArgumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An Error object of the named standard constructor ("TypeError", "RangeError", "Error").
JSValueRef makeScriptError(JSContextRef context, const char* constructorName,
                           const std::string& utf8Message);

// Runs a native method body and turns every C++ failure into a script exception, so that no
// exception ever unwinds through JavaScriptCore.
template <typename Body>
JSValueRef guardedCall(JSContextRef context, JSValueRef* exception, Body&& body) noexcept {
  try {
    return body();
  } catch (const ArgumentError& error) {
    *exception = makeScriptError(context, "TypeError", error.what());
  } catch (const std::out_of_range& error) {
    *exception = makeScriptError(context, "RangeError", error.what());
  } catch (const std::bad_alloc&) {
    *exception = makeScriptError(context, "RangeError", "Out of memory");
  } catch (const std::exception& error) {
    *exception = makeScriptError(context, "Error", error.what());
  }
  return JSValueMakeUndefined(context);
}

}  // namespace sx
