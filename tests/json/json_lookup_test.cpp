#include "json/json_lookup.h"

#include <gtest/gtest.h>

#include "json/json_parser.h"
#include "json_test_support.h"

namespace zq {
namespace {

using testing_support::failureOf;

class JsonLookupTest : public ::testing::Test {
 protected:
  const JsonValue task = parseJson(
      u"{\"name\":\"Data\",\"none\":null,\"flag\":true,\"one\":1,\"list\":[],\"Name\":\"upper\"}");
};

TEST_F(JsonLookupTest, FindsMembersByExactKey) {
  ASSERT_NE(findMember(task, u"name"), nullptr);
  EXPECT_EQ(findMember(task, u"name")->string, u"Data");
  EXPECT_EQ(findMember(task, u"Name")->string, u"upper");
  EXPECT_EQ(findMember(task, u"nam"), nullptr);
  EXPECT_EQ(findMember(task, u"name "), nullptr);
  EXPECT_EQ(&requireMember(task, u"list"), findMember(task, u"list"))
      << "a reference into the tree";
}

TEST_F(JsonLookupTest, ReadsTypedMembers) {
  EXPECT_EQ(requireString(task, u"name"), u"Data");
  EXPECT_EQ(optionalString(task, u"name", u"fallback"), u"Data");
  EXPECT_EQ(optionalString(task, u"absent", u"fallback"), u"fallback");
  EXPECT_EQ(optionalString(task, u"none", u"fallback"), u"fallback");
  EXPECT_TRUE(optionalBool(task, u"flag", false));
  EXPECT_FALSE(optionalBool(task, u"absent", false));
  EXPECT_TRUE(optionalBool(task, u"none", true));
}

TEST_F(JsonLookupTest, FailsWithFixedMessages) {
  EXPECT_EQ(failureOf([&] { requireMember(task, u"absent"); }), "Missing JSON key");
  EXPECT_EQ(failureOf([&] { requireString(task, u"absent"); }), "Missing JSON key");
  EXPECT_EQ(failureOf([&] { requireString(task, u"none"); }), "JSON key must be a string");
  EXPECT_EQ(failureOf([&] { requireString(task, u"one"); }), "JSON key must be a string");
  EXPECT_EQ(failureOf([&] { optionalString(task, u"flag", u""); }), "JSON key must be a string");
  EXPECT_EQ(failureOf([&] { optionalBool(task, u"one", false); }), "JSON key must be a boolean");
  EXPECT_EQ(failureOf([&] { optionalBool(task, u"name", false); }), "JSON key must be a boolean");
}

TEST_F(JsonLookupTest, NonObjectsHaveNoMembers) {
  const JsonValue array = parseJson(u"[{\"name\":1}]");
  const JsonValue text = parseJson(u"\"name\"");
  for (const JsonValue* value : {&array, &text, &task.object.at(u"none")}) {
    EXPECT_EQ(findMember(*value, u"name"), nullptr);
    EXPECT_EQ(failureOf([&] { requireMember(*value, u"name"); }), "Missing JSON key");
    EXPECT_EQ(optionalString(*value, u"name", u"d"), u"d");
  }
}

}  // namespace
}  // namespace zq
