#include "json/script_literal.h"

#include <charconv>
#include <stdexcept>

namespace zq {

namespace {

constexpr int kSignificantDigits = 15;

// to_chars in general form with a precision is defined as printf's "%.15g" in the C locale,
// so a process locale with a comma decimal point cannot leak into the script.
std::u16string formatNumber(double number) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number,
                                    std::chars_format::general, kSignificantDigits);
  return std::u16string(buffer, result.ptr);
}

}  // namespace

std::u16string scriptLiteral(const JsonValue& value) {
  switch (value.kind) {
    case JsonKind::Null:
      return u"null";
    case JsonKind::Boolean:
      return value.boolean ? u"true" : u"false";
    case JsonKind::Number:
      return formatNumber(value.number);
    case JsonKind::String:
      return scriptString(value.string);
    case JsonKind::Array:
    case JsonKind::Object:
      break;
  }
  throw std::runtime_error("Only primitive JSON values can be converted to JS here");
}

std::u16string scriptString(std::u16string_view text) {
  std::u16string literal;
  literal.reserve(text.size() + 2);
  literal.push_back(u'"');
  for (const char16_t unit : text) {
    switch (unit) {
      case u'\t':
        literal += u"\\t";
        break;
      case u'\n':
        literal += u"\\n";
        break;
      case u'\r':
        literal += u"\\r";
        break;
      case u'"':
        literal += u"\\\"";
        break;
      case u'\\':
        literal += u"\\\\";
        break;
      default:
        literal.push_back(unit);
    }
  }
  literal.push_back(u'"');
  return literal;
}

}  // namespace zq
