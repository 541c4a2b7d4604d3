#include <gtest/gtest.h>

#include <string>

#include "formula/date_serial.h"
#include "formula/general_display.h"
#include "formula/number_format.h"

// The cases the workbook's displayed text was first tested with, now that cells and TEXT()
// share one renderer.
namespace sx::formula {
namespace {

std::string shown(double value, std::u16string_view code) {
  const std::u16string text = renderNumberFormat(Scalar::fromNumber(value), code);
  return std::string(text.begin(), text.end());
}

std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

struct Case {
  double value;
  const char16_t* code;
  const char* expected;
};

void expectAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(shown(c.value, c.code), c.expected)
        << "value " << c.value << " code " << narrow(c.code);
  }
}

struct GeneralCase {
  double value;
  const char* expected;
};

TEST(GeneralFormat, ShowsAtMostElevenCharacters) {
  const GeneralCase cases[] = {
      {0, "0"},
      {1, "1"},
      {-1.5, "-1.5"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1234567, "1234567"},
      {1234567.891, "1234567.891"},
      {12345678901, "12345678901"},
      {123456789012, "1.23457E+11"},
      {-123456789012, "-1.2346E+11"},
      {1.0 / 3, "0.333333333"},
      {2.0 / 3, "0.666666667"},
      {0.0001, "0.0001"},
      {0.00001234, "1.234E-05"},
      {1e-10, "1E-10"},
      {1e100, "1E+100"},
      {99999999999.9, "1E+11"},
  };
  for (const GeneralCase& c : cases) {
    EXPECT_EQ(narrow(renderCellGeneral(c.value)), c.expected) << "value " << c.value;
  }
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
      {-3, u"0;;\"zero\"", ""},  // an empty section hides its values
      {7, u"General;-General", "7"},
      {-7, u"General;\"minus \"General", "minus 7"},
  });
}

TEST(NumberFormats, TextValuesUseTheTextSection) {
  auto text = [](const char16_t* value, const char16_t* code) {
    return narrow(renderNumberFormat(Scalar::fromText(value), code));
  };
  EXPECT_EQ(text(u"abc", u"@"), "abc");
  EXPECT_EQ(text(u"abc", u"0.00"), "abc");
  EXPECT_EQ(text(u"abc", u"0;0;0;\"<\"@\">\""), "<abc>");
  EXPECT_EQ(shown(12, u"@"), "12");
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
      {-1, u"yyyy-mm-dd", "#"},       // no date before 1900: the hash marks of a cell too narrow
      {2958466, u"yyyy-mm-dd", "#"},  // nor after 9999-12-31
      {1e300, u"yyyy-mm-dd", "#"},
  });
}

TEST(DateSerial, WeekdaysAgreeAcrossThePhantomDay) {
  EXPECT_EQ(weekdayOfSerial(1), 0);      // Sunday, as spreadsheets count it
  EXPECT_EQ(weekdayOfSerial(61), 4);     // 1900-03-01 was a Thursday
  EXPECT_EQ(weekdayOfSerial(45292), 1);  // 2024-01-01 was a Monday
  // A time that rounds up to midnight shows the next day.
  EXPECT_EQ(shown(45292.9999999, u"yyyy-mm-dd hh:mm"), "2024-01-02 00:00");
}

}  // namespace
}  // namespace sx::formula
