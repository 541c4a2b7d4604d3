#include "model/address.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/a1_grammar.h"
#include "core/utf.h"

namespace sx {

namespace {

[[noreturn]] void fail(std::u16string_view text, const char* why) {
  throw std::runtime_error("Invalid range reference \"" + toUtf8(text) + "\": " + why);
}

struct Corner {
  int32_t row = -1;  // -1 marks a missing part
  int32_t column = -1;
};

Corner parseCorner(std::u16string_view part, std::u16string_view whole) {
  const A1CornerMatch match = matchA1Corner(part, 0);
  switch (match.fault) {
    case A1Fault::ColumnBeyondSheet:
      fail(whole, "column beyond XFD");
    case A1Fault::RowBeyondSheet:
      fail(whole, "row beyond 1048576");
    case A1Fault::RowZero:
      fail(whole, "row 0 does not exist");
    case A1Fault::NotACorner:
      fail(whole, "bad text");
    case A1Fault::None:
      break;
  }
  if (match.corner.end != part.size()) fail(whole, "bad text");
  return {match.corner.row, match.corner.column};
}

}  // namespace

RangeRef cellRef(int32_t row, int32_t column) {
  if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
    throw std::out_of_range(
        "Cell position outside the sheet (rows 1 to 1048576, columns A to XFD)");
  }
  return {row, column, row, column, RangeRef::Shape::Cells};
}

RangeRef rowsRef(int32_t firstRow, int32_t lastRow) {
  if (firstRow < 0 || lastRow >= kMaxRows || firstRow > lastRow) {
    throw std::out_of_range("Row outside the sheet (rows 1 to 1048576)");
  }
  return {firstRow, 0, lastRow, kMaxColumns - 1, RangeRef::Shape::Rows};
}

RangeRef columnsRef(int32_t firstColumn, int32_t lastColumn) {
  if (firstColumn < 0 || lastColumn >= kMaxColumns || firstColumn > lastColumn) {
    throw std::out_of_range("Column outside the sheet (columns A to XFD)");
  }
  return {0, firstColumn, kMaxRows - 1, lastColumn, RangeRef::Shape::Columns};
}

RangeRef normalizedShape(RangeRef range) {
  const bool allRows = range.firstRow == 0 && range.lastRow == kMaxRows - 1;
  const bool allColumns = range.firstColumn == 0 && range.lastColumn == kMaxColumns - 1;
  if (allRows) {
    range.shape = RangeRef::Shape::Columns;  // fewer columns than rows to walk
  } else if (allColumns) {
    range.shape = RangeRef::Shape::Rows;
  } else {
    range.shape = RangeRef::Shape::Cells;
  }
  return range;
}

RangeRef parseRangeRef(std::u16string_view text) {
  if (text.empty()) fail(text, "empty");
  const size_t colon = text.find(u':');
  const std::u16string_view firstText = text.substr(0, colon);
  const Corner first = parseCorner(firstText, text);
  Corner last = first;
  if (colon != std::u16string_view::npos) last = parseCorner(text.substr(colon + 1), text);
  const bool firstCell = first.row >= 0 && first.column >= 0;
  const bool lastCell = last.row >= 0 && last.column >= 0;
  RangeRef range;
  if (firstCell && lastCell) {
    range = {std::min(first.row, last.row), std::min(first.column, last.column),
             std::max(first.row, last.row), std::max(first.column, last.column),
             RangeRef::Shape::Cells};
  } else if (colon != std::u16string_view::npos && first.row < 0 && last.row < 0) {
    range = columnsRef(std::min(first.column, last.column), std::max(first.column, last.column));
  } else if (colon != std::u16string_view::npos && first.column < 0 && last.column < 0) {
    range = rowsRef(std::min(first.row, last.row), std::max(first.row, last.row));
  } else {
    fail(text, "expected a cell (A1), an area (A1:B2), columns (A:C) or rows (1:3)");
  }
  return range;
}

std::u16string formatRangeRef(const RangeRef& range, bool absolute) {
  const std::u16string dollar = absolute ? u"$" : u"";
  auto rowText = [&](int32_t row) { return dollar + fromUtf8(std::to_string(row + 1)); };
  auto columnText = [&](int32_t column) { return dollar + columnLetters(column); };
  switch (range.shape) {
    case RangeRef::Shape::Rows:
      return rowText(range.firstRow) + u":" + rowText(range.lastRow);
    case RangeRef::Shape::Columns:
      return columnText(range.firstColumn) + u":" + columnText(range.lastColumn);
    case RangeRef::Shape::Cells:
      break;
  }
  std::u16string text = columnText(range.firstColumn) + rowText(range.firstRow);
  if (!range.isSingleCell()) {
    text += u":" + columnText(range.lastColumn) + rowText(range.lastRow);
  }
  return text;
}

std::u16string formatExternalRef(std::u16string_view sheetName, const RangeRef& range,
                                 bool absolute) {
  return quoteSheetName(sheetName) + u"!" + formatRangeRef(range, absolute);
}

SheetRangeRef parseSheetRangeRef(std::u16string_view text) {
  SheetRangeRef result;
  std::u16string_view rest = text;
  if (!rest.empty() && rest[0] == u'=') rest.remove_prefix(1);
  if (!rest.empty() && rest[0] == u'\'') {
    const std::optional<QuotedName> quoted = readQuotedSheetName(rest, 0);
    if (!quoted) fail(text, "unterminated sheet name");
    if (quoted->end >= rest.size() || rest[quoted->end] != u'!')
      fail(text, "expected ! after the sheet");
    result.sheet = quoted->name;
    rest.remove_prefix(quoted->end + 1);
  } else if (const size_t bang = rest.find(u'!'); bang != std::u16string_view::npos) {
    result.sheet = rest.substr(0, bang);
    if (result.sheet.empty()) fail(text, "empty sheet name");
    rest.remove_prefix(bang + 1);
  }
  result.range = parseRangeRef(rest);
  return result;
}

}  // namespace sx
