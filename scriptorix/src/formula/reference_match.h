#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "formula/reference_syntax.h"

namespace sx::formula {

struct ReferenceMatch {
  ParsedReference reference;
  std::size_t length;
};

// The longest reference that starts at `at` and ends where a reference may end (not inside a
// longer name, not before "(" or "!"); nullopt when none does.
std::optional<ReferenceMatch> matchReference(std::u16string_view text, std::size_t at);

}  // namespace sx::formula
