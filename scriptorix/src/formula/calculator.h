#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formula/eval_context.h"
#include "formula/exact_match_index.h"
#include "formula/formula_ast.h"

namespace sx::formula {

// What the calculator needs from the workbook that owns the cells.
class CalcHost {
 public:
  virtual ~CalcHost() = default;
  // The value of a cell that holds no formula (Empty when nothing is there).
  virtual Scalar storedValue(int32_t sheet, int32_t row, int32_t column) = 0;
  // Used bounds including formula cells.
  virtual UsedBounds usedBounds(int32_t sheet) = 0;
  virtual std::optional<int32_t> sheetByName(std::u16string_view name) = 0;
  virtual std::vector<int32_t> sheetsBetween(std::u16string_view first,
                                             std::u16string_view last) = 0;
  virtual std::optional<std::u16string> definedName(std::u16string_view name,
                                                    const CellPosition& at) = 0;
  virtual double now() = 0;
  virtual DateSystem dateSystem() { return DateSystem::From1900; }
  virtual bool rowHidden(int32_t sheet, int32_t row) {
    (void)sheet;
    (void)row;
    return false;
  }
  virtual std::optional<std::u16string> formatNumber(double value, std::u16string_view format) {
    (void)value;
    (void)format;
    return std::nullopt;
  }
};

// Holds the formula cells of a workbook and calculates them on demand, each once until
// something it read changes.
//
// - Values are computed when asked for, without recursion: a formula that reads a formula cell
//   not yet calculated is set aside on an explicit stack until that cell is done, so chains of
//   any length cannot overflow the call stack.
// - Every cell on a circular reference gets #REF! (the cycle is broken, never followed).
// - A formula that does not parse, or calls an unknown function, gets #NAME?, unless it came
//   with a value (from a file): then it keeps that value.
// - Dependencies are recorded as the cells and areas a formula actually read; a change to a
//   stored value (valueChanged), a formula (setFormula/removeFormula) marks what depends on it,
//   transitively, for recalculation.
// - Changes the calculator cannot see as a cell (a sheet added, renamed or removed, a defined
//   name changed, rows or columns shifted) call invalidateAll. TODAY and NOW are read at
//   calculation time and not recalculated by themselves.
// - Exact lookups over an area build an index of its keys once (ExactMatchIndex) and keep it
//   while no cell of that area changes or waits for recalculation; a few recent areas are
//   kept, so 100k VLOOKUPs into one 100k-row table cost one pass over the table, not 100k.
class Calculator {
 public:
  explicit Calculator(CalcHost& host);
  ~Calculator();
  Calculator(const Calculator&) = delete;
  Calculator& operator=(const Calculator&) = delete;

  // A formula to calculate. Should it call what this library cannot calculate, `fallback` (the
  // value a file gave it, when not empty) is its value instead of an error.
  void setFormula(const CellPosition& cell, std::u16string_view formula,
                  const Scalar& fallback = Scalar::empty());
  // A formula with the value it was last calculated to (by the application that wrote the
  // file, say): kept until something the formula names changes, and for good when it cannot
  // be calculated here. For a calculator being filled; a volatile formula is calculated again
  // once refreshVolatile is called.
  void keepFormula(const CellPosition& cell, std::u16string_view formula, const Scalar& value);
  void refreshVolatile();
  // The formula of the cell is an array formula: its operators and functions work on whole
  // arrays, and the cell shows the first element of the result.
  void markArrayFormula(const CellPosition& cell);
  void removeFormula(const CellPosition& cell);
  void valueChanged(const CellPosition& cell);
  // Every cell of the area may hold something new: whatever reads it is calculated again.
  void areaChanged(const Area& area);
  void invalidateAll();
  bool hasFormula(const CellPosition& cell) const;
  // The calculated value of a formula cell, or the stored value of any other cell.
  Scalar value(const CellPosition& cell);
  // Calculates every formula that is dirty and reports each one calculated since the last call
  // (a cell may be reported more than once).
  void recalculateDirty(const std::function<void(const CellPosition&, const Scalar&)>& report);

 private:
  enum class State { Dirty, InProgress, Done };
  // The value a formula this library cannot calculate keeps, and what it names (so that what
  // depends on it is still found).
  struct Uncalculable {
    Scalar value;
    std::vector<Area> reads;
  };
  struct FormulaCell {
    CellPosition position;
    NodePtr tree;  // null when the formula does not parse
    std::unique_ptr<Uncalculable> kept;
    State state = State::Dirty;
    bool array = false;
    bool subtotal = false;  // calls SUBTOTAL or AGGREGATE
    Scalar value;
    uint64_t epoch = 0;
    std::vector<Area> pendingReads;  // reads of an evaluation that waits for other cells
    bool queued = false;             // waits in dirtyQueue_ to be calculated and reported
  };
  struct CachedIndex {
    Area keys;
    ExactMatchIndex index;
  };
  struct Registration {
    uint64_t formula;
    uint64_t epoch;
    Area area;
  };
  class Context;

  static uint64_t keyOf(int32_t sheet, int32_t row, int32_t column);
  void calculate(uint64_t key);
  void finish(FormulaCell& cell, uint64_t key, Scalar value, const std::vector<Area>& reads);
  void registerReads(uint64_t key, const FormulaCell& cell, const std::vector<Area>& reads);
  void invalidateDependents(const CellPosition& changed);
  void invalidateFrom(std::vector<CellPosition> pending);
  FormulaCell parsed(const CellPosition& cell, std::u16string_view formula) const;
  bool isCurrent(const Registration& registration) const;
  void markDirty(FormulaCell& cell, uint64_t key);
  LookupAnswer findExact(Context& context, const Area& keys, const Scalar& wanted);
  std::shared_ptr<const std::vector<Scalar>> areaValues(Context& context, const Area& area);
  // The kept lookup indexes and area values that a change of `cell` makes stale.
  void dropCachesCovering(const CellPosition& cell);
  void clearCaches();
  template <typename Visit>
  void visitDependents(std::vector<Registration>& list, const CellPosition& cell, Visit visit);

  CalcHost& host_;
  std::unordered_map<uint64_t, FormulaCell> formulas_;
  std::unordered_map<uint64_t, std::vector<Registration>> byCell_;    // reads of one cell
  std::unordered_map<uint64_t, std::vector<Registration>> byColumn_;  // narrow areas, per column
  std::vector<Registration> wide_;                                    // areas of many columns
  uint64_t nextEpoch_ = 1;
  std::vector<uint64_t> dirtyQueue_;
  std::vector<uint64_t> volatileKept_;  // kept formulas refreshVolatile calculates again
  std::vector<CachedIndex> indexes_;    // most recently built last
  struct CachedArea {
    Area area;
    std::shared_ptr<const std::vector<Scalar>> values;
  };
  std::vector<CachedArea> areas_;  // most recently read last
};

}  // namespace sx::formula
