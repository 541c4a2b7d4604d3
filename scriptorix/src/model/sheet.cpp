#include "model/sheet.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "formula/reference_adjust.h"
#include "model/number_format.h"
#include "core/text_case.h"
#include "model/workbook.h"
#include "model/workbook_calculation.h"

namespace sx {

namespace {
auto columnLess = [](const StoredCell& cell, int32_t column) { return cell.column < column; };

// Edits of more cells than this ask for one rebuild of the calculation instead of a
// notification per cell.
constexpr int64_t kCellsNotifiedOneByOne = 1 << 16;

bool notifiedOneByOne(const RangeRef& range) {
  return int64_t{range.rowCount()} * range.columnCount() <= kCellsNotifiedOneByOne;
}
}  // namespace

DeleteShift parseDeleteShift(std::u16string_view word) {
  if (equalsAsciiIgnoringCase(word, "up")) return DeleteShift::Up;
  if (equalsAsciiIgnoringCase(word, "left")) return DeleteShift::Left;
  throw std::invalid_argument("Unknown delete direction (expected \"up\" or \"left\")");
}

InsertShift parseInsertShift(std::u16string_view word) {
  if (equalsAsciiIgnoringCase(word, "down")) return InsertShift::Down;
  if (equalsAsciiIgnoringCase(word, "right")) return InsertShift::Right;
  throw std::invalid_argument("Unknown insert direction (expected \"down\" or \"right\")");
}

Sheet::Sheet(Workbook& workbook, uint32_t id, std::u16string name)
    : workbook_(&workbook), id_(id), name_(std::move(name)) {}

RangeRef Sheet::checked(const RangeRef& range) const {
  if (range.firstRow < 0 || range.firstColumn < 0 || range.lastRow >= kMaxRows ||
      range.lastColumn >= kMaxColumns || range.firstRow > range.lastRow ||
      range.firstColumn > range.lastColumn) {
    throw std::out_of_range("Range outside the sheet (rows 1 to 1048576, columns A to XFD)");
  }
  return normalizedShape(range);
}

StoredCell* Sheet::findCell(int32_t row, int32_t column) {
  return const_cast<StoredCell*>(std::as_const(*this).findCell(row, column));
}

const StoredCell* Sheet::findCell(int32_t row, int32_t column) const {
  if (row < 0 || row >= rowLimit()) return nullptr;
  const auto& cells = rows_[row].cells;
  auto it = std::lower_bound(cells.begin(), cells.end(), column, columnLess);
  return it != cells.end() && it->column == column ? &*it : nullptr;
}

uint32_t Sheet::inheritedStyle(int32_t row, int32_t column) const {
  if (auto it = rowFormats_.find(row); it != rowFormats_.end() && it->second.style != 0) {
    return it->second.style;
  }
  if (auto it = columnFormats_.find(column); it != columnFormats_.end()) return it->second.style;
  return 0;
}

StoredCell& Sheet::cellAt(int32_t row, int32_t column) {
  if (row >= rowLimit()) rows_.resize(static_cast<size_t>(row) + 1);
  auto& cells = rows_[row].cells;
  auto it = std::lower_bound(cells.begin(), cells.end(), column, columnLess);
  if (it != cells.end() && it->column == column) return *it;
  StoredCell cell;
  cell.column = column;
  cell.style = inheritedStyle(row, column);
  return *cells.insert(it, cell);
}

bool Sheet::droppable(const StoredCell& cell, int32_t row) const {
  return cell.kind == CellValue::Kind::Empty && !cell.hasFormula() &&
         cell.style == inheritedStyle(row, cell.column);
}

void Sheet::dropBlankCells(int32_t firstRow, int32_t lastRow) {
  lastRow = std::min(lastRow, rowLimit() - 1);
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    auto& cells = rows_[row].cells;
    std::erase_if(cells, [&](const StoredCell& cell) { return droppable(cell, row); });
  }
  trimRows();
}

void Sheet::trimRows() {
  while (!rows_.empty() && rows_.back().cells.empty()) rows_.pop_back();
}

void Sheet::forEachPosition(const RangeRef& input,
                            const std::function<void(StoredCell&, int32_t, int32_t)>& fn) {
  const RangeRef range = checked(input);
  for (int32_t row = range.firstRow; row <= range.lastRow; ++row) {
    for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
      fn(cellAt(row, column), row, column);
    }
  }
}

void Sheet::forEachStoredCell(const RangeRef& input,
                              const std::function<void(StoredCell&, int32_t)>& fn) {
  const RangeRef range = checked(input);
  const int32_t last = std::min(range.lastRow, rowLimit() - 1);
  for (int32_t row = range.firstRow; row <= last; ++row) {
    auto& cells = rows_[row].cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), range.firstColumn, columnLess);
    for (; it != cells.end() && it->column <= range.lastColumn; ++it) fn(*it, row);
  }
}

std::span<const StoredCell> Sheet::rowCells(int32_t row) const {
  workbook_->calculate();
  if (row < 0 || row >= rowLimit()) return {};
  return rows_[row].cells;
}

CellValue Sheet::valueOf(const StoredCell& cell) const {
  switch (cell.kind) {
    case CellValue::Kind::Number:
      return CellValue::fromNumber(cell.number);
    case CellValue::Kind::Boolean:
      return CellValue::fromBoolean(cell.boolean);
    case CellValue::Kind::Text:
      return CellValue::fromText(workbook_->strings().at(cell.text));
    case CellValue::Kind::Error:
      return CellValue::fromError(workbook_->strings().at(cell.text));
    case CellValue::Kind::Empty:
      break;
  }
  return {};
}

// --- values

void Sheet::setValue(const RangeRef& range, const CellValue& value) {
  if (value.kind == CellValue::Kind::Empty) {
    clearValues(range);
    return;
  }
  if (value.kind == CellValue::Kind::Number && !std::isfinite(value.number)) {
    throw std::invalid_argument(
        "A cell value must be a finite number (NaN and infinities are refused)");
  }
  StoredCell pattern;
  pattern.kind = value.kind;
  if (value.kind == CellValue::Kind::Number) pattern.number = value.number;
  if (value.kind == CellValue::Kind::Boolean) pattern.boolean = value.boolean;
  if (value.kind == CellValue::Kind::Text || value.kind == CellValue::Kind::Error) {
    pattern.text = workbook_->strings().intern(value.text);
  }
  // One captured reference keeps the callback within std::function's inline storage: no heap
  // allocation per written value.
  struct Fill {
    Sheet& sheet;
    const StoredCell& pattern;
    WorkbookCalculation* notify;  // null when the calculation is rebuilt instead
  } fill{*this, pattern, &workbook_->calculation()};
  if (!notifiedOneByOne(checked(range))) {
    fill.notify->beforeRestructure();
    fill.notify->rebuildLater(*this, checked(range));
    fill.notify = nullptr;
  }
  forEachPosition(range, [&fill](StoredCell& cell, int32_t row, int32_t column) {
    // Copy the whole cell so the value's union member travels as one piece.
    StoredCell written = fill.pattern;
    written.column = cell.column;
    written.style = cell.style;
    cell = written;
    if (fill.notify) fill.notify->valueSet(fill.sheet, row, column);
  });
}

void Sheet::setNumber(const RangeRef& range, double value) {
  setValue(range, CellValue::fromNumber(value));
}

void Sheet::setBoolean(const RangeRef& range, bool value) {
  setValue(range, CellValue::fromBoolean(value));
}

void Sheet::setText(const RangeRef& range, std::u16string_view text) {
  if (text.size() > 1 && text[0] == u'=') {
    setFormula(range, text.substr(1));
  } else if (!text.empty() && text[0] == u'\'') {
    setValue(range, CellValue::fromText(std::u16string(text.substr(1))));
  } else {
    // An empty text is no value at all: the cell is cleared rather than holding "".
    setValue(range, text.empty() ? CellValue{} : CellValue::fromText(std::u16string(text)));
  }
}

void Sheet::setFormulaAt(StoredCell& cell, std::u16string_view formula) {
  cell.formula = workbook_->strings().intern(formula);
  cell.kind = CellValue::Kind::Empty;  // not calculated yet
  cell.number = 0;
}

void Sheet::setFormula(const RangeRef& input, std::u16string_view formula) {
  if (formula.empty()) throw std::invalid_argument("A formula needs text after \"=\"");
  const RangeRef range = checked(input);
  WorkbookCalculation& calculation = workbook_->calculation();
  const bool oneByOne = notifiedOneByOne(range);
  if (!oneByOne) {
    calculation.beforeRestructure();
    calculation.rebuildLater(*this, range);
  }
  forEachPosition(range, [&](StoredCell& cell, int32_t row, int32_t column) {
    const int32_t rowOffset = row - range.firstRow;
    const int32_t columnOffset = column - range.firstColumn;
    if (rowOffset == 0 && columnOffset == 0) {
      setFormulaAt(cell, formula);
    } else {
      setFormulaAt(cell, translateFormula(formula, rowOffset, columnOffset));
    }
    if (oneByOne) calculation.formulaSet(*this, row, column, workbook_->strings().at(cell.formula));
  });
}

void Sheet::clearValues(const RangeRef& input) {
  const RangeRef range = checked(input);
  forEachStoredCell(range, [&](StoredCell& cell, int32_t row) {
    workbook_->calculation().valueSet(*this, row, cell.column);
    cell.kind = CellValue::Kind::Empty;
    cell.formula = StoredCell::kNoFormula;
    cell.number = 0;
  });
  dropBlankCells(range.firstRow, range.lastRow);
}

CellValue Sheet::value(int32_t row, int32_t column) const {
  workbook_->calculate();
  const StoredCell* cell = findCell(row, column);
  return cell ? valueOf(*cell) : CellValue{};
}

std::optional<std::u16string> Sheet::formula(int32_t row, int32_t column) const {
  const StoredCell* cell = findCell(row, column);
  if (!cell || !cell->hasFormula()) return std::nullopt;
  return workbook_->strings().at(cell->formula);
}

std::u16string Sheet::formulaOrValueText(int32_t row, int32_t column) const {
  if (auto text = formula(row, column)) return u"=" + *text;
  const CellValue cellValue = value(row, column);
  switch (cellValue.kind) {
    case CellValue::Kind::Number:
      return formatRoundTripNumber(cellValue.number);
    case CellValue::Kind::Boolean:
      return cellValue.boolean ? u"TRUE" : u"FALSE";
    case CellValue::Kind::Text:
    case CellValue::Kind::Error:
      return cellValue.text;
    case CellValue::Kind::Empty:
      break;
  }
  return {};
}

void Sheet::setCachedValue(int32_t row, int32_t column, const CellValue& cached) {
  StoredCell* cell = findCell(row, column);
  if (!cell || !cell->hasFormula()) return;
  cell->kind = cached.kind;
  cell->number = 0;
  if (cached.kind == CellValue::Kind::Number) cell->number = cached.number;
  if (cached.kind == CellValue::Kind::Boolean) cell->boolean = cached.boolean;
  if (cached.kind == CellValue::Kind::Text || cached.kind == CellValue::Kind::Error) {
    cell->text = workbook_->strings().intern(cached.text);
  }
}

std::u16string Sheet::displayText(int32_t row, int32_t column) const {
  workbook_->calculate();
  const StoredCell* cell = findCell(row, column);
  if (!cell) return {};
  return formatCellValue(valueOf(*cell), workbook_->styles().at(cell->style).numberFormat,
                         workbook_->dateSystem());
}

uint32_t Sheet::styleIndex(int32_t row, int32_t column) const {
  const StoredCell* cell = findCell(row, column);
  return cell ? cell->style : inheritedStyle(row, column);
}

const Style& Sheet::style(int32_t row, int32_t column) const {
  return workbook_->styles().at(styleIndex(row, column));
}

// --- queries

RangeRef Sheet::usedRange() const {
  int32_t firstRow = -1, lastRow = -1, firstColumn = kMaxColumns, lastColumn = -1;
  for (int32_t row = 0; row < rowLimit(); ++row) {
    for (const StoredCell& cell : rows_[row].cells) {
      if (cell.kind == CellValue::Kind::Empty && !cell.hasFormula() && cell.style == 0) continue;
      if (firstRow < 0) firstRow = row;
      lastRow = row;
      firstColumn = std::min(firstColumn, cell.column);
      lastColumn = std::max(lastColumn, cell.column);
    }
  }
  if (firstRow < 0) return cellRef(0, 0);
  return {firstRow, firstColumn, lastRow, lastColumn, RangeRef::Shape::Cells};
}

bool Sheet::isEmpty() const {
  for (const Row& row : rows_) {
    for (const StoredCell& cell : row.cells) {
      if (cell.kind != CellValue::Kind::Empty || cell.hasFormula()) return false;
    }
  }
  return true;
}

std::optional<RangeRef> Sheet::find(std::u16string_view what, const RangeRef& within) const {
  const RangeRef range = checked(within);
  workbook_->calculate();
  const int32_t last = std::min(range.lastRow, rowLimit() - 1);
  for (int32_t row = range.firstRow; row <= last; ++row) {
    const auto& cells = rows_[row].cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), range.firstColumn, columnLess);
    for (; it != cells.end() && it->column <= range.lastColumn; ++it) {
      if (it->kind == CellValue::Kind::Empty) continue;
      const std::u16string shown = formatCellValue(
          valueOf(*it), workbook_->styles().at(it->style).numberFormat, workbook_->dateSystem());
      if (containsIgnoringCase(shown, what)) return cellRef(row, it->column);
    }
  }
  return std::nullopt;
}

}  // namespace sx
