#include "model/workbook_calculation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <unordered_set>

#include "core/sheet_name.h"
#include "core/text_case.h"
#include "formula/reference_match.h"
#include "formula/structured_reference.h"
#include "model/workbook.h"

namespace sx {

namespace {

// Edits remembered one by one while a rebuild waits; past this, everything is recalculated.
constexpr size_t kChangesRemembered = 1 << 16;

// Serial of 1970-01-01 on the 1900 date system.
constexpr double kUnixEpochSerial = 25569;

formula::Scalar toScalar(const CellValue& value) {
  using formula::Scalar;
  switch (value.kind) {
    case CellValue::Kind::Number:
      return Scalar::fromNumber(value.number);
    case CellValue::Kind::Text:
      return Scalar::fromText(value.text);
    case CellValue::Kind::Boolean:
      return Scalar::fromBoolean(value.boolean);
    case CellValue::Kind::Error:
      return Scalar::fromError(
          formula::errorFromText(value.text).value_or(formula::ErrorCode::Value));
    case CellValue::Kind::Empty:
      break;
  }
  return Scalar::empty();
}

CellValue toCellValue(const formula::Scalar& value) {
  using Kind = formula::Scalar::Kind;
  switch (value.kind) {
    case Kind::Number:
      if (!std::isfinite(value.number)) return CellValue::fromError(u"#NUM!");
      return CellValue::fromNumber(value.number);
    case Kind::Text:
      return CellValue::fromText(value.text);
    case Kind::Boolean:
      return CellValue::fromBoolean(value.boolean);
    case Kind::Error:
      return CellValue::fromError(std::u16string(formula::errorText(value.error)));
    case Kind::Empty:
      break;
  }
  return CellValue::fromNumber(0);
}

}  // namespace

WorkbookCalculation::WorkbookCalculation(Workbook& workbook)
    : workbook_(workbook), calculator_(std::make_unique<formula::Calculator>(*this)) {}

WorkbookCalculation::~WorkbookCalculation() = default;

void WorkbookCalculation::widenBounds(const Sheet& sheet, int32_t row, int32_t column) {
  auto known = bounds_.find(static_cast<int32_t>(sheet.id()));
  if (known == bounds_.end()) return;
  known->second.lastRow = std::max(known->second.lastRow, row);
  known->second.lastColumn = std::max(known->second.lastColumn, column);
}

void WorkbookCalculation::formulaSet(const Sheet& sheet, int32_t row, int32_t column,
                                     std::u16string_view formula) {
  widenBounds(sheet, row, column);
  if (rebuild_ != Rebuild::None) {
    noteChange(sheet, row, column);
    return;
  }
  calculator_->setFormula({static_cast<int32_t>(sheet.id()), row, column}, formula);
}

void WorkbookCalculation::valueSet(const Sheet& sheet, int32_t row, int32_t column) {
  widenBounds(sheet, row, column);
  if (rebuild_ != Rebuild::None) {
    noteChange(sheet, row, column);
    return;
  }
  calculator_->removeFormula({static_cast<int32_t>(sheet.id()), row, column});
}

void WorkbookCalculation::noteChange(const Sheet& sheet, int32_t row, int32_t column) {
  if (rebuild_ != Rebuild::KeepValues) return;
  if (changedCells_.size() >= kChangesRemembered) {
    requestRebuild(Rebuild::RecalculateAll);
    return;
  }
  changedCells_.push_back({static_cast<int32_t>(sheet.id()), row, column});
}

void WorkbookCalculation::beforeRestructure() {
  // The cached values a rebuild keeps must be up to date.
  if (rebuild_ == Rebuild::None) update();
}

void WorkbookCalculation::requestRebuild(Rebuild kind) {
  rebuild_ = std::max(rebuild_, kind);
  bounds_.clear();
  if (rebuild_ == Rebuild::RecalculateAll) {
    changedCells_.clear();
    changedAreas_.clear();
  }
}

void WorkbookCalculation::rebuildLater() { requestRebuild(Rebuild::KeepValues); }

void WorkbookCalculation::rebuildLater(const Sheet& sheet, const RangeRef& range) {
  requestRebuild(Rebuild::KeepValues);
  if (rebuild_ != Rebuild::KeepValues) return;
  if (changedAreas_.size() >= kChangesRemembered) {
    requestRebuild(Rebuild::RecalculateAll);
    return;
  }
  changedAreas_.push_back({static_cast<int32_t>(sheet.id()), range.firstRow, range.firstColumn,
                           range.lastRow, range.lastColumn});
}

void WorkbookCalculation::rebuildForNames() {
  requestRebuild(Rebuild::KeepValues);
  nameErrorsAgain_ = true;
}

void WorkbookCalculation::loaded() {
  rebuild_ = Rebuild::KeepValues;
  changedCells_.clear();
  changedAreas_.clear();
  nameErrorsAgain_ = false;
  bounds_.clear();
}

void WorkbookCalculation::recalculateAll() { requestRebuild(Rebuild::RecalculateAll); }

void WorkbookCalculation::rebuild() {
  calculator_ = std::make_unique<formula::Calculator>(*this);
  const bool keepValues = rebuild_ == Rebuild::KeepValues;
  std::unordered_set<uint64_t> changed;
  auto keyOf = [](int32_t sheet, int32_t row, int32_t column) {
    return (uint64_t(uint32_t(sheet)) << 34) | (uint64_t(row) << 14) | uint64_t(column);
  };
  for (const auto& cell : changedCells_) changed.insert(keyOf(cell.sheet, cell.row, cell.column));
  auto isChanged = [&](int32_t sheet, int32_t row, int32_t column) {
    if (changed.count(keyOf(sheet, row, column))) return true;
    return std::any_of(changedAreas_.begin(), changedAreas_.end(), [&](const formula::Area& area) {
      return area.contains(sheet, row, column);
    });
  };
  struct Fresh {
    formula::CellPosition position;
    const std::u16string* formula;
    formula::Scalar fallback;
  };
  std::vector<Fresh> fresh;
  // Kept formulas first, so that those calculated afresh find them depending on them.
  for (size_t index = 0; index < workbook_.sheetCount(); ++index) {
    const Sheet& sheet = workbook_.sheet(index);
    const auto id = static_cast<int32_t>(sheet.id());
    for (int32_t row = 0; row < sheet.rowLimit(); ++row) {
      for (const StoredCell& cell : sheet.rowCells(row)) {
        if (!cell.hasFormula()) continue;
        const std::u16string& formula = workbook_.strings().at(cell.formula);
        formula::Scalar cached = toScalar(sheet.valueOf(cell));
        const bool again =
            !keepValues || cached.isEmpty() || isChanged(id, row, cell.column) ||
            (nameErrorsAgain_ && cached.isError() && cached.error == formula::ErrorCode::Name);
        if (again) {
          fresh.push_back({{id, row, cell.column}, &formula, std::move(cached)});
        } else {
          calculator_->keepFormula({id, row, cell.column}, formula, cached);
          markIfArray(sheet, row, cell.column, formula);
        }
      }
    }
  }
  for (const Fresh& entry : fresh) {
    calculator_->setFormula(entry.position, *entry.formula, entry.fallback);
    markIfArray(*workbook_.sheetById(static_cast<uint32_t>(entry.position.sheet)),
                entry.position.row, entry.position.column, *entry.formula);
  }
  for (const auto& cell : changedCells_) calculator_->valueChanged(cell);
  for (const auto& area : changedAreas_) calculator_->areaChanged(area);
  calculator_->refreshVolatile();
  rebuild_ = Rebuild::None;
  nameErrorsAgain_ = false;
  changedCells_.clear();
  changedAreas_.clear();
}

void WorkbookCalculation::markIfArray(const Sheet& sheet, int32_t row, int32_t column,
                                      std::u16string_view formula) {
  const PackageOrigin* origin = workbook_.origin();
  if (origin && origin->isArrayFormula(sheet.id(), row, column, formula)) {
    calculator_->markArrayFormula({static_cast<int32_t>(sheet.id()), row, column});
  }
}

void WorkbookCalculation::update() {
  // Reads made while calculating (the host's own) see the cells as they are.
  if (updating_) return;
  updating_ = true;
  struct Reset {
    WorkbookCalculation& self;
    ~Reset() { self.updating_ = false; }
  } reset{*this};
  if (rebuild_ != Rebuild::None) rebuild();
  calculator_->recalculateDirty(
      [&](const formula::CellPosition& cell, const formula::Scalar& value) { store(cell, value); });
}

void WorkbookCalculation::store(const formula::CellPosition& cell, const formula::Scalar& value) {
  if (Sheet* sheet = workbook_.sheetById(static_cast<uint32_t>(cell.sheet))) {
    sheet->setCachedValue(cell.row, cell.column, toCellValue(value));
  }
}

formula::Scalar WorkbookCalculation::storedValue(int32_t sheet, int32_t row, int32_t column) {
  const Sheet* found = workbook_.sheetById(static_cast<uint32_t>(sheet));
  return found ? toScalar(found->value(row, column)) : formula::Scalar::empty();
}

formula::UsedBounds WorkbookCalculation::usedBounds(int32_t sheet) {
  if (auto known = bounds_.find(sheet); known != bounds_.end()) return known->second;
  formula::UsedBounds bounds;
  if (const Sheet* found = workbook_.sheetById(static_cast<uint32_t>(sheet))) {
    for (int32_t row = 0; row < found->rowLimit(); ++row) {
      const auto cells = found->rowCells(row);
      if (cells.empty()) continue;
      bounds.lastRow = row;
      bounds.lastColumn = std::max(bounds.lastColumn, cells.back().column);
    }
  }
  bounds_.emplace(sheet, bounds);
  return bounds;
}

std::optional<int32_t> WorkbookCalculation::sheetByName(std::u16string_view name) {
  const Sheet* sheet = workbook_.findSheet(name);
  if (!sheet) return std::nullopt;
  return static_cast<int32_t>(sheet->id());
}

std::vector<int32_t> WorkbookCalculation::sheetsBetween(std::u16string_view first,
                                                        std::u16string_view last) {
  const Sheet* from = workbook_.findSheet(first);
  const Sheet* to = workbook_.findSheet(last);
  if (!from || !to) return {};
  size_t a = workbook_.sheetIndex(*from), b = workbook_.sheetIndex(*to);
  if (a > b) std::swap(a, b);
  std::vector<int32_t> sheets;
  for (size_t i = a; i <= b; ++i) sheets.push_back(static_cast<int32_t>(workbook_.sheet(i).id()));
  return sheets;
}

std::optional<formula::TableShape> WorkbookCalculation::tableShape(
    std::u16string_view name, const formula::CellPosition& at) const {
  auto holds = [&](uint32_t sheetId, const RangeRef& area) {
    return name.empty()
               ? static_cast<int32_t>(sheetId) == at.sheet && area.contains(at.row, at.column)
               : false;
  };
  auto shapeOf = [](uint32_t sheetId, const RangeRef& area, int32_t headers, int32_t totals,
                    std::vector<std::u16string> columns) {
    return formula::TableShape{{static_cast<int32_t>(sheetId), area.firstRow, area.firstColumn,
                                area.lastRow, area.lastColumn},
                               headers,
                               totals,
                               std::move(columns)};
  };
  // "[@Amount]" without a table's name is written inside the table.
  for (const TableDefinition& table : workbook_.tables()) {
    if (holds(table.sheetId, table.area) ||
        (!name.empty() && equalsIgnoringCase(table.name, name))) {
      return shapeOf(table.sheetId, table.area, table.headerRows, table.totalsRows, table.columns);
    }
  }
  // Tables the script made live with their sheet's objects.
  for (size_t i = 0; i < workbook_.sheetCount(); ++i) {
    const Sheet& sheet = workbook_.sheet(i);
    for (const SheetTable& table : sheet.objects().tables) {
      if (!holds(sheet.id(), table.range) &&
          (name.empty() || !equalsIgnoringCase(table.name, name)))
        continue;
      std::vector<std::u16string> columns;
      for (const TableColumn& column : table.columns) columns.push_back(column.name);
      return shapeOf(sheet.id(), table.range, table.headerRow ? 1 : 0, table.totalsRow ? 1 : 0,
                     std::move(columns));
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> WorkbookCalculation::tableReference(std::u16string_view name,
                                                                  const formula::CellPosition& at) {
  const auto structured = formula::splitStructuredReference(name);
  if (!structured) return std::nullopt;
  const auto table = tableShape(structured->table, at);
  if (!table) return std::nullopt;
  const Sheet* sheet = workbook_.sheetById(static_cast<uint32_t>(table->area.sheet));
  if (!sheet) return std::nullopt;
  const auto area = formula::resolveStructuredReference(structured->specifier, *table, at.row);
  if (!area) return std::nullopt;
  return quoteSheetName(sheet->name()) + u"!" +
         formatRangeRef({area->firstRow, area->firstColumn, area->lastRow, area->lastColumn}, true);
}

std::optional<std::u16string> WorkbookCalculation::definedName(std::u16string_view name,
                                                               const formula::CellPosition& at) {
  if (!name.empty() && name.back() == u']') return tableReference(name, at);
  const int32_t sheet = at.sheet;
  const DefinedName* found = nullptr;
  const auto qualified = formula::matchQualifiedName(name, 0);
  if (qualified && qualified->length == name.size()) {
    // "Sheet2!Total" reads Total as a formula on Sheet2 would.
    if (const Sheet* named = workbook_.findSheet(qualified->sheet))
      found = workbook_.definedNameSeenFrom(qualified->name, *named);
  } else if (const Sheet* home = workbook_.sheetById(static_cast<uint32_t>(sheet))) {
    found = workbook_.definedNameSeenFrom(name, *home);
  } else {
    found = workbook_.findDefinedName(name);
  }
  // A table's name alone reads its data rows.
  if (!found && !name.empty() && tableShape(name, at))
    return tableReference(std::u16string(name) + u"[]", at);
  if (!found) return std::nullopt;
  return found->reference;
}

formula::DateSystem WorkbookCalculation::dateSystem() { return workbook_.dateSystem(); }

bool WorkbookCalculation::rowHidden(int32_t sheet, int32_t row) {
  const Sheet* found = workbook_.sheetById(static_cast<uint32_t>(sheet));
  if (!found) return false;
  auto format = found->rowFormats().find(row);
  return format != found->rowFormats().end() && format->second.hidden;
}

double WorkbookCalculation::now() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochSerial + std::chrono::duration<double>(since).count() / 86400.0;
}

}  // namespace sx
