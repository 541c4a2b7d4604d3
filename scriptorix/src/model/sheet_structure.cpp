#include <algorithm>
#include <stdexcept>

#include "formula/reference_adjust.h"
#include "model/sheet.h"
#include "model/sheet_objects.h"
#include "model/workbook.h"
#include "model/workbook_calculation.h"

namespace sx {

namespace {

auto columnLess = [](const StoredCell& cell, int32_t column) { return cell.column < column; };

// Where an interval [first, last] of the moving axis ends up; nullopt when it vanishes or
// falls off the sheet.
std::optional<std::pair<int32_t, int32_t>> moveInterval(int32_t first, int32_t last,
                                                        int32_t bandFirst, int32_t bandLast,
                                                        bool remove, int32_t limit) {
  const int32_t count = bandLast - bandFirst + 1;
  if (remove) {
    const int32_t newFirst = first < bandFirst  ? first
                             : first > bandLast ? first - count
                                                : bandFirst;
    const int32_t newLast = last < bandFirst  ? last
                            : last > bandLast ? last - count
                                              : bandFirst - 1;
    if (newLast < newFirst) return std::nullopt;
    return std::pair{newFirst, newLast};
  }
  const int32_t newFirst = first >= bandFirst ? first + count : first;
  const int32_t newLast = std::min(last >= bandFirst ? last + count : last, limit - 1);
  if (newFirst >= limit) return std::nullopt;
  return std::pair{newFirst, newLast};
}

// An area after the shift; `splits` is set when the shift would cut it in two (it stays).
std::optional<RangeRef> moveArea(const RangeRef& merge, const CellShift& shift, bool& splits) {
  const bool vertical = shift.vertical();
  const ShiftAxes axes =
      shiftAxes(shift, merge.firstRow, merge.firstColumn, merge.lastRow, merge.lastColumn);
  if (axes.acrossLast < axes.bandAcrossFirst || axes.acrossFirst > axes.bandAcrossLast ||
      axes.last < axes.bandFirst) {
    return merge;
  }
  if (axes.acrossFirst < axes.bandAcrossFirst || axes.acrossLast > axes.bandAcrossLast) {
    splits = true;
    return merge;
  }
  const auto moved = moveInterval(axes.first, axes.last, axes.bandFirst, axes.bandLast,
                                  shift.deletes(), vertical ? kMaxRows : kMaxColumns);
  if (!moved) return std::nullopt;
  RangeRef result = merge;
  (vertical ? result.firstRow : result.firstColumn) = moved->first;
  (vertical ? result.lastRow : result.lastColumn) = moved->second;
  return normalizedShape(result);
}

// A merged area after the shift: one left with a single cell is no merge.
std::optional<RangeRef> shiftedMerge(const RangeRef& merge, const CellShift& shift, bool& splits) {
  auto result = moveArea(merge, shift, splits);
  if (result && result->isSingleCell()) return std::nullopt;
  return result;
}

}  // namespace

std::optional<RangeRef> movedArea(const RangeRef& area, const CellShift& shift) {
  bool splits = false;
  return moveArea(area, shift, splits);
}

namespace {

template <typename Format>
void shiftKeys(std::map<int32_t, Format>& formats, int32_t bandFirst, int32_t bandLast, bool remove,
               int32_t limit) {
  std::map<int32_t, Format> moved;
  for (auto& [key, format] : formats) {
    if (auto place = moveInterval(key, key, bandFirst, bandLast, remove, limit)) {
      moved.emplace(place->first, std::move(format));
    }
  }
  formats = std::move(moved);
}

}  // namespace

void Sheet::removeMergesIntersecting(const RangeRef& range) {
  std::erase_if(merges_, [&](const RangeRef& merge) { return merge.intersects(range); });
}

void Sheet::merge(const RangeRef& input, bool across) {
  const RangeRef range = checked(input);
  std::vector<RangeRef> areas;
  if (across) {
    for (int32_t row = range.firstRow; row <= range.lastRow; ++row) {
      areas.push_back(normalizedShape({row, range.firstColumn, row, range.lastColumn}));
    }
  } else {
    areas.push_back(range);
  }
  std::erase_if(areas, [](const RangeRef& area) { return area.isSingleCell(); });
  removeMergesIntersecting(range);
  merges_.insert(merges_.end(), areas.begin(), areas.end());
}

void Sheet::unmerge(const RangeRef& input) { removeMergesIntersecting(checked(input)); }

void Sheet::eraseCells(const RangeRef& range) {
  const int32_t last = std::min(range.lastRow, rowLimit() - 1);
  for (int32_t row = range.firstRow; row <= last; ++row) {
    auto& cells = rows_[row].cells;
    auto from = std::lower_bound(cells.begin(), cells.end(), range.firstColumn, columnLess);
    auto to = std::lower_bound(from, cells.end(), range.lastColumn + 1, columnLess);
    cells.erase(from, to);
  }
  if (range.shape == RangeRef::Shape::Cells) {
    // Cells that would show a row's or column's format are given the default format instead.
    // Only positions under such a format are visited, so the work follows the cells this
    // creates, never the area: clearing A1:XFC1048576 beside one formatted row is one row.
    std::vector<int32_t> styledRows, styledColumns;
    for (auto it = rowFormats_.lower_bound(range.firstRow);
         it != rowFormats_.end() && it->first <= range.lastRow; ++it) {
      if (it->second.style != 0) styledRows.push_back(it->first);
    }
    for (auto it = columnFormats_.lower_bound(range.firstColumn);
         it != columnFormats_.end() && it->first <= range.lastColumn; ++it) {
      if (it->second.style != 0) styledColumns.push_back(it->first);
    }
    for (int32_t row : styledRows) {
      for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column)
        cellAt(row, column).style = 0;
    }
    for (int32_t row = range.firstRow; !styledColumns.empty() && row <= range.lastRow; ++row) {
      if (std::binary_search(styledRows.begin(), styledRows.end(), row)) continue;
      for (int32_t column : styledColumns) cellAt(row, column).style = 0;
    }
  }
  trimRows();
}

void Sheet::clear(const RangeRef& input) {
  const RangeRef range = checked(input);
  forEachStoredCell(range, [&](StoredCell& cell, int32_t row) {
    workbook_->calculation().valueSet(*this, row, cell.column);
  });
  eraseCells(range);
  removeMergesIntersecting(range);
  if (range.shape == RangeRef::Shape::Rows) {
    for (auto it = rowFormats_.lower_bound(range.firstRow);
         it != rowFormats_.end() && it->first <= range.lastRow; ++it) {
      it->second.style = 0;
    }
  } else if (range.shape == RangeRef::Shape::Columns) {
    for (auto it = columnFormats_.lower_bound(range.firstColumn);
         it != columnFormats_.end() && it->first <= range.lastColumn; ++it) {
      it->second.style = 0;
    }
  }
  std::erase_if(rowFormats_, [](const auto& entry) { return entry.second == RowFormat{}; });
  std::erase_if(columnFormats_, [](const auto& entry) { return entry.second == ColumnFormat{}; });
}

std::vector<Sheet::CellSnapshot> Sheet::snapshot(const RangeRef& range) const {
  std::vector<CellSnapshot> cells;
  std::vector<std::pair<int32_t, uint32_t>> styledColumns;
  if (range.shape == RangeRef::Shape::Cells) {
    for (auto it = columnFormats_.lower_bound(range.firstColumn);
         it != columnFormats_.end() && it->first <= range.lastColumn; ++it) {
      if (it->second.style != 0) styledColumns.emplace_back(it->first, it->second.style);
    }
  }
  const bool inherits = range.shape == RangeRef::Shape::Cells;
  const int32_t lastRow = inherits ? range.lastRow : std::min(range.lastRow, rowLimit() - 1);
  for (int32_t row = range.firstRow; row <= lastRow; ++row) {
    const size_t start = cells.size();
    for (const StoredCell& cell : rowCells(row)) {
      if (cell.column >= range.firstColumn && cell.column <= range.lastColumn) {
        cells.push_back({row - range.firstRow, cell.column - range.firstColumn, cell});
      }
    }
    if (!inherits) continue;
    auto stored = [&](int32_t column) {
      for (size_t k = start; k < cells.size(); ++k) {
        if (cells[k].columnOffset == column - range.firstColumn) return true;
      }
      return false;
    };
    auto addInherited = [&](int32_t column, uint32_t style) {
      if (stored(column)) return;
      StoredCell cell;
      cell.column = column;
      cell.style = style;
      cells.push_back({row - range.firstRow, column - range.firstColumn, cell});
    };
    auto rowFormat = rowFormats_.find(row);
    if (rowFormat != rowFormats_.end() && rowFormat->second.style != 0) {
      for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
        addInherited(column, rowFormat->second.style);
      }
    } else {
      for (const auto& [column, style] : styledColumns) addInherited(column, style);
    }
  }
  return cells;
}

void Sheet::copyTo(const RangeRef& input, Sheet& target, const RangeRef& destination) {
  if (target.workbook_ != workbook_) {
    throw std::invalid_argument("Cells can only be copied within one workbook");
  }
  const RangeRef source = checked(input);
  const RangeRef anchor = target.checked(destination);
  workbook_->calculation().beforeRestructure();
  const int32_t toRow = source.shape == RangeRef::Shape::Columns ? 0 : anchor.firstRow;
  const int32_t toColumn = source.shape == RangeRef::Shape::Rows ? 0 : anchor.firstColumn;
  if (int64_t{toRow} + source.rowCount() > kMaxRows ||
      int64_t{toColumn} + source.columnCount() > kMaxColumns) {
    throw std::out_of_range("The copy would reach past the edge of the sheet");
  }
  RangeRef destinationArea{toRow, toColumn, toRow + source.rowCount() - 1,
                           toColumn + source.columnCount() - 1, source.shape};
  const int32_t rowOffset = toRow - source.firstRow;
  const int32_t columnOffset = toColumn - source.firstColumn;

  // Read everything first, so that an overlapping destination cannot change the source.
  const std::vector<CellSnapshot> cells = snapshot(source);
  std::vector<RangeRef> merges;
  for (const RangeRef& merge : merges_) {
    if (source.contains(merge.firstRow, merge.firstColumn) &&
        source.contains(merge.lastRow, merge.lastColumn)) {
      merges.push_back(merge);
    }
  }
  std::vector<std::pair<int32_t, RowFormat>> rowFormats;
  std::vector<std::pair<int32_t, ColumnFormat>> columnFormats;
  if (source.shape == RangeRef::Shape::Rows) {
    for (auto it = rowFormats_.lower_bound(source.firstRow);
         it != rowFormats_.end() && it->first <= source.lastRow; ++it) {
      rowFormats.emplace_back(it->first + rowOffset, it->second);
    }
  } else if (source.shape == RangeRef::Shape::Columns) {
    for (auto it = columnFormats_.lower_bound(source.firstColumn);
         it != columnFormats_.end() && it->first <= source.lastColumn; ++it) {
      columnFormats.emplace_back(it->first + columnOffset, it->second);
    }
  }

  target.clear(destinationArea);
  if (source.shape == RangeRef::Shape::Rows) {
    std::erase_if(target.rowFormats_, [&](const auto& entry) {
      return entry.first >= destinationArea.firstRow && entry.first <= destinationArea.lastRow;
    });
    target.rowFormats_.insert(rowFormats.begin(), rowFormats.end());
  } else if (source.shape == RangeRef::Shape::Columns) {
    std::erase_if(target.columnFormats_, [&](const auto& entry) {
      return entry.first >= destinationArea.firstColumn &&
             entry.first <= destinationArea.lastColumn;
    });
    target.columnFormats_.insert(columnFormats.begin(), columnFormats.end());
  }
  for (const CellSnapshot& snap : cells) {
    const int32_t row = toRow + snap.rowOffset;
    const int32_t column = toColumn + snap.columnOffset;
    StoredCell& cell = target.cellAt(row, column);
    cell = snap.cell;
    cell.column = column;
    if (cell.hasFormula() && (rowOffset != 0 || columnOffset != 0)) {
      cell.formula = workbook_->strings().intern(
          translateFormula(workbook_->strings().at(snap.cell.formula), rowOffset, columnOffset));
    }
  }
  for (RangeRef merge : merges) {
    merge.firstRow += rowOffset;
    merge.lastRow += rowOffset;
    merge.firstColumn += columnOffset;
    merge.lastColumn += columnOffset;
    target.merges_.push_back(normalizedShape(merge));
  }
  target.dropBlankCells(destinationArea.firstRow, destinationArea.lastRow);
  workbook_->recordCopy({id_, target.id_, source, destinationArea, 0});
  workbook_->calculation().rebuildLater(target, destinationArea);
}

void Sheet::shiftCells(const CellShift& shift) {
  const bool remove = shift.deletes();
  if (shift.vertical()) {
    const int32_t count = shift.lastRow - shift.firstRow + 1;
    const bool wholeRows = shift.firstColumn == 0 && shift.lastColumn == kMaxColumns - 1;
    if (shift.firstRow >= rowLimit()) return;
    if (wholeRows) {
      if (remove) {
        rows_.erase(rows_.begin() + shift.firstRow,
                    rows_.begin() + std::min(shift.lastRow + 1, rowLimit()));
      } else {
        rows_.insert(rows_.begin() + shift.firstRow, static_cast<size_t>(count), Row{});
      }
      trimRows();
      return;
    }
    auto takeBand = [&](int32_t row) {
      auto& cells = rows_[row].cells;
      auto from = std::lower_bound(cells.begin(), cells.end(), shift.firstColumn, columnLess);
      auto to = std::lower_bound(from, cells.end(), shift.lastColumn + 1, columnLess);
      std::vector<StoredCell> band(from, to);
      cells.erase(from, to);
      return band;
    };
    auto putBand = [&](int32_t row, const std::vector<StoredCell>& band) {
      if (band.empty()) return;
      if (row >= rowLimit()) rows_.resize(static_cast<size_t>(row) + 1);
      auto& cells = rows_[row].cells;
      auto at = std::lower_bound(cells.begin(), cells.end(), shift.firstColumn, columnLess);
      cells.insert(at, band.begin(), band.end());
    };
    if (remove) {
      for (int32_t row = shift.firstRow; row < rowLimit(); ++row) {
        std::vector<StoredCell> band = takeBand(row);
        if (row > shift.lastRow) putBand(row - count, band);
      }
    } else {
      for (int32_t row = rowLimit() - 1; row >= shift.firstRow; --row) {
        putBand(row + count, takeBand(row));
      }
    }
    trimRows();
    return;
  }
  const int32_t count = shift.lastColumn - shift.firstColumn + 1;
  const int32_t last = std::min(shift.lastRow, rowLimit() - 1);
  for (int32_t row = shift.firstRow; row <= last; ++row) {
    auto& cells = rows_[row].cells;
    auto from = std::lower_bound(cells.begin(), cells.end(), shift.firstColumn, columnLess);
    if (remove) {
      auto to = std::lower_bound(from, cells.end(), shift.lastColumn + 1, columnLess);
      from = cells.erase(from, to);
      for (auto it = from; it != cells.end(); ++it) it->column -= count;
    } else {
      for (auto it = from; it != cells.end(); ++it) it->column += count;
    }
  }
  trimRows();
}

void Sheet::shiftMerges(const CellShift& shift) {
  std::vector<RangeRef> moved;
  for (const RangeRef& merge : merges_) {
    bool splits = false;
    if (auto result = shiftedMerge(merge, shift, splits)) moved.push_back(*result);
  }
  merges_ = std::move(moved);
}

void Sheet::shiftRowAndColumnFormats(const CellShift& shift) {
  const bool remove = shift.deletes();
  if (shift.vertical()) {
    if (shift.firstColumn == 0 && shift.lastColumn == kMaxColumns - 1) {
      shiftKeys(rowFormats_, shift.firstRow, shift.lastRow, remove, kMaxRows);
    }
  } else if (shift.firstRow == 0 && shift.lastRow == kMaxRows - 1) {
    shiftKeys(columnFormats_, shift.firstColumn, shift.lastColumn, remove, kMaxColumns);
  }
}

namespace {
CellShift makeShift(CellShift::Kind kind, const std::u16string& sheet, const RangeRef& range) {
  CellShift shift;
  shift.kind = kind;
  shift.sheet = sheet;
  shift.firstRow = range.firstRow;
  shift.lastRow = range.lastRow;
  shift.firstColumn = range.firstColumn;
  shift.lastColumn = range.lastColumn;
  return shift;
}
// Moving part of a merged area would tear it apart.
void refuseSplitMerges(const std::vector<RangeRef>& merges, const CellShift& shift) {
  for (const RangeRef& merge : merges) {
    if (shiftTears(merge, shift))
      throw std::runtime_error("Cannot shift cells: part of a merged area would move");
  }
}
}  // namespace

bool shiftTears(const RangeRef& area, const CellShift& shift) {
  bool splits = false;
  shiftedMerge(area, shift, splits);
  return splits;
}

namespace {
// The cells a shift moves, or empties, where they are afterwards.
RangeRef shiftedArea(const CellShift& shift) {
  if (shift.vertical()) {
    return {shift.firstRow, shift.firstColumn, kMaxRows - 1, shift.lastColumn,
            RangeRef::Shape::Cells};
  }
  return {shift.firstRow, shift.firstColumn, shift.lastRow, kMaxColumns - 1,
          RangeRef::Shape::Cells};
}
}  // namespace

// Everything the sheet and the workbook hold follows the moved cells; the shift is recorded for
// what a writer carries through from the file.
void Sheet::applyShift(const CellShift& shift) {
  shiftCells(shift);
  shiftMerges(shift);
  shiftRowAndColumnFormats(shift);
  shiftCellRules(shift);
  objects_.applyShift(shift);
  workbook_->recordShift(id_, shift);
  // Positions and dependencies start afresh: whatever moved or reads what moved is calculated
  // again.
  workbook_->calculation().rebuildLater(*this, shiftedArea(shift));
  workbook_->rewriteFormulas(
      [&](std::u16string_view formula, std::u16string_view home) {
        return adjustFormulaForShift(formula, home, shift);
      },
      true);
}

void Sheet::deleteCells(const RangeRef& input, DeleteShift direction) {
  const RangeRef range = checked(input);
  // Whole rows or columns go whatever the direction says.
  CellShift::Kind kind =
      direction == DeleteShift::Up ? CellShift::Kind::DeleteUp : CellShift::Kind::DeleteLeft;
  if (range.shape == RangeRef::Shape::Rows) kind = CellShift::Kind::DeleteUp;
  if (range.shape == RangeRef::Shape::Columns) kind = CellShift::Kind::DeleteLeft;
  const CellShift shift = makeShift(kind, name_, range);
  refuseSplitMerges(merges_, shift);
  objects_.checkShift(shift);
  if (const PackageOrigin* origin = workbook_->origin()) origin->checkShift(*workbook_, id_, shift);
  workbook_->calculation().beforeRestructure();
  applyShift(shift);
}

void Sheet::insertCells(const RangeRef& input, InsertShift direction) {
  const RangeRef range = checked(input);
  CellShift::Kind kind =
      direction == InsertShift::Down ? CellShift::Kind::InsertDown : CellShift::Kind::InsertRight;
  if (range.shape == RangeRef::Shape::Rows) kind = CellShift::Kind::InsertDown;
  if (range.shape == RangeRef::Shape::Columns) kind = CellShift::Kind::InsertRight;
  const CellShift shift = makeShift(kind, name_, range);
  refuseSplitMerges(merges_, shift);
  objects_.checkShift(shift);
  std::vector<ShiftedInText> added;
  if (const PackageOrigin* origin = workbook_->origin())
    added = origin->checkShift(*workbook_, id_, shift);
  workbook_->calculation().beforeRestructure();
  // Data pushed past the last row or column would be lost: refuse instead.
  if (shift.vertical()) {
    const int32_t edge = kMaxRows - range.rowCount();
    for (int32_t row = std::max(edge, range.firstRow); row < rowLimit(); ++row) {
      for (const StoredCell& cell : rows_[row].cells) {
        if (cell.column >= range.firstColumn && cell.column <= range.lastColumn) {
          throw std::runtime_error("Cannot insert cells: data would be pushed off the sheet");
        }
      }
    }
  } else {
    const int32_t edge = kMaxColumns - range.columnCount();
    const int32_t last = std::min(range.lastRow, rowLimit() - 1);
    for (int32_t row = range.firstRow; row <= last; ++row) {
      const auto& cells = rows_[row].cells;
      if (!cells.empty() && cells.back().column >= std::max(edge, range.firstColumn)) {
        throw std::runtime_error("Cannot insert cells: data would be pushed off the sheet");
      }
    }
  }
  applyShift(shift);
  for (const ShiftedInText& cell : added) setText(cellRef(cell.row, cell.column), cell.text);
}

}  // namespace sx
