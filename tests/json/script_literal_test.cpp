#include "json/script_literal.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "json/json_parser.h"
#include "json_test_support.h"

namespace zq {
namespace {

using testing_support::failureOf;

JsonValue numberValue(double number) {
  JsonValue value;
  value.kind = JsonKind::Number;
  value.number = number;
  return value;
}

struct NumberCase {
  double number;
  std::u16string expected;
};

const NumberCase kNumberCases[] = {
    {1, u"1"},
    {0.1, u"0.1"},
    {2.5, u"2.5"},
    {-12.75, u"-12.75"},
    {100, u"100"},
    {100000000000000, u"100000000000000"},
    {999999999999999, u"999999999999999"},
    {1e15, u"1e+15"},
    {1234567890123456, u"1.23456789012346e+15"},
    {1e21, u"1e+21"},
    {0.0001, u"0.0001"},
    {0.00001, u"1e-05"},
    {0.1 + 0.2, u"0.3"},
    {-0.0, u"-0"},
    {0, u"0"},
    {1e100, u"1e+100"},
    {9.999999999999999e14, u"1e+15"},  // rounding to 15 digits moves it to exponent form
    {0.000123456789012345678, u"0.000123456789012346"},
    {5e-324, u"4.94065645841247e-324"},
};

TEST(ScriptLiteral, FormatsNumbersLikePrintfG15) {
  for (const NumberCase& item : kNumberCases) {
    EXPECT_EQ(scriptLiteral(numberValue(item.number)), item.expected) << item.number;
  }
}

TEST(ScriptLiteral, IgnoresACommaDecimalLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  const char* installed = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
    if ((installed = std::setlocale(LC_ALL, name)) != nullptr) {
      break;
    }
  }
  if (installed == nullptr) {
    GTEST_SKIP() << "no locale with a comma decimal point is installed";
  }
  const std::u16string rendered = scriptLiteral(numberValue(2.5));
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(rendered, u"2.5");
}

TEST(ScriptLiteral, WritesOtherPrimitives) {
  EXPECT_EQ(scriptLiteral(parseJson(u"null")), u"null");
  EXPECT_EQ(scriptLiteral(parseJson(u"true")), u"true");
  EXPECT_EQ(scriptLiteral(parseJson(u"false")), u"false");
  EXPECT_EQ(scriptLiteral(parseJson(u"\"a\\\"b\"")), u"\"a\\\"b\"");
}

TEST(ScriptLiteral, RejectsContainers) {
  for (const char16_t* text : {u"[]", u"[1]", u"{}", u"{\"a\":1}"}) {
    EXPECT_EQ(failureOf<std::runtime_error>([&] { scriptLiteral(parseJson(text)); }),
              "Only primitive JSON values can be converted to JS here");
  }
}

struct StringCase {
  std::u16string text;
  std::u16string expected;
};

TEST(ScriptString, EscapesOnlyTheFixedSet) {
  const StringCase cases[] = {
      {u"", u"\"\""},
      {u"say \"hi\"", u"\"say \\\"hi\\\"\""},
      {u"C:\\out\\a.xlsx", u"\"C:\\\\out\\\\a.xlsx\""},
      {u"a\tb\nc\rd", u"\"a\\tb\\nc\\rd\""},
      {u"\b\f\u2028\u2029'", u"\"\b\f\u2028\u2029'\""},
      {std::u16string(u"\0", 1), std::u16string(u"\"\0\"", 3)},
      {u"\u041B\u0438\u0441\u0442", u"\"\u041B\u0438\u0441\u0442\""},
      {std::u16string(1, char16_t{0xDC00}), u"\"" + std::u16string(1, char16_t{0xDC00}) + u"\""},
  };
  for (const StringCase& item : cases) {
    EXPECT_EQ(scriptString(item.text), item.expected);
    JsonValue value;
    value.kind = JsonKind::String;
    value.string = item.text;
    EXPECT_EQ(scriptLiteral(value), item.expected) << "both renderings agree";
  }
}

}  // namespace
}  // namespace zq
