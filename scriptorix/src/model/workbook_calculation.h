#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formula/calculator.h"
#include "formula/structured_reference.h"
#include "model/address.h"

namespace sx {

class Sheet;
class Workbook;

// Keeps the formulas of a workbook calculated. Sheets report each edited cell. Structural
// changes (copy, delete, insert, renames, new sheets or names, large fills) ask for a rebuild,
// which parses every formula again: a formula keeps its cached value (the file's, or our last
// result) unless something it names changed since, so an opened workbook shows the values the
// file holds until they have a reason to change. Calculation is lazy: `update` runs before a
// value, a displayed text or a file is read, calculates what is dirty and stores the results
// as the formula cells' cached values.
class WorkbookCalculation final : public formula::CalcHost {
 public:
  explicit WorkbookCalculation(Workbook& workbook);
  ~WorkbookCalculation() override;
  WorkbookCalculation(const WorkbookCalculation&) = delete;
  WorkbookCalculation& operator=(const WorkbookCalculation&) = delete;

  // `formula` is the stored text, without "=".
  void formulaSet(const Sheet& sheet, int32_t row, int32_t column, std::u16string_view formula);
  // The cell now holds a value, or nothing (a formula there is gone).
  void valueSet(const Sheet& sheet, int32_t row, int32_t column);
  // Called before the workbook's structure changes, while formula positions are still those
  // the calculation knows.
  void beforeRestructure();
  // Sheets or names changed, no cell did.
  void rebuildLater();
  // The cells of `range` hold new values or formulas (a large fill, a copy, cells shifted in).
  void rebuildLater(const Sheet& sheet, const RangeRef& range);
  // Names were added: formulas showing #NAME? may now calculate.
  void rebuildForNames();
  // A reader has filled the workbook: every cached value is the file's.
  void loaded();
  // Every formula is calculated again, whatever its cached value.
  void recalculateAll();
  void update();

  formula::Scalar storedValue(int32_t sheet, int32_t row, int32_t column) override;
  formula::UsedBounds usedBounds(int32_t sheet) override;
  std::optional<int32_t> sheetByName(std::u16string_view name) override;
  std::vector<int32_t> sheetsBetween(std::u16string_view first, std::u16string_view last) override;
  std::optional<std::u16string> definedName(std::u16string_view name,
                                            const formula::CellPosition& at) override;
  double now() override;
  formula::DateSystem dateSystem() override;
  bool rowHidden(int32_t sheet, int32_t row) override;

 private:
  enum class Rebuild { None, KeepValues, RecalculateAll };
  // The table named so (or, with no name, the one holding `at`): read from the file or made by
  // the script.
  std::optional<formula::TableShape> tableShape(std::u16string_view name,
                                                const formula::CellPosition& at) const;
  // A structured reference as reference text, nullopt when its table, column or row is missing.
  std::optional<std::u16string> tableReference(std::u16string_view name,
                                               const formula::CellPosition& at);
  void rebuild();
  void requestRebuild(Rebuild kind);
  void markIfArray(const Sheet& sheet, int32_t row, int32_t column, std::u16string_view formula);
  void noteChange(const Sheet& sheet, int32_t row, int32_t column);
  void store(const formula::CellPosition& cell, const formula::Scalar& value);
  void widenBounds(const Sheet& sheet, int32_t row, int32_t column);

  Workbook& workbook_;
  std::unique_ptr<formula::Calculator> calculator_;
  Rebuild rebuild_ = Rebuild::None;
  bool nameErrorsAgain_ = false;
  // Edits made while a rebuild waits; beyond a limit everything is recalculated instead.
  std::vector<formula::CellPosition> changedCells_;
  std::vector<formula::Area> changedAreas_;
  bool updating_ = false;
  // Per sheet, kept across updates: edits only widen them, and bounds a little too wide only
  // make a formula read a few more empty cells.
  std::unordered_map<int32_t, formula::UsedBounds> bounds_;
};

}  // namespace sx
