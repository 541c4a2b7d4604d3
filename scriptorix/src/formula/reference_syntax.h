#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sx::formula {

inline constexpr int32_t kMaxRows = 1048576;
inline constexpr int32_t kMaxColumns = 16384;

// One corner of a reference, 0-based; a whole row has no column, a whole column no row.
struct ReferencePart {
  int32_t row = -1;
  int32_t column = -1;
  bool rowAbsolute = false;
  bool columnAbsolute = false;
};

enum class ReferenceShape { Cells, Rows, Columns };

// The text of one Reference token, taken apart.
struct ParsedReference {
  bool hasSheet = false;
  std::u16string sheet;  // unquoted
  ReferenceShape shape = ReferenceShape::Cells;
  ReferencePart first;
  ReferencePart last;  // equal to first for a single cell
  bool isRange = false;
};

// Parses "A1", "$B$2:C3", "A:C", "1:3", with an optional sheet prefix; nullopt when the text is
// none of these or lies outside the sheet.
std::optional<ParsedReference> parseReferenceText(std::u16string_view text);

// Writes a reference back in A1 style, quoting the sheet name where it needs it.
std::u16string formatReference(const ParsedReference& reference);

// The sheet name as a reference prefix must write it: quoted (with doubled apostrophes) when it
// holds anything beyond letters, digits, "_" and ".", starts with a digit or a ".", or could be
// read as a cell reference or a boolean.
std::u16string quoteSheetNameIfNeeded(std::u16string_view name);

// "A", "Z", "AA", ... for a 0-based column.
std::u16string columnLetters(int32_t column);

// Sheet names compare without regard to case (ASCII letters; others as they stand).
bool sameSheetName(std::u16string_view a, std::u16string_view b);

}  // namespace sx::formula
