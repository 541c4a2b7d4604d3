#include "formula/number_format.h"

#include <gtest/gtest.h>

#include <string>

#include "formula/date_serial.h"
#include "formula/value_coercion.h"

namespace sx::formula {
namespace {

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

struct FormatCase {
  double value;
  const char16_t* format;
  const char* expected;
};

class RendersNumberFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(RendersNumberFormat, AsASpreadsheetShowsIt) {
  const auto& c = GetParam();
  EXPECT_EQ(narrow(renderNumberFormat(Scalar::fromNumber(c.value), c.format)), c.expected)
      << narrow(c.format) << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RendersNumberFormat,
    testing::Values(
        FormatCase{1234.567, u"0.00", "1234.57"}, FormatCase{1234.567, u"#,##0", "1,235"},
        FormatCase{1234567.891, u"#,##0.00", "1,234,567.89"}, FormatCase{0.5, u"0%", "50%"},
        FormatCase{0.1234, u"0.0%", "12.3%"}, FormatCase{5, u"000", "005"},
        FormatCase{0.5, u"#.##", ".5"}, FormatCase{2, u"0.0#", "2.0"},
        FormatCase{-3.5, u"0.0", "-3.5"}, FormatCase{-3.5, u"0.0;(0.0)", "(3.5)"},
        FormatCase{0, u"0;-0;\"zero\"", "zero"}, FormatCase{12345.678, u"0.00E+00", "1.23E+04"},
        FormatCase{0.000123, u"0.0E+0", "1.2E-4"}, FormatCase{1234567, u"#,##0,\"k\"", "1,235k"},
        FormatCase{42, u"\"$\"#,##0.00", "$42.00"}, FormatCase{5551234, u"000-0000", "555-1234"},
        FormatCase{1.5, u"General", "1.5"}, FormatCase{9.996, u"0.00", "10.00"},
        FormatCase{-12, u"@", "-12"},
        FormatCase{0.5, u"0.00000000000000000000000000000000000",
                   "0.50000000000000000000000000000000000"},
        FormatCase{-0.4, u"0", "0"}, FormatCase{2.5, u"0", "3"}, FormatCase{-2.5, u"0", "-3"}));

INSTANTIATE_TEST_SUITE_P(
    Dates, RendersNumberFormat,
    testing::Values(
        FormatCase{45351, u"yyyy-mm-dd", "2024-02-29"}, FormatCase{45351, u"d/m/yy", "29/2/24"},
        FormatCase{45351, u"dddd, mmmm d", "Thursday, February 29"},
        FormatCase{45351, u"ddd mmm", "Thu Feb"}, FormatCase{45351.75, u"hh:mm:ss", "18:00:00"},
        FormatCase{45351.75, u"h:mm AM/PM", "6:00 PM"}, FormatCase{0.5, u"h AM/PM", "12 PM"},
        FormatCase{1.25, u"[h]:mm", "30:00"}, FormatCase{60, u"yyyy-mm-dd", "1900-02-29"},
        FormatCase{45351.999999, u"yyyy-mm-dd hh:mm", "2024-03-01 00:00"}));

// Elapsed times, fractions of a second, fractions and sections chosen by a condition.
INSTANTIATE_TEST_SUITE_P(
    ElapsedFractionsConditions, RendersNumberFormat,
    testing::Values(FormatCase{2.5, u"[m]", "3600"}, FormatCase{1.0 / 86400 * 75, u"[s]", "75"},
                    FormatCase{1.0 / 1440 * 61.5, u"[m]:ss", "61:30"},
                    // 0.9999999 of a day rounds to the next day at whole seconds.
                    FormatCase{0.9999999, u"hh:mm:ss", "00:00:00"},
                    FormatCase{0.9999999, u"hh:mm:ss.00", "23:59:59.99"},
                    FormatCase{0.25 + 0.5 / 86400, u"h:mm:ss.0", "6:00:00.5"},
                    FormatCase{0.999, u"# ?/?", "1    "}, FormatCase{0, u"# ?/?", "0    "},
                    FormatCase{0.75, u"?/?", "3/4"}, FormatCase{5.5, u"?/?", "11/2"},
                    FormatCase{0.1, u"# ?/8", " 1/8"},
                    FormatCase{1.0 / 3,
                               u"0 ?"
                               u"?/?"
                               u"?",
                               "0  1/3 "},
                    FormatCase{12.5, u"[Red]# ?/?", "12 1/2"},
                    FormatCase{-150, u"[<=-100]0;0.0", "-150"},
                    FormatCase{-5, u"[<=-100]0;0.0", "-5.0"},
                    FormatCase{7, u"[=7]\"seven\";0", "seven"}));

TEST(RendersNumberFormat, TextUsesTheTextSection) {
  EXPECT_EQ(narrow(renderNumberFormat(Scalar::fromText(u"abc"), u"0.00")), "abc");
  EXPECT_EQ(narrow(renderNumberFormat(Scalar::fromText(u"abc"), u"0;0;0;\"<\"@\">\"")), "<abc>");
  EXPECT_EQ(narrow(renderNumberFormat(Scalar::fromText(u"abc"), u"[Red]@!")), "abc!");
}

TEST(NumberToText, UsesFifteenSignificantDigits) {
  EXPECT_EQ(narrow(numberToText(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(narrow(numberToText(123456789012345678.0)), "1.23456789012346E+17");
  EXPECT_EQ(narrow(numberToText(-0.5)), "-0.5");
  EXPECT_EQ(narrow(numberToText(1e-10)), "1E-10");
  EXPECT_EQ(narrow(numberToText(100)), "100");
}

TEST(DateSerial, RoundTripsEveryDayAcrossTheRange) {
  for (int64_t serial = 1; serial <= 2958465; serial += 1) {
    CivilDate date = serialToDate(serial);
    ASSERT_EQ(dateToSerial(date.year, date.month, date.day), serial)
        << date.year << "-" << date.month << "-" << date.day;
  }
}

}  // namespace
}  // namespace sx::formula
