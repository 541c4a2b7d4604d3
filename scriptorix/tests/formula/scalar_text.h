#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "formula/formula_value.h"

namespace sx::formula::testing_support {

// ASCII for test messages: anything else shows as '?'.
inline std::string narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
  return out;
}

// "3", "\"text\"", "TRUE", "#N/A": how a result is written in the tests' tables.
inline std::string describe(const Scalar& value) {
  switch (value.kind) {
    case Scalar::Kind::Empty:
      return "<empty>";
    case Scalar::Kind::Number: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.12g", value.number);
      return buffer;
    }
    case Scalar::Kind::Text:
      return "\"" + narrow(value.text) + "\"";
    case Scalar::Kind::Boolean:
      return value.boolean ? "TRUE" : "FALSE";
    case Scalar::Kind::Error:
      return narrow(errorText(value.error));
  }
  return "?";
}

}  // namespace sx::formula::testing_support
