#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "model/number_format.h"
#include "core/utf.h"

namespace sx {
namespace {

std::string shown(double value, std::u16string_view code) {
  return toUtf8(formatCellValue(CellValue::fromNumber(value), code));
}

// The renderer itself is tested with the formula library; here, how each kind of cell value
// reaches it.
TEST(CellValueFormat, EachKindOfValueIsShown) {
  auto text = [](const char16_t* value, const char16_t* code) {
    return toUtf8(formatCellValue(CellValue::fromText(value), code));
  };
  EXPECT_EQ(text(u"abc", u"@"), "abc");
  EXPECT_EQ(text(u"abc", u"0.00"), "abc");
  EXPECT_EQ(text(u"abc", u"0;0;0;\"<\"@\">\""), "<abc>");
  EXPECT_EQ(shown(12, u"@"), "12");
  // A cell in General is as wide as a default column, whether the code is given or not.
  EXPECT_EQ(shown(3, u""), "3");
  EXPECT_EQ(shown(3, u"general"), "3");
  EXPECT_EQ(shown(1.0 / 3, u"General"), "0.333333333");
  EXPECT_EQ(shown(1.0 / 3, u"0.00"), "0.33");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromBoolean(true), u"0.00")), "TRUE");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromBoolean(false), u"General")), "FALSE");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromError(u"#DIV/0!"), u"0")), "#DIV/0!");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue{}, u"0")), "");
}

TEST(RoundTripNumber, IsTheShortestExactText) {
  for (double value : {0.1, 1.0 / 3, 1e21, -2.5e-308, 123456789012345678.0, 5e-324}) {
    const std::string text = toUtf8(formatRoundTripNumber(value));
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
  }
  EXPECT_EQ(formatRoundTripNumber(0.1), u"0.1");
  EXPECT_EQ(formatRoundTripNumber(42), u"42");
}

}  // namespace
}  // namespace sx
