#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/sheet_limits.h"
#include "formula/formula_value.h"

namespace sx::formula {

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
  // The last sheet of a reference through several sheets ("Jan:Mar!B2"), else empty.
  std::u16string lastSheet;
  ReferenceShape shape = ReferenceShape::Cells;
  ReferencePart first;
  ReferencePart last;  // equal to first for a single cell
  bool isRange = false;
};

// Parses "A1", "$B$2:C3", "A:C", "1:3", with an optional sheet prefix; nullopt when the text is
// none of these or lies outside the sheet.
std::optional<ParsedReference> parseReferenceText(std::u16string_view text);

// The cells a reference covers on `sheet`: whole rows and columns span the sheet.
Area areaOnSheet(const ParsedReference& reference, int32_t sheet);

// Writes a reference back in A1 style, quoting the sheet name where it needs it.
std::u16string formatReference(const ParsedReference& reference);

}  // namespace sx::formula
