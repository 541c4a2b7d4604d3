#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zq {

enum class JsonKind { Null, Boolean, Number, String, Array, Object };

struct JsonValue;

// An object's members in one flat array ordered by key, each key once. A task of a million
// actions holds millions of members: one allocation per object instead of one per member, and
// keys short enough to live inside their string, keep the tree small.
class JsonMembers {
 public:
  using Member = std::pair<std::u16string, JsonValue>;
  using iterator = std::vector<Member>::iterator;
  using const_iterator = std::vector<Member>::const_iterator;

  // Defined where JsonValue is complete, which a member array of pairs needs.
  JsonMembers();
  ~JsonMembers();
  JsonMembers(const JsonMembers& other);
  JsonMembers(JsonMembers&& other) noexcept;
  JsonMembers& operator=(const JsonMembers& other);
  JsonMembers& operator=(JsonMembers&& other) noexcept;

  // Members in document order; the first of duplicate keys wins.
  static JsonMembers fromDocumentOrder(std::vector<Member> members);

  iterator begin();
  iterator end();
  const_iterator begin() const;
  const_iterator end() const;
  std::size_t size() const;
  bool empty() const;

  iterator find(std::u16string_view key);
  const_iterator find(std::u16string_view key) const;
  // Throws std::out_of_range when there is no such member.
  const JsonValue& at(std::u16string_view key) const;
  JsonValue& at(std::u16string_view key);
  // The member of that key, added as null when missing. As with any insertion, references to
  // other members do not outlive it.
  JsonValue& operator[](std::u16string_view key);
  // Adds the member unless the key is taken; true when it was added.
  std::pair<iterator, bool> try_emplace(std::u16string_view key, JsonValue value);
  std::pair<iterator, bool> emplace(std::u16string_view key, JsonValue value);

 private:
  iterator lowerBound(std::u16string_view key);
  const_iterator lowerBound(std::u16string_view key) const;

  std::vector<Member> members_;
};

// Only the member that `kind` names is meaningful; the others keep their empty values.
struct JsonValue {
  JsonKind kind = JsonKind::Null;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  std::vector<JsonValue> array;
  JsonMembers object;
};

}  // namespace zq
