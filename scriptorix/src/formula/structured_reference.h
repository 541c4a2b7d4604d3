#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/formula_value.h"

namespace sx::formula {

// A table (list object) as structured references see it: its whole area, header and totals
// rows included, and its column names left to right.
struct TableShape {
  Area area;
  int32_t headerRows = 1;
  int32_t totalsRows = 0;
  std::vector<std::u16string> columns;
};

// The length of the structured reference at `at` ("Table1[Amount]", "[@Amount]",
// "Table1[[#Totals],[Amount]]"), brackets balanced and "'" escaping the next character; 0 when
// there is none.
std::size_t matchStructuredReference(std::u16string_view text, std::size_t at);

// A structured reference taken apart: the table's name (empty inside the table: "[@Amount]")
// and what its brackets hold.
struct StructuredReference {
  std::u16string table;
  std::u16string specifier;
};
std::optional<StructuredReference> splitStructuredReference(std::u16string_view text);

// The cells the specifier picks in `table` for a formula on `row` (-1: any row, for "[@...]"
// the whole data body); nullopt when it names a column or a row the table does not have, or
// "#This Row" outside the data rows.
std::optional<Area> resolveStructuredReference(std::u16string_view specifier,
                                               const TableShape& table, int32_t row);

}  // namespace sx::formula
