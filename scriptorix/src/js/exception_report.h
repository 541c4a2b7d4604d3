#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <optional>
#include <string>

namespace sx {

// What an uncaught script exception says, reduced to one line of text.
struct ExceptionReport {
  std::optional<int> line;  // where it was thrown, when the value carries it
  std::string message;      // UTF-8, never empty, no line breaks
};

// An Error gives its message ("TypeError: " in front for the other error kinds); an Error
// without a message, or any other thrown value, still gives a clear description.
ExceptionReport describeException(JSContextRef context, JSValueRef exception);

}  // namespace sx
