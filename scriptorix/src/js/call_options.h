#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "js/arguments.h"
#include "js/option_object.h"
#include "model/style.h"

namespace sx {

// An options object that must be given and whose properties are all known up front (see
// OptionObject, which reads them): a property the call does not know is refused at once.
// Adds the kinds the rule calls take: colours, formulas, bounded numbers and texts, words.
class CallOptions {
 public:
  // `what` names the object in messages ("argument 1", "option \"format\"", "run 2").
  CallOptions(const Call& call, JSValueRef value, std::string what,
              const std::set<std::string>& known);

  bool has(const char* name) const;
  JSValueRef at(const char* name) const;
  std::u16string string(const char* name) const;
  std::u16string stringOr(const char* name, std::u16string fallback) const;
  // A text the application limits in length.
  std::u16string limitedText(const char* name, size_t limit) const;
  bool boolean(const char* name, bool fallback) const;
  std::optional<bool> optionalBoolean(const char* name) const;
  uint32_t integer(const char* name, uint32_t fallback, uint32_t min, uint32_t max) const;
  Color color(JSValueRef value, const char* name) const;
  std::optional<Color> optionalColor(const char* name) const;
  // A formula ("=A1>2", the "=" optional), a number or, where dates are allowed, a Date.
  std::u16string formula(const char* name, bool dates) const;
  // Words of the model's tables; their messages name the accepted words.
  template <typename Parse>
  auto word(const char* name, Parse parse) const {
    const std::u16string text = string(name);
    try {
      return parse(text);
    } catch (const std::invalid_argument& error) {
      fail(name, error.what());
    }
  }

  [[noreturn]] void fail(std::string_view name, const std::string& what) const;
  void require(const char* name, const char* forWhat) const;

 private:
  const Call& call_;
  mutable OptionObject options_;
};

}  // namespace sx
