#include "text/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace zq {
namespace {

std::string bytesOf(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) {
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string expected;
};

TEST(DecodeUtf8, RepairsAndStripsAsDocumented) {
  const DecodeCase cases[] = {
      {"empty", "", u""},
      {"mark before braces", bytesOf({0xEF, 0xBB, 0xBF, 0x7B, 0x7D}), u"{}"},
      {"only the first mark goes", bytesOf({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 0x41}), u"\uFEFFA"},
      {"mark later stays", bytesOf({0x41, 0xEF, 0xBB, 0xBF}), u"A\uFEFF"},
      {"lone FF", bytesOf({0xFF}), u"\uFFFD"},
      {"truncated euro sign", bytesOf({0xE2, 0x82}), u"\uFFFD"},
      {"decoding resumes at the breaking byte", bytesOf({0xE2, 0x82, 0x41}), u"\uFFFDA"},
      {"smiley", bytesOf({0xF0, 0x9F, 0x98, 0x80}), u"\U0001F600"},
      {"zero byte inside", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"boundaries", bytesOf({0x7F, 0xC2, 0x80, 0xEF, 0xBF, 0xBF, 0xF4, 0x8F, 0xBF, 0xBF}),
       u"\u007F\u0080\uFFFF\U0010FFFF"},
  };
  for (const DecodeCase& item : cases) {
    EXPECT_EQ(decodeUtf8(item.bytes), item.expected) << item.name;
  }
}

TEST(EncodeUtf8, WritesScalarsAndReplacesLoneSurrogates) {
  EXPECT_EQ(encodeUtf8(u""), "");
  EXPECT_EQ(encodeUtf8(u"\U0001F600"), bytesOf({0xF0, 0x9F, 0x98, 0x80}));
  EXPECT_EQ(encodeUtf8(std::u16string(1, char16_t{0xD800})), bytesOf({0xEF, 0xBF, 0xBD}));
  EXPECT_EQ(encodeUtf8(std::u16string{char16_t{0xDC00}, u'A', char16_t{0xD83D}}),
            bytesOf({0xEF, 0xBF, 0xBD, 0x41, 0xEF, 0xBF, 0xBD}));
  EXPECT_EQ(encodeUtf8(u"\uFEFFx"), bytesOf({0xEF, 0xBB, 0xBF, 0x78})) << "no mark is added";
  EXPECT_EQ(encodeUtf8(u"\r\n"), "\r\n");
}

// One U+FFFD per maximal ill-formed subsequence is the hand-written converter's rule. On
// Windows the system converter decides the count, so there only the repair is checked:
// nothing but replacement characters, and no more of them than bytes.
TEST(DecodeUtf8, ReplacesEachMaximalIllFormedSubsequence) {
  const DecodeCase cases[] = {
      {"breaking byte starts a truncated sequence", bytesOf({0xE2, 0x82, 0xC2}), u"\uFFFD\uFFFD"},
      {"stray continuation bytes", bytesOf({0x80, 0xBF}), u"\uFFFD\uFFFD"},
      {"overlong two-byte form", bytesOf({0xC0, 0xAF}), u"\uFFFD\uFFFD"},
      {"overlong three-byte form", bytesOf({0xE0, 0x80, 0xAF}), u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", bytesOf({0xED, 0xA0, 0x80}), u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", bytesOf({0xF4, 0x90, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"truncated four-byte form", bytesOf({0xF0, 0x9F, 0x98}), u"\uFFFD"},
  };
  for (const DecodeCase& item : cases) {
    const std::u16string decoded = decodeUtf8(item.bytes);
#ifdef _WIN32
    EXPECT_FALSE(decoded.empty()) << item.name;
    EXPECT_LE(decoded.size(), item.bytes.size()) << item.name;
    EXPECT_EQ(decoded.find_first_not_of(u'\uFFFD'), std::u16string::npos) << item.name;
#else
    EXPECT_EQ(decoded, item.expected) << item.name;
#endif
  }
}

// Every scalar value must survive the trip through both conversions; this catches
// off-by-one masks and range boundaries that single examples miss.
TEST(Utf8RoundTrip, EveryScalarValueSurvives) {
  // A leading U+FEFF would be dropped as a byte-order mark, so a letter goes first.
  std::u16string text = u"x";
  std::size_t expectedBytes = 1;
  for (std::uint32_t codePoint = 1; codePoint <= 0x10FFFF; ++codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      continue;
    }
    if (codePoint < 0x10000) {
      text.push_back(static_cast<char16_t>(codePoint));
    } else {
      text.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
    }
    expectedBytes += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
  }
  const std::string bytes = encodeUtf8(text);
  EXPECT_EQ(bytes.size(), expectedBytes);
  const std::u16string decoded = decodeUtf8(bytes);
  ASSERT_EQ(decoded.size(), text.size());
  const auto mismatch = std::mismatch(text.begin(), text.end(), decoded.begin());
  EXPECT_TRUE(mismatch.first == text.end())
      << "first difference at unit " << std::hex << int(*mismatch.first);
}

}  // namespace
}  // namespace zq
