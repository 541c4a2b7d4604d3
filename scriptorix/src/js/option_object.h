#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <optional>
#include <set>
#include <string>

#include "js/arguments.h"

namespace sx {

// The properties of an options object ({title: 'Sales', legend: 'bottom'}), read by name.
// Every failure names the method and the option; finish() refuses properties nobody read,
// so a misspelt option is an error instead of being ignored.
class OptionObject {
 public:
  // null or undefined is an object without properties; `what` names it in messages
  // ("argument 3", "series 2").
  OptionObject(const Arguments& args, JSValueRef value, std::string what);

  JSValueRef value(const char* key);  // undefined when absent
  std::optional<std::u16string> string(const char* key);
  std::optional<bool> boolean(const char* key);
  std::optional<double> number(const char* key);
  void finish() const;

  [[noreturn]] void fail(const char* key, const std::string& problem) const;
  std::string prefix() const;  // "Worksheet.AddChart: series 2"

 private:
  const Arguments& args_;
  JSObjectRef object_ = nullptr;
  std::string what_;
  std::set<std::string> read_;
};

}  // namespace sx
