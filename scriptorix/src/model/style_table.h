#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/style.h"

namespace sx {

// The workbook's deduplicated formats. Index 0 is always the default style.
class StyleTable {
 public:
  StyleTable();

  // The index of an equal style, added when there is none.
  uint32_t intern(const Style& style);
  const Style& at(uint32_t index) const { return styles_.at(index); }
  size_t size() const { return styles_.size(); }

 private:
  std::vector<Style> styles_;
  std::unordered_multimap<size_t, uint32_t> byHash_;
};

size_t hashStyle(const Style& style);

}  // namespace sx
