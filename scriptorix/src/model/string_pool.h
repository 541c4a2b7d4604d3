#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace sx {

// Interned texts: equal cell texts and formulas are held once.
class StringPool {
 public:
  uint32_t intern(std::u16string_view text);
  const std::u16string& at(uint32_t id) const { return texts_.at(id); }
  size_t size() const { return texts_.size(); }

 private:
  std::deque<std::u16string> texts_;  // a deque keeps the views in ids_ valid as it grows
  std::unordered_map<std::u16string_view, uint32_t> ids_;
};

}  // namespace sx
