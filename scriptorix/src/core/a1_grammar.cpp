#include "core/a1_grammar.h"

#include "core/ascii.h"
#include "core/sheet_limits.h"

namespace sx {

A1CornerMatch matchA1Corner(std::u16string_view text, std::size_t at) {
  A1CornerMatch match;
  A1Corner& corner = match.corner;
  std::size_t i = at;
  const bool columnDollar = i < text.size() && text[i] == u'$';
  if (columnDollar) ++i;
  const std::size_t lettersStart = i;
  int64_t column = 0;
  while (i < text.size() && isAsciiLetter(text[i])) {
    if (column <= kMaxColumns) column = column * 26 + (asciiUpper(text[i]) - u'A' + 1);
    ++i;
  }
  const bool hasColumn = i > lettersStart;
  if (!hasColumn) i = at;  // "$3": the dollar belongs to the row
  const std::size_t rowStart = i;
  const bool rowDollar = i < text.size() && text[i] == u'$';
  if (rowDollar) ++i;
  const std::size_t digitsStart = i;
  int64_t row = 0;
  while (i < text.size() && isAsciiDigit(text[i])) {
    if (row <= kMaxRows) row = row * 10 + (text[i] - u'0');
    ++i;
  }
  const bool hasRow = i > digitsStart;
  if (!hasColumn && !hasRow) {
    match.fault = A1Fault::NotACorner;
    return match;
  }
  if (hasColumn) {
    if (column > kMaxColumns) match.fault = A1Fault::ColumnBeyondSheet;
    corner.column = static_cast<int32_t>(column - 1);
    corner.columnAbsolute = columnDollar;
  }
  if (hasRow) {
    if (row > kMaxRows) match.fault = A1Fault::RowBeyondSheet;
    if (row == 0) match.fault = A1Fault::RowZero;
    corner.row = static_cast<int32_t>(row - 1);
    corner.rowAbsolute = rowDollar;
    corner.end = i;
  } else {
    corner.end = rowStart;
  }
  if (match.fault != A1Fault::None) match.corner = A1Corner{};
  return match;
}

std::optional<QuotedName> readQuotedSheetName(std::u16string_view text, std::size_t at) {
  if (at >= text.size() || text[at] != u'\'') return std::nullopt;
  QuotedName result;
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != u'\'') {
      result.name.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == u'\'') {
      result.name.push_back(u'\'');
      ++i;
    } else {
      result.end = i + 1;
      return result;
    }
  }
  return std::nullopt;
}

}  // namespace sx
