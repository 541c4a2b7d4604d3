#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "json/json_parser.h"
#include "json_test_support.h"

namespace zq {
namespace {

using testing_support::failureOf;

struct NumberCase {
  std::u16string text;
  double expected;
};

TEST(JsonNumber, ConvertsTheLongestUnderstoodPrefix) {
  const NumberCase cases[] = {
      {u"0", 0},
      {u"42", 42},
      {u"01", 1},
      {u"1.", 1},
      {u"1e", 1},
      {u"1e+", 1},
      {u"1E-", 1},
      {u"-.5", -0.5},
      {u"2.5e3", 2500},
      {u"1e-2", 0.01},
      {u"-12.75", -12.75},
      {u"123456789012345678901234567890", 1.2345678901234568e29},
      {u"1\u00B2", 1},        // superscript two is scanned, the conversion stops at it
      {u"7\u0663", 7},        // so is an Arabic-Indic digit
      {u"1.5\u00B9e3", 1.5},  // and the exponent behind it is dropped with it
      {u"0e-99999", 0},       // zero written with a tiny exponent is still zero
      {u"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {u"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
  };
  for (const NumberCase& item : cases) {
    const JsonValue value = parseJson(item.text);
    ASSERT_EQ(value.kind, JsonKind::Number) << std::string(item.text.begin(), item.text.end());
    EXPECT_EQ(value.number, item.expected) << std::string(item.text.begin(), item.text.end());
  }
}

TEST(JsonNumber, KeepsNegativeZero) {
  const JsonValue value = parseJson(u"-0");
  EXPECT_EQ(value.number, 0);
  EXPECT_TRUE(std::signbit(value.number));
}

TEST(JsonNumber, ReportsUnconvertibleTextWithoutOffset) {
  for (const std::u16string text : {u"-", u"-e5", u"\u00B2", u"\u0663", u"[-]", u"-\u00B9"}) {
    EXPECT_EQ(failureOf<std::invalid_argument>([&] { parseJson(text); }), "invalid stod argument")
        << std::string(text.begin(), text.end());
  }
}

TEST(JsonNumber, ReportsOverflowAndUnderflowToZero) {
  for (const std::u16string text :
       {u"1e400", u"-1e400", u"1e-400", u"1.8e308", u"1e99999999999999999999", u"[0.1e-330]"}) {
    EXPECT_EQ(failureOf<std::out_of_range>([&] { parseJson(text); }), "stod argument out of range")
        << std::string(text.begin(), text.end());
  }
}

TEST(JsonNumber, AcceptsSubnormals) {
  EXPECT_EQ(parseJson(u"1e-310").number, 1e-310);
  EXPECT_GT(parseJson(u"-3e-320").number, -1e-319);
}

}  // namespace
}  // namespace zq
