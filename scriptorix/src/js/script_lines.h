#pragma once

#include <cstddef>
#include <string_view>

namespace sx {

struct LineEnd {
  size_t next;      // where the following line starts, or the script's size
  bool terminated;  // false for a last line without a terminator
};

// The end of the line that starts at `position`, as JavaScriptCore counts lines: LF, CR, CR LF,
// U+2028 and U+2029 end a line, except that U+2028 and U+2029 inside a quoted string literal
// are text (a task value may hold them). Literals are taken to end on their line, as in the
// scripts the helper writes.
LineEnd lineEndFrom(std::u16string_view script, size_t position);

}  // namespace sx
