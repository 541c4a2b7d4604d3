#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/text_case.h"
#include "formula/calculator.h"
#include "formula/eval_context.h"
#include "formula/value_coercion.h"

namespace sx::formula::testing_support {

// A workbook held in maps, for tests and the cross-check driver: it serves both an Evaluator
// directly and a Calculator as its host.
class MemoryWorkbook : public EvalContext, public CalcHost {
 public:
  explicit MemoryWorkbook(std::vector<std::u16string> sheets) : sheets_(std::move(sheets)) {}

  void set(int32_t sheet, int32_t row, int32_t column, Scalar value) {
    cells_[{sheet, row, column}] = std::move(value);
    auto& bounds = bounds_[sheet];
    bounds.lastRow = std::max(bounds.lastRow, row);
    bounds.lastColumn = std::max(bounds.lastColumn, column);
  }
  // Marks a cell as used (a formula lives there) without storing a value.
  void touch(int32_t sheet, int32_t row, int32_t column) {
    auto& bounds = bounds_[sheet];
    bounds.lastRow = std::max(bounds.lastRow, row);
    bounds.lastColumn = std::max(bounds.lastColumn, column);
  }
  void defineName(std::u16string name, std::u16string reference) {
    names_[std::move(name)] = std::move(reference);
  }
  void setCurrentCell(CellPosition cell) { current_ = cell; }
  void setNow(double serial) { now_ = serial; }
  void setDateSystem(DateSystem system) { dates_ = system; }
  void hideRow(int32_t sheet, int32_t row) { hidden_.insert({sheet, row}); }

  Scalar cellValue(int32_t sheet, int32_t row, int32_t column) override {
    return storedValue(sheet, row, column);
  }
  Scalar storedValue(int32_t sheet, int32_t row, int32_t column) override {
    ++reads_;
    auto found = cells_.find({sheet, row, column});
    return found == cells_.end() ? Scalar::empty() : found->second;
  }
  UsedBounds usedBounds(int32_t sheet) override {
    auto found = bounds_.find(sheet);
    return found == bounds_.end() ? UsedBounds{} : found->second;
  }
  std::optional<int32_t> sheetByName(std::u16string_view name) override {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
      if (equalsIgnoringCase(sheets_[i], name)) return int32_t(i);
    }
    return std::nullopt;
  }
  std::vector<int32_t> sheetsBetween(std::u16string_view first, std::u16string_view last) override {
    auto a = sheetByName(first), b = sheetByName(last);
    if (!a || !b) return {};
    std::vector<int32_t> sheets;
    for (int32_t i = std::min(*a, *b); i <= std::max(*a, *b); ++i) sheets.push_back(i);
    return sheets;
  }
  std::optional<std::u16string> definedName(std::u16string_view name,
                                            const CellPosition& at) override {
    (void)at;
    for (const auto& [known, reference] : names_) {
      if (equalsIgnoringCase(known, name)) return reference;
    }
    return std::nullopt;
  }
  CellPosition currentCell() override { return current_; }
  double now() override { return now_; }
  DateSystem dateSystem() override { return dates_; }
  bool rowHidden(int32_t sheet, int32_t row) override { return hidden_.count({sheet, row}) != 0; }
  long reads() const { return reads_; }

 private:
  std::vector<std::u16string> sheets_;
  std::map<std::tuple<int32_t, int32_t, int32_t>, Scalar> cells_;
  std::map<int32_t, UsedBounds> bounds_;
  std::set<std::pair<int32_t, int32_t>> hidden_;
  std::map<std::u16string, std::u16string> names_;
  CellPosition current_{0, 0, 0};
  double now_ = 45000.5;
  DateSystem dates_ = DateSystem::From1900;
  long reads_ = 0;
};

}  // namespace sx::formula::testing_support
