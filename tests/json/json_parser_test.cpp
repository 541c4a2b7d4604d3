#include "json/json_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "json_test_support.h"
#include "text/utf8.h"

namespace zq {
namespace {

using testing_support::failureOf;

struct FailureCase {
  std::u16string text;
  std::string message;
};

TEST(ParseJson, ReportsEachFailureWithItsOffset) {
  const FailureCase cases[] = {
      {u"", "Unexpected end of JSON at offset 0"},
      {u"   ", "Unexpected end of JSON at offset 3"},
      {u"[", "Unexpected end of JSON at offset 1"},
      {u"[1,]", "Unexpected JSON token at offset 3"},
      {u"+1", "Unexpected JSON token at offset 0"},
      {u".5", "Unexpected JSON token at offset 0"},
      {u" \u00A0x", "Unexpected JSON token at offset 2"},
      {u"[1 2]", "Unexpected JSON character at offset 3"},
      {u"{\"a\" 1}", "Unexpected JSON character at offset 5"},
      {u"{\"a\":1", "Unexpected JSON character at offset 6"},
      {u"{\"a\":1, }", "Object key must be a string at offset 8"},
      {u"{", "Object key must be a string at offset 1"},
      {u"{1:2}", "Object key must be a string at offset 1"},
      {u"tru", "Bad JSON literal at offset 0"},
      {u"[nul]", "Bad JSON literal at offset 1"},
      {u"True", "Unexpected JSON token at offset 0"},
      {u"true false", "Unexpected trailing characters at offset 5"},
      {u"nulls", "Unexpected trailing characters at offset 4"},
      {u"1.2.3", "Unexpected trailing characters at offset 3"},
      {u"\"abc", "Unterminated string at offset 4"},
      {u"\"ab\\", "Bad string escape at offset 4"},
      {u"\"\\q\"", "Unsupported string escape at offset 3"},
      {u"\"\\U0041\"", "Unsupported string escape at offset 3"},
      {u"\"\\u12\"", "Bad unicode escape at offset 3"},
      {u"\"\\u12G4\"", "Bad unicode escape at offset 6"},
      {u"{\"k\":\"\\u00e\"}", "Bad unicode escape at offset 12"},
      {u"{\"a\":1,\"a\":tx}", "Bad JSON literal at offset 11"},
  };
  for (const FailureCase& item : cases) {
    EXPECT_EQ(failureOf<std::runtime_error>([&] { parseJson(item.text); }), item.message)
        << std::string(item.text.begin(), item.text.end());
  }
}

TEST(ParseJson, OffsetsCountUtf16UnitsAfterTheMark) {
  // The smiley is two units, the mark is gone before parsing.
  const std::u16string text = decodeUtf8("\xEF\xBB\xBF[\"\xF0\x9F\x98\x80\" x]");
  EXPECT_EQ(failureOf([&] { parseJson(text); }), "Unexpected JSON character at offset 6");
}

TEST(ParseJson, AcceptsWideWhiteSpace) {
  const JsonValue object = parseJson(u"\v\f\u0085{ } \u00A0\u3000");
  EXPECT_EQ(object.kind, JsonKind::Object);
  EXPECT_TRUE(object.object.empty());
  const JsonValue array = parseJson(u" [ \u2028] ");
  EXPECT_EQ(array.kind, JsonKind::Array);
  EXPECT_TRUE(array.array.empty());
}

TEST(ParseJson, KeepsFirstDuplicateAndOrdersKeys) {
  const JsonValue duplicate = parseJson(u"{\"a\":1,\"a\":2}");
  ASSERT_EQ(duplicate.object.size(), 1u);
  EXPECT_EQ(duplicate.object.at(u"a").number, 1);

  const JsonValue ordered = parseJson(u"{\"b\":1,\"a\":2,\"\u00E9\":3,\"B\":4}");
  std::u16string keys;
  for (const auto& [key, value] : ordered.object) {
    keys += key;
  }
  EXPECT_EQ(keys, u"Bab\u00E9");
}

TEST(ParseJson, BuildsNestedValuesInDocumentOrder) {
  const JsonValue root = parseJson(u"{\"list\":[true,false,null,\"s\",-2.5,{}]}");
  const JsonValue& list = root.object.at(u"list");
  ASSERT_EQ(list.array.size(), 6u);
  EXPECT_EQ(list.array[0].kind, JsonKind::Boolean);
  EXPECT_TRUE(list.array[0].boolean);
  EXPECT_FALSE(list.array[1].boolean);
  EXPECT_EQ(list.array[2].kind, JsonKind::Null);
  EXPECT_EQ(list.array[3].string, u"s");
  EXPECT_EQ(list.array[4].number, -2.5);
  EXPECT_EQ(list.array[5].kind, JsonKind::Object);
}

struct StringCase {
  std::u16string text;
  std::u16string expected;
};

TEST(ParseJson, DecodesEscapesAndKeepsRawUnits) {
  const StringCase cases[] = {
      {u"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", u"\"\\/\b\f\n\r\t"},
      {u"\"\\u00E9\\u00e9\"", u"\u00E9\u00E9"},
      {u"\"\\uD83D\\uDE00\"", u"\U0001F600"},
      {u"\"\\uD800x\"", std::u16string{char16_t{0xD800}, u'x'}},
      {u"\"a\\u0000b\"", std::u16string(u"a\0b", 3)},
      {u"\"tab\there\nline\"", u"tab\there\nline"},
      {std::u16string(u"\"\0\x1F\"", 4), std::u16string(u"\0\x1F", 2)},
  };
  for (const StringCase& item : cases) {
    const JsonValue value = parseJson(item.text);
    ASSERT_EQ(value.kind, JsonKind::String);
    EXPECT_EQ(value.string, item.expected);
  }
  EXPECT_EQ(encodeUtf8(parseJson(u"\"\\uD83D\\uDE00\"").string), "\xF0\x9F\x98\x80");
}

TEST(ParseJson, NestsUpToTheBound) {
  const std::u16string arrays =
      std::u16string(kMaxJsonDepth, u'[') + std::u16string(kMaxJsonDepth, u']');
  const JsonValue* level = nullptr;
  const JsonValue root = parseJson(arrays);
  level = &root;
  std::size_t depth = 1;
  while (!level->array.empty()) {
    level = &level->array.front();
    ++depth;
  }
  EXPECT_EQ(depth, kMaxJsonDepth);

  std::u16string objects;
  for (std::size_t index = 0; index < kMaxJsonDepth; ++index) {
    objects += u"{\"k\":";
  }
  objects += u"1" + std::u16string(kMaxJsonDepth, u'}');
  EXPECT_EQ(parseJson(objects).kind, JsonKind::Object);
}

TEST(ParseJson, RejectsDeeperNestingWithoutCrashing) {
  const std::u16string oneTooDeep =
      std::u16string(kMaxJsonDepth + 1, u'[') + std::u16string(kMaxJsonDepth + 1, u']');
  EXPECT_EQ(failureOf([&] { parseJson(oneTooDeep); }),
            "JSON nesting too deep at offset " + std::to_string(kMaxJsonDepth));

  std::u16string mixed = u" ";
  for (int index = 0; index < 200000; ++index) {
    mixed += index % 2 == 0 ? u"[" : u"{\"\":";
  }
  // Bracket number kMaxJsonDepth + 1 passes the bound; count its position.
  std::size_t offset = 1;
  for (std::size_t index = 0; index < kMaxJsonDepth; ++index) {
    offset += index % 2 == 0 ? 1 : 4;
  }
  EXPECT_EQ(failureOf([&] { parseJson(mixed); }),
            "JSON nesting too deep at offset " + std::to_string(offset));
}

}  // namespace
}  // namespace zq
