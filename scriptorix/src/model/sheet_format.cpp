#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

#include "model/number_format_code.h"
#include "model/sheet.h"
#include "model/text_width.h"
#include "model/workbook.h"
#include "model/workbook_calculation.h"

namespace sx {

namespace {
RangeRef area(int32_t firstRow, int32_t firstColumn, int32_t lastRow, int32_t lastColumn) {
  return normalizedShape({firstRow, firstColumn, lastRow, lastColumn, RangeRef::Shape::Cells});
}

void requireInRange(double value, double low, double high, const char* what) {
  if (!std::isfinite(value) || value < low || value > high) {
    throw std::invalid_argument(std::string(what) + " must be a number from " +
                                std::to_string(static_cast<int>(low)) + " to " +
                                std::to_string(static_cast<int>(high)));
  }
}
}  // namespace

void Sheet::editStyles(const RangeRef& input, const std::function<void(Style&)>& edit) {
  const RangeRef range = checked(input);
  StyleTable& table = workbook_->styles();
  std::unordered_map<uint32_t, uint32_t> memo;  // one edit maps each old style to one new
  auto restyle = [&](uint32_t from) {
    if (auto it = memo.find(from); it != memo.end()) return it->second;
    Style style = table.at(from);
    edit(style);
    const uint32_t to = table.intern(style);
    memo.emplace(from, to);
    return to;
  };
  auto restyleStored = [&](const RangeRef& part) {
    forEachStoredCell(part, [&](StoredCell& cell, int32_t) { cell.style = restyle(cell.style); });
  };

  switch (range.shape) {
    case RangeRef::Shape::Rows:
      for (int32_t row = range.firstRow; row <= range.lastRow; ++row) {
        if (auto it = rowFormats_.find(row); it == rowFormats_.end() || it->second.style == 0) {
          // The row showed its styled columns' formats: those intersections keep them, edited
          // below with the row's cells.
          for (const auto& [column, columnFormat] : columnFormats_) {
            if (columnFormat.style != 0 && !findCell(row, column)) {
              cellAt(row, column).style = columnFormat.style;
            }
          }
        }
        RowFormat& format = rowFormats_[row];
        format.style = restyle(format.style);
      }
      restyleStored(range);
      break;
    case RangeRef::Shape::Columns: {
      const bool wholeSheet = range.firstColumn == 0 && range.lastColumn == kMaxColumns - 1;
      // Rows with a style of their own cover these columns: edit those rows too.
      std::vector<int32_t> styledRows;
      for (auto& [row, rowFormat] : rowFormats_) {
        if (rowFormat.style != 0) styledRows.push_back(row);
      }
      for (int32_t row : styledRows) {
        if (wholeSheet) {
          rowFormats_[row].style = restyle(rowFormats_[row].style);
          continue;
        }
        const uint32_t rowStyle = rowFormats_[row].style;
        for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
          if (!findCell(row, column)) cellAt(row, column).style = rowStyle;
        }
      }
      restyleStored(range);
      for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
        ColumnFormat& format = columnFormats_[column];
        format.style = restyle(format.style);
      }
      break;
    }
    case RangeRef::Shape::Cells:
      forEachPosition(
          range, [&](StoredCell& cell, int32_t, int32_t) { cell.style = restyle(cell.style); });
      break;
  }
}

void Sheet::setNumberFormat(const RangeRef& range, std::u16string_view code) {
  if (code.empty()) throw std::invalid_argument("A number format needs a format code");
  checkNumberFormatCode(code);
  const std::u16string text(code);
  editStyles(range, [&](Style& style) { style.numberFormat = text; });
}

void Sheet::setDate(const RangeRef& range, double serial) {
  setNumber(range, serial);
  const std::u16string code = serial == std::floor(serial) ? u"yyyy-mm-dd" : u"yyyy-mm-dd hh:mm:ss";
  editStyles(range, [&](Style& style) {
    if (style.numberFormat == u"General") style.numberFormat = code;
  });
}

void Sheet::setFontName(const RangeRef& range, std::u16string_view name) {
  if (name.empty() || name.size() > 31) {
    throw std::invalid_argument("A font name must have 1 to 31 characters");
  }
  const std::u16string text(name);
  editStyles(range, [&](Style& style) { style.font.name = text; });
}

void Sheet::setFontSize(const RangeRef& range, double points) {
  requireInRange(points, 1, 409, "A font size");
  editStyles(range, [&](Style& style) { style.font.size = points; });
}

void Sheet::setBold(const RangeRef& range, bool on) {
  editStyles(range, [&](Style& style) { style.font.bold = on; });
}

void Sheet::setItalic(const RangeRef& range, bool on) {
  editStyles(range, [&](Style& style) { style.font.italic = on; });
}

void Sheet::setUnderline(const RangeRef& range, FontUnderline underline) {
  editStyles(range, [&](Style& style) { style.font.underline = underline; });
}

void Sheet::setStrikethrough(const RangeRef& range, bool on) {
  editStyles(range, [&](Style& style) { style.font.strikethrough = on; });
}

void Sheet::setVerticalAlign(const RangeRef& range, FontVerticalAlign position, bool on) {
  editStyles(range, [&](Style& style) {
    if (on) {
      style.font.verticalAlign = position;
    } else if (style.font.verticalAlign == position) {
      style.font.verticalAlign = FontVerticalAlign::Baseline;
    }
  });
}

void Sheet::setFontColor(const RangeRef& range, Color color) {
  editStyles(range, [&](Style& style) { style.font.color = color; });
}

void Sheet::setHorizontalAlignment(const RangeRef& range, HorizontalAlignment alignment) {
  editStyles(range, [&](Style& style) { style.horizontal = alignment; });
}

void Sheet::setVerticalAlignment(const RangeRef& range, VerticalAlignment alignment) {
  editStyles(range, [&](Style& style) { style.vertical = alignment; });
}

void Sheet::setFillColor(const RangeRef& range, std::optional<Color> color) {
  editStyles(range, [&](Style& style) { style.fill = color; });
}

void Sheet::setWrap(const RangeRef& range, bool on) {
  editStyles(range, [&](Style& style) { style.wrap = on; });
}

void Sheet::setBorders(const RangeRef& input, BorderPosition position, BorderLineStyle line,
                       Color color) {
  const RangeRef range = checked(input);
  const BorderEdge edge = line == BorderLineStyle::None ? BorderEdge{} : BorderEdge{line, color};
  const int32_t r1 = range.firstRow, r2 = range.lastRow;
  const int32_t c1 = range.firstColumn, c2 = range.lastColumn;
  switch (position) {
    case BorderPosition::Top:
      editStyles(area(r1, c1, r1, c2), [&](Style& s) { s.borders.top = edge; });
      break;
    case BorderPosition::Bottom:
      editStyles(area(r2, c1, r2, c2), [&](Style& s) { s.borders.bottom = edge; });
      break;
    case BorderPosition::Left:
      editStyles(area(r1, c1, r2, c1), [&](Style& s) { s.borders.left = edge; });
      break;
    case BorderPosition::Right:
      editStyles(area(r1, c2, r2, c2), [&](Style& s) { s.borders.right = edge; });
      break;
    case BorderPosition::InsideHorizontal:
      if (r1 == r2) break;
      editStyles(area(r1, c1, r2 - 1, c2), [&](Style& s) { s.borders.bottom = edge; });
      editStyles(area(r1 + 1, c1, r2, c2), [&](Style& s) { s.borders.top = edge; });
      break;
    case BorderPosition::InsideVertical:
      if (c1 == c2) break;
      editStyles(area(r1, c1, r2, c2 - 1), [&](Style& s) { s.borders.right = edge; });
      editStyles(area(r1, c1 + 1, r2, c2), [&](Style& s) { s.borders.left = edge; });
      break;
    case BorderPosition::DiagonalDown:
    case BorderPosition::DiagonalUp: {
      const bool down = position == BorderPosition::DiagonalDown;
      editStyles(range, [&](Style& s) {
        bool& flag = down ? s.borders.diagonalDown : s.borders.diagonalUp;
        const bool other = down ? s.borders.diagonalUp : s.borders.diagonalDown;
        flag = line != BorderLineStyle::None;
        // Both diagonals share one line in the file format.
        if (flag)
          s.borders.diagonal = edge;
        else if (!other)
          s.borders.diagonal = {};
      });
      break;
    }
  }
}

void Sheet::setColumnWidth(const RangeRef& input, double width) {
  requireInRange(width, 0, 255, "A column width");
  const RangeRef range = checked(input);
  for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
    columnFormats_[column].width = width;
  }
}

void Sheet::autoFitColumns(const RangeRef& input) {
  const RangeRef range = checked(input);
  std::map<int32_t, double> widest;
  const auto mergedAcross = [&](int32_t row, int32_t column) {
    return std::any_of(merges_.begin(), merges_.end(), [&](const RangeRef& merge) {
      return merge.firstColumn != merge.lastColumn && merge.contains(row, column);
    });
  };
  const int32_t lastRow = std::min(range.lastRow, rowLimit() - 1);
  for (int32_t row = range.firstRow; row <= lastRow; ++row) {
    for (const StoredCell& cell : rowCells(row)) {
      if (cell.column < range.firstColumn || cell.column > range.lastColumn) continue;
      if (cell.kind == CellValue::Kind::Empty || mergedAcross(row, cell.column)) continue;
      const std::u16string text = displayText(row, cell.column);
      const double width = estimatedTextWidth(text, style(row, cell.column).font);
      double& entry = widest[cell.column];
      entry = std::max(entry, width);
    }
  }
  // The cell's padding on both sides is about one character.
  for (const auto& [column, width] : widest) {
    if (width > 0) columnFormats_[column].width = std::min(255.0, std::ceil((width + 1.0) * 4) / 4);
  }
}

void Sheet::setRowHeight(const RangeRef& input, double points) {
  requireInRange(points, 0, 409, "A row height");
  const RangeRef range = checked(input);
  for (int32_t row = range.firstRow; row <= range.lastRow; ++row) rowFormats_[row].height = points;
}

void Sheet::setRowsHidden(const RangeRef& input, bool hidden) {
  const RangeRef range = checked(input);
  for (int32_t row = range.firstRow; row <= range.lastRow; ++row) rowFormats_[row].hidden = hidden;
  std::erase_if(rowFormats_, [](const auto& entry) { return entry.second == RowFormat{}; });
  // SUBTOTAL 101-111 and AGGREGATE over these rows read them differently now.
  RangeRef rows = range;
  rows.firstColumn = 0;
  rows.lastColumn = kMaxColumns - 1;
  rows.shape = RangeRef::Shape::Rows;
  workbook_->calculation().rebuildLater(*this, rows);
}

void Sheet::setColumnsHidden(const RangeRef& input, bool hidden) {
  const RangeRef range = checked(input);
  for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
    columnFormats_[column].hidden = hidden;
  }
  std::erase_if(columnFormats_, [](const auto& entry) { return entry.second == ColumnFormat{}; });
}

namespace {

uint8_t grouped(uint8_t now, std::optional<uint8_t> level) {
  if (level && (*level < 1 || *level > kMaxOutlineLevel))
    throw std::out_of_range("An outline level runs from 1 to 7");
  return level ? *level : static_cast<uint8_t>(std::min<int>(now + 1, kMaxOutlineLevel));
}

template <typename Format>
uint8_t deepest(const std::map<int32_t, Format>& formats) {
  uint8_t depth = 0;
  for (const auto& [index, format] : formats) depth = std::max(depth, format.outlineLevel);
  return depth;
}

}  // namespace

void Sheet::groupRows(const RangeRef& input, std::optional<uint8_t> level) {
  const RangeRef range = checked(input);
  grouped(0, level);
  for (int32_t row = range.firstRow; row <= range.lastRow; ++row) {
    rowFormats_[row].outlineLevel = grouped(rowFormats_[row].outlineLevel, level);
  }
}

void Sheet::ungroupRows(const RangeRef& input) {
  const RangeRef range = checked(input);
  for (auto it = rowFormats_.lower_bound(range.firstRow);
       it != rowFormats_.end() && it->first <= range.lastRow; ++it) {
    if (it->second.outlineLevel > 0) --it->second.outlineLevel;
  }
  std::erase_if(rowFormats_, [](const auto& entry) { return entry.second == RowFormat{}; });
}

void Sheet::groupColumns(const RangeRef& input, std::optional<uint8_t> level) {
  const RangeRef range = checked(input);
  grouped(0, level);
  for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
    columnFormats_[column].outlineLevel = grouped(columnFormats_[column].outlineLevel, level);
  }
}

void Sheet::ungroupColumns(const RangeRef& input) {
  const RangeRef range = checked(input);
  for (auto it = columnFormats_.lower_bound(range.firstColumn);
       it != columnFormats_.end() && it->first <= range.lastColumn; ++it) {
    if (it->second.outlineLevel > 0) --it->second.outlineLevel;
  }
  std::erase_if(columnFormats_, [](const auto& entry) { return entry.second == ColumnFormat{}; });
}

uint8_t Sheet::rowOutlineDepth() const { return deepest(rowFormats_); }
uint8_t Sheet::columnOutlineDepth() const { return deepest(columnFormats_); }

void Sheet::setFreezePanes(FreezePanes panes) {
  if (panes.rows < 0 || panes.rows >= kMaxRows || panes.columns < 0 ||
      panes.columns >= kMaxColumns) {
    throw std::out_of_range("Frozen rows or columns outside the sheet");
  }
  freeze_ = panes;
}

}  // namespace sx
