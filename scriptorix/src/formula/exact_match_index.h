#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "formula/formula_value.h"

namespace sx::formula {

// The first position of every distinct value of one column or row of cells, so that exact
// lookups (VLOOKUP/HLOOKUP/MATCH/XLOOKUP without wildcards) over a large range cost one hash
// look-up instead of a scan. Values are equal as the comparison operators see them: texts
// ignoring case, numbers to 15 significant digits, booleans by value; errors and empty cells
// never match.
class ExactMatchIndex {
 public:
  // Adds the candidate at `position`; positions must come in increasing order.
  void add(const Scalar& candidate, int32_t position);
  std::optional<int32_t> find(const Scalar& wanted) const;
  // A text with wildcard characters (* ? ~) is matched by pattern, which this index cannot do.
  static bool canFind(const Scalar& wanted, bool wildcards);

 private:
  static std::optional<std::u16string> keyOf(const Scalar& value);
  std::unordered_map<std::u16string, int32_t> first_;
};

}  // namespace sx::formula
