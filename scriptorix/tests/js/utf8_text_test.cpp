#include <gtest/gtest.h>

#include "js/utf8_text.h"

namespace sx {
namespace {

TEST(Utf8Text, DecodesEveryLength) {
  EXPECT_EQ(decodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00E9\u20AC\U0001F600");
  EXPECT_EQ(decodeUtf8(""), u"");
}

TEST(Utf8Text, RefusesWhatIsNotUtf8) {
  for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xE2\x82", "a\xFF"}) {
    EXPECT_FALSE(decodeUtf8(bad).has_value()) << testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace sx
