#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "model/number_format_code.h"
#include "core/utf.h"
#include "model/workbook.h"

namespace sx {
namespace {

std::string faultOf(const char* code) {
  try {
    checkNumberFormatCode(fromUtf8(code));
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "";
}

TEST(NumberFormatCode, WellFormedCodesPass) {
  for (const char* code :
       {"General", "0.00", "#,##0.00;[Red]-#,##0.00", "0;-0;\"zero\";@", "yyyy-mm-dd", "[h]:mm:ss",
        "[mm]:ss", "[>=100][Blue]0;[<0]0.0;0", "[Color12]0", "[$-409]d-mmm-yy",
        "[$EUR-407] #,##0.00", "\"[;]\"0", "\\[0\\]", "_(0_)", "0*-", "[DBNum1]0", "[=0]\"none\";0",
        "[<=-1.5E+3]0"}) {
    EXPECT_EQ(faultOf(code), "") << code;
  }
}

TEST(NumberFormatCode, MalformedCodesNameTheFaultAndTheCode) {
  const std::pair<const char*, const char*> cases[] = {
      {"0.00\" kg", "Malformed number format code (a quoted text is not closed): 0.00\" kg"},
      {"[Red0.00", "(a \"[\" is not closed)"},
      {"0.00]", "(a \"]\" without \"[\")"},
      {"0;0;0;@;0", "(more than four sections)"},
      {"[Purple]0", "(unknown [Purple])"},
      {"[Color57]0", "(unknown [Color57])"},
      {"[Color0]0", "(unknown [Color0])"},
      {"[>]0", "(unknown [>])"},
      {"[>abc]0", "(unknown [>abc])"},
      {"[hm]:ss", "(unknown [hm])"},
      {"[]0", "(unknown [])"},
      {"0\\", "(\"\\\" at the end, with no character after it)"},
      {"0_", "(\"_\" at the end, with no character after it)"},
  };
  for (const auto& [code, fault] : cases) {
    EXPECT_NE(faultOf(code).find(fault), std::string::npos) << code << ": " << faultOf(code);
  }
}

TEST(NumberFormatCode, ARefusedCodeLeavesTheCellAsItWas) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  const RangeRef cell = parseRangeRef(u"A1");
  sheet.setNumber(cell, 0.5);
  sheet.setNumberFormat(cell, u"0%");
  EXPECT_THROW(sheet.setNumberFormat(cell, u"0.0\"%"), std::invalid_argument);
  EXPECT_EQ(sheet.displayText(0, 0), u"50%");
}

}  // namespace
}  // namespace sx
