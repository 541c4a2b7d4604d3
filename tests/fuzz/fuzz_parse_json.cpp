// Feeds arbitrary bytes through the task-file path: decode, parse, render literals.
// Any exception outside the parser's known messages, or a literal that breaks a script
// line, aborts the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "json/json_parser.h"
#include "json/script_literal.h"
#include "text/utf8.h"

namespace {

constexpr std::string_view kOffsetMessages[] = {
    "Unexpected end of JSON",    "Unexpected JSON token",
    "Bad JSON literal",          "Unterminated string",
    "Bad string escape",         "Unsupported string escape",
    "Bad unicode escape",        "Object key must be a string",
    "Unexpected JSON character", "Unexpected trailing characters",
    "JSON nesting too deep",
};

// "<message> at offset <n>" with n a plain decimal inside the text.
bool isKnownSyntaxFailure(std::string_view what, std::size_t textLength) {
  for (const std::string_view message : kOffsetMessages) {
    const std::string prefix = std::string(message) + " at offset ";
    if (what.substr(0, prefix.size()) != prefix) {
      continue;
    }
    const std::string_view digits = what.substr(prefix.size());
    if (digits.empty() || digits.size() > 19 || (digits.size() > 1 && digits[0] == '0') ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return false;
    }
    return std::stoull(std::string(digits)) <= textLength;
  }
  return false;
}

void checkLiterals(const zq::JsonValue& value) {
  switch (value.kind) {
    case zq::JsonKind::Array:
      for (const zq::JsonValue& element : value.array) {
        checkLiterals(element);
      }
      return;
    case zq::JsonKind::Object:
      for (const auto& [key, member] : value.object) {
        if (zq::scriptString(key).find_first_of(u"\n\r") != std::u16string::npos) {
          std::abort();
        }
        checkLiterals(member);
      }
      return;
    default: {
      const std::u16string literal = zq::scriptLiteral(value);
      if (literal.empty() || literal.find_first_of(u"\n\r") != std::u16string::npos) {
        std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text =
      zq::decodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  zq::JsonValue root;
  try {
    root = zq::parseJson(text);
  } catch (const std::invalid_argument& error) {
    if (std::string_view(error.what()) != "invalid stod argument") std::abort();
    return 0;
  } catch (const std::out_of_range& error) {
    if (std::string_view(error.what()) != "stod argument out of range") std::abort();
    return 0;
  } catch (const std::runtime_error& error) {
    if (!isKnownSyntaxFailure(error.what(), text.size())) std::abort();
    return 0;
  }
  checkLiterals(root);
  return 0;
}
