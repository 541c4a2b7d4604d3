#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "model/date_serial.h"
#include "model/number_format.h"
#include "model/utf.h"

namespace sx {
namespace {

std::string shown(double value, std::u16string_view code) {
  return toUtf8(formatCellValue(CellValue::fromNumber(value), code));
}

struct Case {
  double value;
  const char16_t* code;
  const char* expected;
};

void expectAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(shown(c.value, c.code), c.expected)
        << "value " << c.value << " code " << toUtf8(c.code);
  }
}

TEST(GeneralFormat, ShowsAtMostElevenCharacters) {
  expectAll({
      {0, u"General", "0"},
      {1, u"General", "1"},
      {-1.5, u"General", "-1.5"},
      {0.1, u"General", "0.1"},
      {0.1 + 0.2, u"General", "0.3"},
      {1234567, u"General", "1234567"},
      {1234567.891, u"General", "1234567.891"},
      {12345678901, u"General", "12345678901"},
      {123456789012, u"General", "1.23457E+11"},
      {-123456789012, u"General", "-1.2346E+11"},
      {1.0 / 3, u"General", "0.333333333"},
      {2.0 / 3, u"General", "0.666666667"},
      {0.0001, u"General", "0.0001"},
      {0.00001234, u"General", "1.234E-05"},
      {1e-10, u"General", "1E-10"},
      {1e100, u"General", "1E+100"},
      {99999999999.9, u"General", "1E+11"},
      {3, u"", "3"},
      {3, u"general", "3"},
  });
}

TEST(NumberFormats, PlaceholdersGroupingPercentAndExponent) {
  expectAll({
      {1234.567, u"0", "1235"},
      {0.4, u"0", "0"},
      {1234.567, u"0.00", "1234.57"},
      {-1234.567, u"0.00", "-1234.57"},
      {1234567.891, u"#,##0", "1,234,568"},
      {1234567.891, u"#,##0.00", "1,234,567.89"},
      {999.5, u"#,##0", "1,000"},
      {12, u"#,##0.00", "12.00"},
      {0.256, u"0%", "26%"},
      {0.25678, u"0.00%", "25.68%"},
      {0.5, u"#.00", ".50"},
      {5, u"000", "005"},
      {1.5, u"0.0#", "1.5"},
      {1.567, u"0.0#", "1.57"},
      {1234567, u"#,##0,", "1,235"},
      {12345, u"0.00E+00", "1.23E+04"},
      {0.00012, u"0.0E+00", "1.2E-04"},
      {5551234, u"000-0000", "555-1234"},
      {3, u"0\" units\"", "3 units"},
      {3, u"\\$0.00", "$3.00"},
      {3, u"[Red]0.0", "3.0"},
      {12.5, u"\"Total: \"#,##0.00", "Total: 12.50"},
  });
}

TEST(NumberFormats, SectionsChooseByTheSign) {
  expectAll({
      {5, u"0.00;(0.00)", "5.00"},
      {-5, u"0.00;(0.00)", "(5.00)"},
      {0, u"0;-0;\"zero\"", "zero"},
      {-3, u"0;-0;\"zero\"", "-3"},
      {-3, u"0;;\"zero\"", "-3"},
      {7, u"General;-General", "7"},
      {-7, u"General;\"minus \"General", "minus 7"},
  });
}

TEST(NumberFormats, TextValuesUseTheTextSection) {
  auto text = [](const char16_t* value, const char16_t* code) {
    return toUtf8(formatCellValue(CellValue::fromText(value), code));
  };
  EXPECT_EQ(text(u"abc", u"@"), "abc");
  EXPECT_EQ(text(u"abc", u"0.00"), "abc");
  EXPECT_EQ(text(u"abc", u"0;0;0;\"<\"@\">\""), "<abc>");
  EXPECT_EQ(shown(12, u"@"), "12");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromBoolean(true), u"0.00")), "TRUE");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromBoolean(false), u"General")), "FALSE");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue::fromError(u"#DIV/0!"), u"0")), "#DIV/0!");
  EXPECT_EQ(toUtf8(formatCellValue(CellValue{}, u"0")), "");
}

TEST(NumberFormats, OddCodesNeverBreakTheText) {
  // Long placeholder runs, unclosed quotes and brackets, huge scaling: text comes out, no crash.
  const std::u16string longFraction = u"0." + std::u16string(400, u'0');
  const std::string wide = shown(1e308, longFraction);
  EXPECT_EQ(wide.size(), 309u + 1 + 400);
  EXPECT_EQ(wide.substr(0, 4), "1000");
  EXPECT_EQ(shown(2, u"0\"open"), "2open");
  EXPECT_EQ(shown(2, u"0[Red"), "2");
  EXPECT_FALSE(shown(5, std::u16string(200, u'%')).empty());
  EXPECT_EQ(shown(5, u";;;"), "");
}

TEST(DateFormats, FollowThe1900DateSystem) {
  expectAll({
      {1, u"yyyy-mm-dd", "1900-01-01"},
      {59, u"yyyy-mm-dd", "1900-02-28"},
      {60, u"yyyy-mm-dd", "1900-02-29"},
      {61, u"yyyy-mm-dd", "1900-03-01"},
      {45292, u"yyyy-mm-dd", "2024-01-01"},
      {45352, u"d/m/yy", "1/3/24"},
      {45352, u"mmm d, yyyy", "Mar 1, 2024"},
      {45352, u"mmmm", "March"},
      {45352, u"dddd", "Friday"},
      {45352, u"ddd dd", "Fri 01"},
      {45292.75, u"hh:mm", "18:00"},
      {45292.75, u"h:mm AM/PM", "6:00 PM"},
      {45292.0, u"h:mm AM/PM", "12:00 AM"},
      {0.5 + 1.0 / 86400 * 5, u"hh:mm:ss", "12:00:05"},
      {1.25, u"[h]:mm", "30:00"},
      {2958465, u"yyyy-mm-dd", "9999-12-31"},
      {-1, u"yyyy-mm-dd", "-1"},
  });
}

TEST(DateSerial, WeekdaysAgreeAcrossThePhantomDay) {
  EXPECT_EQ(dateTimeFromSerial(1).weekday, 0);      // Sunday, as spreadsheets count it
  EXPECT_EQ(dateTimeFromSerial(61).weekday, 4);     // 1900-03-01 was a Thursday
  EXPECT_EQ(dateTimeFromSerial(45292).weekday, 1);  // 2024-01-01 was a Monday
  const DateTimeParts carry = dateTimeFromSerial(45292.9999999);
  EXPECT_EQ(carry.day, 2);
  EXPECT_EQ(carry.hour, 0);
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
