#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "json/json_parser.h"
#include "json/json_value.h"

namespace zq {
namespace {

std::u16string key(int i) {
  const std::string digits = "k" + std::to_string(i);
  return std::u16string(digits.begin(), digits.end());
}

TEST(JsonMembers, ManyKeysInAnyOrderAreOrderedOnceAndFound) {
  // Keys in falling order, each later one given twice: the first of each wins.
  constexpr int kKeys = 100000;
  std::u16string text = u"{";
  for (int i = kKeys; i-- > 0;) {
    text += u"\"" + key(i) + u"\":" + key(i).substr(1) + u",";
    if (i % 1000 == 0) text += u"\"" + key(i) + u"\":-1,";
  }
  text.back() = u'}';
  const auto start = std::chrono::steady_clock::now();
  const JsonValue object = parseJson(text);
  // Inserting each key in order would take quadratic time on such an object.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(object.object.size(), std::size_t(kKeys));
  for (int i : {0, 1, 999, 1000, 54321, kKeys - 1}) {
    EXPECT_EQ(object.object.at(key(i)).number, i) << i;
  }
  EXPECT_EQ(object.object.find(u"k"), object.object.end());
  EXPECT_EQ(object.object.find(key(kKeys)), object.object.end());
  EXPECT_THROW(object.object.at(u"missing"), std::out_of_range);
  std::u16string previous;
  for (const auto& [name, value] : object.object) {
    EXPECT_LT(previous, name);
    previous = name;
  }
}

TEST(JsonMembers, AddingKeepsOrderAndTheFirstValue) {
  JsonMembers members;
  JsonValue one;
  one.kind = JsonKind::Number;
  one.number = 1;
  EXPECT_TRUE(members.try_emplace(u"b", one).second);
  EXPECT_FALSE(members.emplace(u"b", JsonValue{}).second);
  members[u"c"].kind = JsonKind::Boolean;
  members[u"a"].number = 3;
  std::u16string keys;
  for (const auto& [name, value] : members) keys += name;
  EXPECT_EQ(keys, u"abc");
  EXPECT_EQ(members.at(u"b").number, 1);
  EXPECT_EQ(members.at(u"c").kind, JsonKind::Boolean);
  EXPECT_EQ(members.at(u"a").kind, JsonKind::Null);
  const JsonMembers copy = members;
  EXPECT_EQ(copy.size(), 3u);
  EXPECT_EQ(copy.at(u"a").number, 3);
}

}  // namespace
}  // namespace zq
