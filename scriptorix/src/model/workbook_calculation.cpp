#include "model/workbook_calculation.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "model/workbook.h"

namespace sx {

namespace {

// Serial of 1970-01-01 on the 1900 date system.
constexpr double kUnixEpochSerial = 25569;

formula::Scalar toScalar(const CellValue& value) {
  using formula::Scalar;
  switch (value.kind) {
    case CellValue::Kind::Number: return Scalar::fromNumber(value.number);
    case CellValue::Kind::Text: return Scalar::fromText(value.text);
    case CellValue::Kind::Boolean: return Scalar::fromBoolean(value.boolean);
    case CellValue::Kind::Error:
      return Scalar::fromError(formula::errorFromText(value.text).value_or(formula::ErrorCode::Value));
    case CellValue::Kind::Empty: break;
  }
  return Scalar::empty();
}

CellValue toCellValue(const formula::Scalar& value) {
  using Kind = formula::Scalar::Kind;
  switch (value.kind) {
    case Kind::Number:
      if (!std::isfinite(value.number)) return CellValue::fromError(u"#NUM!");
      return CellValue::fromNumber(value.number);
    case Kind::Text: return CellValue::fromText(value.text);
    case Kind::Boolean: return CellValue::fromBoolean(value.boolean);
    case Kind::Error: return CellValue::fromError(std::u16string(formula::errorText(value.error)));
    case Kind::Empty: break;
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
  if (rebuildPending_) return;
  calculator_->setFormula({static_cast<int32_t>(sheet.id()), row, column}, formula);
}

void WorkbookCalculation::valueSet(const Sheet& sheet, int32_t row, int32_t column) {
  widenBounds(sheet, row, column);
  if (rebuildPending_) return;
  calculator_->removeFormula({static_cast<int32_t>(sheet.id()), row, column});
}

void WorkbookCalculation::rebuild() {
  calculator_ = std::make_unique<formula::Calculator>(*this);
  for (size_t index = 0; index < workbook_.sheetCount(); ++index) {
    const Sheet& sheet = workbook_.sheet(index);
    for (int32_t row = 0; row < sheet.rowLimit(); ++row) {
      for (const StoredCell& cell : sheet.rowCells(row)) {
        if (!cell.hasFormula()) continue;
        calculator_->setFormula({static_cast<int32_t>(sheet.id()), row, cell.column},
                                workbook_.strings().at(cell.formula));
      }
    }
  }
  rebuildPending_ = false;
}

void WorkbookCalculation::update() {
  // Reads made while calculating (the host's own) see the cells as they are.
  if (updating_) return;
  updating_ = true;
  struct Reset {
    WorkbookCalculation& self;
    ~Reset() { self.updating_ = false; }
  } reset{*this};
  if (rebuildPending_) rebuild();
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

std::optional<std::u16string> WorkbookCalculation::definedName(std::u16string_view name) {
  const DefinedName* found = workbook_.findDefinedName(name);
  if (!found) return std::nullopt;
  return found->reference;
}

double WorkbookCalculation::now() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochSerial + std::chrono::duration<double>(since).count() / 86400.0;
}

}  // namespace sx
