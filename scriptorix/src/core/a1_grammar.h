#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sx {

// One side of an A1 reference: [$]letters[$]digits, [$]letters or [$]digits.
struct A1Corner {
  int32_t row = -1;     // 0-based; -1 when the corner has no row (a column, "C")
  int32_t column = -1;  // 0-based; -1 when the corner has no column (a row, "3")
  bool rowAbsolute = false;
  bool columnAbsolute = false;
  std::size_t end = 0;  // just past the corner in the text
};

enum class A1Fault { None, NotACorner, ColumnBeyondSheet, RowBeyondSheet, RowZero };

struct A1CornerMatch {
  A1Corner corner;
  A1Fault fault = A1Fault::None;
};

// The longest corner starting at `at`. A "$" that no row follows is left unread ("A$" reads
// "A"), and "$3" is an absolute row. Columns past XFD, rows past 1048576 and row 0 are faults.
A1CornerMatch matchA1Corner(std::u16string_view text, std::size_t at);

// A quoted sheet name starting at `at` with its apostrophe ('My Sheet' with '' for an inner
// apostrophe): the name and the index just past the closing apostrophe; nullopt when the quote
// does not close.
struct QuotedName {
  std::u16string name;
  std::size_t end = 0;
};
std::optional<QuotedName> readQuotedSheetName(std::u16string_view text, std::size_t at);

}  // namespace sx
