#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "json/json_parser.h"
#include "json/json_value.h"
#include "text/utf8.h"

namespace zq::test {

inline JsonValue json(std::string_view utf8) { return parseJson(decodeUtf8(utf8)); }

inline std::string utf8(std::u16string_view text) { return encodeUtf8(text); }

// The message a call fails with, or a marker when it does not fail.
template <typename Call>
std::string failureOf(Call&& call) {
  try {
    call();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "<no failure>";
}

// Table rows: a JSON object and what it must give.
struct LineCase {
  const char* json;
  const char* expected;
};

}  // namespace zq::test
