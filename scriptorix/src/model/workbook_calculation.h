#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "formula/calculator.h"

namespace sx {

class Sheet;
class Workbook;

// Keeps the formulas of a workbook calculated. Sheets report each edited cell; structural
// changes (copy, delete, insert, renames, new sheets or names) ask for a rebuild, which parses
// every formula again and recalculates them all. Calculation is lazy: `update` runs before a
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
  void rebuildLater() {
    rebuildPending_ = true;
    bounds_.clear();
  }
  void update();

  formula::Scalar storedValue(int32_t sheet, int32_t row, int32_t column) override;
  formula::UsedBounds usedBounds(int32_t sheet) override;
  std::optional<int32_t> sheetByName(std::u16string_view name) override;
  std::optional<std::u16string> definedName(std::u16string_view name) override;
  double now() override;

 private:
  void rebuild();
  void store(const formula::CellPosition& cell, const formula::Scalar& value);
  void widenBounds(const Sheet& sheet, int32_t row, int32_t column);

  Workbook& workbook_;
  std::unique_ptr<formula::Calculator> calculator_;
  bool rebuildPending_ = false;
  bool updating_ = false;
  // Per sheet, kept across updates: edits only widen them, and bounds a little too wide only
  // make a formula read a few more empty cells.
  std::unordered_map<int32_t, formula::UsedBounds> bounds_;
};

}  // namespace sx
