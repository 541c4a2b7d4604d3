#include "json/json_value.h"

#include <algorithm>
#include <stdexcept>

namespace zq {

namespace {

bool keyBefore(const JsonMembers::Member& member, std::u16string_view key) {
  return std::u16string_view(member.first) < key;
}

}  // namespace

JsonMembers::JsonMembers() = default;
JsonMembers::~JsonMembers() = default;
JsonMembers::JsonMembers(const JsonMembers& other) = default;
JsonMembers::JsonMembers(JsonMembers&& other) noexcept = default;
JsonMembers& JsonMembers::operator=(const JsonMembers& other) = default;
JsonMembers& JsonMembers::operator=(JsonMembers&& other) noexcept = default;

JsonMembers JsonMembers::fromDocumentOrder(std::vector<Member> members) {
  // A stable sort keeps duplicates in document order, so the first of each run is the one kept.
  std::stable_sort(members.begin(), members.end(),
                   [](const Member& a, const Member& b) { return a.first < b.first; });
  members.erase(std::unique(members.begin(), members.end(),
                            [](const Member& a, const Member& b) { return a.first == b.first; }),
                members.end());
  members.shrink_to_fit();
  JsonMembers result;
  result.members_ = std::move(members);
  return result;
}

JsonMembers::iterator JsonMembers::begin() { return members_.begin(); }
JsonMembers::iterator JsonMembers::end() { return members_.end(); }
JsonMembers::const_iterator JsonMembers::begin() const { return members_.begin(); }
JsonMembers::const_iterator JsonMembers::end() const { return members_.end(); }
std::size_t JsonMembers::size() const { return members_.size(); }
bool JsonMembers::empty() const { return members_.empty(); }

JsonMembers::iterator JsonMembers::lowerBound(std::u16string_view key) {
  return std::lower_bound(members_.begin(), members_.end(), key, keyBefore);
}

JsonMembers::const_iterator JsonMembers::lowerBound(std::u16string_view key) const {
  return std::lower_bound(members_.begin(), members_.end(), key, keyBefore);
}

JsonMembers::iterator JsonMembers::find(std::u16string_view key) {
  const iterator found = lowerBound(key);
  return found != members_.end() && found->first == key ? found : members_.end();
}

JsonMembers::const_iterator JsonMembers::find(std::u16string_view key) const {
  const const_iterator found = lowerBound(key);
  return found != members_.end() && found->first == key ? found : members_.end();
}

const JsonValue& JsonMembers::at(std::u16string_view key) const {
  const const_iterator found = find(key);
  if (found == members_.end()) throw std::out_of_range("no such JSON member");
  return found->second;
}

JsonValue& JsonMembers::at(std::u16string_view key) {
  const iterator found = find(key);
  if (found == members_.end()) throw std::out_of_range("no such JSON member");
  return found->second;
}

JsonValue& JsonMembers::operator[](std::u16string_view key) {
  return try_emplace(key, JsonValue{}).first->second;
}

std::pair<JsonMembers::iterator, bool> JsonMembers::try_emplace(std::u16string_view key,
                                                                JsonValue value) {
  const iterator at = lowerBound(key);
  if (at != members_.end() && at->first == key) return {at, false};
  return {members_.emplace(at, std::u16string(key), std::move(value)), true};
}

std::pair<JsonMembers::iterator, bool> JsonMembers::emplace(std::u16string_view key,
                                                            JsonValue value) {
  return try_emplace(key, std::move(value));
}

}  // namespace zq
