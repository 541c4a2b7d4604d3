#include "text/char_class.h"

#include <gtest/gtest.h>

#include <set>

#include "text/char_class_tables.h"

namespace zq {
namespace {

TEST(CharClass, Latin1SetsAreExact) {
  const std::set<char16_t> spaces = {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0x85, 0xA0};
  const std::set<char16_t> digits = {u'0', u'1', u'2', u'3', u'4', u'5', u'6',
                                     u'7', u'8', u'9', 0xB2, 0xB3, 0xB9};
  for (char16_t unit = 0; unit <= 0xFF; ++unit) {
    const bool letter = (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
                        unit == 0xAA || unit == 0xB5 || unit == 0xBA ||
                        (unit >= 0xC0 && unit <= 0xFF && unit != 0xD7 && unit != 0xF7);
    EXPECT_EQ(isWideSpace(unit), spaces.count(unit) == 1) << std::hex << int(unit);
    EXPECT_EQ(isWideDigit(unit), digits.count(unit) == 1) << std::hex << int(unit);
    EXPECT_EQ(isWideAlpha(unit), letter) << std::hex << int(unit);
  }
}

struct UnitCase {
  char16_t unit;
  bool space;
  bool digit;
  bool alpha;
};

TEST(CharClass, FollowsUnicodeAboveLatin1) {
  const UnitCase cases[] = {
      {0x1680, true, false, false},  // ogham space mark
      {0x2000, true, false, false},  {0x200A, true, false, false},
      {0x200B, false, false, false},  // zero width space is not White_Space
      {0x2028, true, false, false},  {0x2029, true, false, false},
      {0x3000, true, false, false},  {0xFEFF, false, false, false},
      {0x0660, false, true, false},  // Arabic-Indic zero
      {0x0669, false, true, false},  {0x066A, false, false, false},
      {0xFF10, false, true, false},   // fullwidth zero
      {0x2460, false, false, false},  // circled one is No, not Nd
      {0x0416, false, false, true},   // Cyrillic Zhe
      {0x4E00, false, false, true},   // CJK ideograph
      {0x093E, false, false, true},   // Devanagari vowel sign, Other_Alphabetic
      {0x2160, false, false, true},   // Roman numeral one, Nl
      {0x0300, false, false, false},  // combining grave, not alphabetic
      {0xD800, false, false, false}, {0xDFFF, false, false, false},
      {0xFFFD, false, false, false},
  };
  for (const UnitCase& item : cases) {
    EXPECT_EQ(isWideSpace(item.unit), item.space) << std::hex << int(item.unit);
    EXPECT_EQ(isWideDigit(item.unit), item.digit) << std::hex << int(item.unit);
    EXPECT_EQ(isWideAlpha(item.unit), item.alpha) << std::hex << int(item.unit);
  }
}

// The lookup is a binary search: a regenerated table that is out of order or overlaps
// would silently misclassify units.
TEST(CharClass, TablesAreSortedAndDisjoint) {
  for (const auto table :
       {detail::kWideSpaceRanges, detail::kWideDigitRanges, detail::kWideAlphaRanges}) {
    ASSERT_FALSE(table.empty());
    for (std::size_t index = 0; index < table.size(); ++index) {
      EXPECT_LE(table[index].first, table[index].last);
      if (index > 0) {
        EXPECT_LT(table[index - 1].last + 1, table[index].first) << "ranges must not touch";
      }
    }
  }
  EXPECT_GT(detail::kWideSpaceRanges.front().first, 0xFF);
  EXPECT_GT(detail::kWideDigitRanges.front().first, 0xFF);
}

}  // namespace
}  // namespace zq
