#include "formula/exact_match_index.h"

#include <cstdio>

#include "formula/value_coercion.h"

namespace sx::formula {

std::optional<std::u16string> ExactMatchIndex::keyOf(const Scalar& value) {
  switch (value.kind) {
    case Scalar::Kind::Number: {
      // Two numbers compare equal exactly when their 15-digit forms agree (0 and -0 included).
      char digits[32];
      int length =
          std::snprintf(digits, sizeof digits, "%.14e", value.number == 0 ? 0.0 : value.number);
      std::u16string key(u"n");
      for (int i = 0; i < length; ++i) key.push_back(char16_t(digits[i]));
      return key;
    }
    case Scalar::Kind::Text:
      return u"t" + upperCase(value.text);
    case Scalar::Kind::Boolean:
      return value.boolean ? u"b1" : u"b0";
    case Scalar::Kind::Empty:
    case Scalar::Kind::Error:
      break;
  }
  return std::nullopt;
}

void ExactMatchIndex::add(const Scalar& candidate, int32_t position) {
  if (auto key = keyOf(candidate)) first_.emplace(std::move(*key), position);
}

std::optional<int32_t> ExactMatchIndex::find(const Scalar& wanted) const {
  auto key = keyOf(wanted);
  if (!key) return std::nullopt;
  auto found = first_.find(*key);
  if (found == first_.end()) return std::nullopt;
  return found->second;
}

bool ExactMatchIndex::canFind(const Scalar& wanted, bool wildcards) {
  if (wanted.isEmpty() || wanted.isError()) return false;
  return !(wildcards && wanted.isText() &&
           wanted.text.find_first_of(u"*?~") != std::u16string::npos);
}

}  // namespace sx::formula
