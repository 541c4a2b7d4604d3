#pragma once

#include "formula/formula_value.h"

namespace sx::formula {

// A condition of COUNTIF, SUMIF and their kin: 5, ">5", "<>a", "a*", "?b", "=" (empty), "<>"
// (not empty). A number compares with numbers only (a numeric text such as "42" also equals
// the text 42), a text with texts (wildcards for "=" and "<>"), "TRUE"/"FALSE" with booleans.
class Criterion {
 public:
  explicit Criterion(const Scalar& condition);
  bool matches(const Scalar& value) const;

 private:
  enum class Comparison { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
  Comparison comparison_ = Comparison::Equal;
  Scalar operand_;
  std::u16string operandText_;  // a numeric operand as written: "42" also matches the text 42
  bool matchesEmpty_ = false;   // "" or "=": empty cells (and empty texts)
};

}  // namespace sx::formula
