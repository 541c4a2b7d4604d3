#include "script/defined_name_reference.h"

#include <gtest/gtest.h>

#include "script_test_support.h"

namespace zq {
namespace {

using test::failureOf;
using test::json;
using test::LineCase;
using test::utf8;

TEST(QuoteSheetName, AlwaysQuotesAndDoublesSingleQuotes) {
  EXPECT_EQ(utf8(quoteSheetName(u"Data")), "'Data'");
  EXPECT_EQ(utf8(quoteSheetName(u"Bob's")), "'Bob''s'");
  EXPECT_EQ(utf8(quoteSheetName(u"''")), "''''''");
  EXPECT_EQ(utf8(quoteSheetName(u"")), "''");
}

TEST(AbsoluteReference, AnchorsColumnsAndTheirRows) {
  const LineCase cases[] = {
      {"A1:B2", "$A$1:$B$2"}, {"B$3", "$B$3"},   {"$C$4", "$C$4"},
      {"$A1", "$A$1"},        {"A:C", "$A:$C"},  {"1:3", "1:3"},
      {"aa10", "$aa$10"},     {"", ""},          {"XFD1048576", "$XFD$1048576"},
      {"Ж2", "$Ж$2"},         {"A١", "$A$١"},    {"A1B2", "$A$1$B$2"},
      {"A 1", "$A 1"},        {"$$A1", "$$A$1"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(absoluteReference(decodeUtf8(c.json))), c.expected);
  }
}

TEST(DefNameReference, QualifiesTheRangeWithItsSheet) {
  const LineCase cases[] = {
      {R"({"range": "A1:B2", "sheet": "Data"})", "'Data'!$A$1:$B$2"},
      {R"({"range": "A1:B2"})", "$A$1:$B$2"},
      {R"({"range": "A1", "sheet": null})", "$A$1"},
      {R"({"range": "$A1"})", "$A$1"},
      {R"({"range": "Sheet2!A1", "sheet": "Data"})", "Sheet2!A1"},
      {R"({"range": "B1", "sheet": "Bob's"})", "'Bob''s'!$B$1"},
      // A sheet-qualified range is taken as written, so "sheet" is never read.
      {R"({"range": "S!A1", "sheet": 5})", "S!A1"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(utf8(defNameReference(json(c.json))), c.expected);
  }
}

TEST(DefNameReference, NeedsARangeStringAndIgnoresCell) {
  const LineCase cases[] = {
      {R"({"cell": "A1"})", "Missing JSON key"},
      {R"({"range": null})", "JSON key must be a string"},
      {R"({"range": 1})", "JSON key must be a string"},
      {R"({"range": "A1", "sheet": 5})", "JSON key must be a string"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(failureOf([&] { defNameReference(json(c.json)); }), c.expected);
  }
}

}  // namespace
}  // namespace zq
