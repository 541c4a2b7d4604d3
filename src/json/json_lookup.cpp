#include "json/json_lookup.h"

#include <stdexcept>

namespace zq {

namespace {

// A member holding null reads as absent for the optional lookups.
const JsonValue* findPresentMember(const JsonValue& object, std::u16string_view key) {
  const JsonValue* member = findMember(object, key);
  return member != nullptr && member->kind != JsonKind::Null ? member : nullptr;
}

}  // namespace

const JsonValue* findMember(const JsonValue& object, std::u16string_view key) {
  // A value of another kind keeps an empty member map, so nothing is found in it.
  const auto found = object.object.find(key);
  return found == object.object.end() ? nullptr : &found->second;
}

const JsonValue& requireMember(const JsonValue& object, std::u16string_view key) {
  const JsonValue* member = findMember(object, key);
  if (member == nullptr) {
    throw std::runtime_error("Missing JSON key");
  }
  return *member;
}

std::u16string requireString(const JsonValue& object, std::u16string_view key) {
  const JsonValue& member = requireMember(object, key);
  if (member.kind != JsonKind::String) {
    throw std::runtime_error("JSON key must be a string");
  }
  return member.string;
}

std::u16string optionalString(const JsonValue& object, std::u16string_view key,
                              std::u16string_view fallback) {
  const JsonValue* member = findPresentMember(object, key);
  if (member == nullptr) {
    return std::u16string(fallback);
  }
  if (member->kind != JsonKind::String) {
    throw std::runtime_error("JSON key must be a string");
  }
  return member->string;
}

bool optionalBool(const JsonValue& object, std::u16string_view key, bool fallback) {
  const JsonValue* member = findPresentMember(object, key);
  if (member == nullptr) {
    return fallback;
  }
  if (member->kind != JsonKind::Boolean) {
    throw std::runtime_error("JSON key must be a boolean");
  }
  return member->boolean;
}

}  // namespace zq
