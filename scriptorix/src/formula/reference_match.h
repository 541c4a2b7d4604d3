#pragma once

#include <cstddef>
#include <optional>
#include <string>
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

// The sheet prefix ("Sheet1!", "'My Sheet'!", "Jan:Mar!") at `at`: the index after the "!",
// with the unquoted name in `sheet` ("Jan:Mar" through several); nullopt when there is none.
std::optional<std::size_t> matchSheetPrefix(std::u16string_view text, std::size_t at,
                                            std::u16string& sheet);

// A name behind a sheet prefix ("Sheet1!Total", "'My Sheet'!Total"): a name of that sheet's own.
struct NameMatch {
  std::u16string sheet;  // unquoted
  std::u16string name;
  std::size_t length = 0;
};
std::optional<NameMatch> matchQualifiedName(std::u16string_view text, std::size_t at);

}  // namespace sx::formula
