#include "formula/calculator.h"

#include <deque>

#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "formula/formula_traits.h"

namespace sx::formula {
namespace {

// Areas wider than this are kept in one list instead of under each of their columns.
constexpr int32_t kNarrowColumns = 64;
// How many of the areas just announced a cell read is checked against before it is recorded.
constexpr std::size_t kRecentAreas = 4;
// Lookup tables whose index is kept; each holds one entry per distinct key.
constexpr std::size_t kCachedIndexes = 8;
// Areas whose values are kept, and the sizes worth keeping: a few cells cost more to copy than
// to look up, and huge areas would hold memory the model already holds (all kept areas
// together hold at most kKeptCells values, some 30 MB).
constexpr std::size_t kCachedAreas = 8;
constexpr int64_t kMinCachedCells = 16;
constexpr int64_t kMaxCachedCells = int64_t(1) << 18;
constexpr std::size_t kKeptCells = std::size_t(1) << 19;

uint64_t columnKey(int32_t sheet, int32_t column) {
  return (uint64_t(uint32_t(sheet)) << 14) | uint64_t(column);
}

// The cells waiting to be calculated. Pushing a cell that already waits moves it to the top
// (its older entry goes stale and is skipped), so the stack holds each cell about once even
// when many formulas wait for the same cells.
class WorkStack {
 public:
  explicit WorkStack(uint64_t root) { push(root); }

  bool empty() {
    dropStale();
    return entries_.empty();
  }
  uint64_t top() {
    dropStale();
    return entries_.back();
  }
  void pop() {
    dropStale();
    latest_.erase(entries_.back());
    entries_.pop_back();
  }
  void push(uint64_t key) {
    latest_[key] = entries_.size();
    entries_.push_back(key);
    if (entries_.size() > 2 * latest_.size() + 1024) compact();
  }
  // Live entries from the top down, until `visit` returns false.
  template <typename Visit>
  void walkDown(Visit visit) {
    for (std::size_t i = entries_.size(); i-- > 0;) {
      if (isLive(i) && !visit(entries_[i])) return;
    }
  }

 private:
  bool isLive(std::size_t i) const {
    auto found = latest_.find(entries_[i]);
    return found != latest_.end() && found->second == i;
  }
  void dropStale() {
    while (!entries_.empty() && !isLive(entries_.size() - 1)) entries_.pop_back();
  }
  void compact() {
    std::vector<uint64_t> live;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!isLive(i)) continue;
      latest_[entries_[i]] = live.size();
      live.push_back(entries_[i]);
    }
    entries_ = std::move(live);
  }

  std::vector<uint64_t> entries_;
  std::unordered_map<uint64_t, std::size_t> latest_;
};

}  // namespace

// The view one formula's evaluation has of the workbook: formula cells come from the
// calculator, all others from the host, and every read is noted.
class Calculator::Context : public EvalContext {
 public:
  Context(Calculator& calculator, const CellPosition& position)
      : calculator_(calculator), position_(position) {}

  Scalar cellValue(int32_t sheet, int32_t row, int32_t column) override {
    if (!coveredByRecentArea(sheet, row, column))
      reads.push_back({sheet, row, column, row, column});
    uint64_t key = keyOf(sheet, row, column);
    auto found = calculator_.formulas_.find(key);
    if (found == calculator_.formulas_.end())
      return calculator_.host_.storedValue(sheet, row, column);
    switch (found->second.state) {
      case State::Done:
        return found->second.value;
      case State::InProgress:
        if (!cycleTarget) cycleTarget = key;
        return Scalar::fromError(ErrorCode::Ref);
      case State::Dirty:
        missing.push_back(key);
        return Scalar::empty();
    }
    return Scalar::empty();
  }

  void readingArea(const Area& area) override { reads.push_back(area); }
  UsedBounds usedBounds(int32_t sheet) override { return calculator_.host_.usedBounds(sheet); }
  std::optional<int32_t> sheetByName(std::u16string_view name) override {
    return calculator_.host_.sheetByName(name);
  }
  std::vector<int32_t> sheetsBetween(std::u16string_view first, std::u16string_view last) override {
    return calculator_.host_.sheetsBetween(first, last);
  }
  std::optional<std::u16string> definedName(std::u16string_view name,
                                            const CellPosition& at) override {
    return calculator_.host_.definedName(name, at);
  }
  std::shared_ptr<const std::vector<Scalar>> areaValues(const Area& area) override {
    return calculator_.areaValues(*this, area);
  }
  LookupAnswer findExact(const Area& keys, const Scalar& wanted) override {
    return calculator_.findExact(*this, keys, wanted);
  }
  CellPosition currentCell() override { return position_; }
  double now() override { return calculator_.host_.now(); }
  DateSystem dateSystem() override { return calculator_.host_.dateSystem(); }
  bool rowHidden(int32_t sheet, int32_t row) override {
    return calculator_.host_.rowHidden(sheet, row);
  }
  bool holdsSubtotal(int32_t sheet, int32_t row, int32_t column) override {
    auto found = calculator_.formulas_.find(keyOf(sheet, row, column));
    return found != calculator_.formulas_.end() && found->second.subtotal;
  }
  std::optional<std::u16string> formatNumber(double value, std::u16string_view format) override {
    return calculator_.host_.formatNumber(value, format);
  }

  std::vector<Area> reads;
  std::vector<uint64_t> missing;
  std::optional<uint64_t> cycleTarget;

 private:
  bool coveredByRecentArea(int32_t sheet, int32_t row, int32_t column) const {
    std::size_t checked = 0;
    for (auto it = reads.rbegin(); it != reads.rend() && checked < kRecentAreas; ++it) {
      if (it->rows() == 1 && it->columns() == 1) continue;
      if (it->contains(sheet, row, column)) return true;
      ++checked;
    }
    return false;
  }

  Calculator& calculator_;
  CellPosition position_;
};

Calculator::Calculator(CalcHost& host) : host_(host) {}
Calculator::~Calculator() = default;

uint64_t Calculator::keyOf(int32_t sheet, int32_t row, int32_t column) {
  return (uint64_t(uint32_t(sheet)) << 34) | (uint64_t(row) << 14) | uint64_t(column);
}

Calculator::FormulaCell Calculator::parsed(const CellPosition& cell,
                                           std::u16string_view formula) const {
  FormulaCell entry;
  entry.position = cell;
  // The stored form has no leading "=", but one given by mistake is not a syntax error.
  if (!formula.empty() && formula.front() == u'=') formula.remove_prefix(1);
  try {
    entry.tree = parseFormula(formula);
    entry.subtotal = callsSubtotal(*entry.tree);
  } catch (const FormulaSyntaxError&) {
    entry.tree = nullptr;
  }
  return entry;
}

void Calculator::setFormula(const CellPosition& cell, std::u16string_view formula,
                            const Scalar& fallback) {
  FormulaCell entry = parsed(cell, formula);
  if (!fallback.isEmpty()) {
    FormulaTraits traits = analyzeFormula(entry.tree.get(), cell.sheet, host_);
    if (!traits.calculable)
      entry.kept = std::make_unique<Uncalculable>(Uncalculable{fallback, std::move(traits.reads)});
  }
  uint64_t key = keyOf(cell.sheet, cell.row, cell.column);
  auto existing = formulas_.find(key);
  entry.queued = existing != formulas_.end() && existing->second.queued;
  if (!entry.queued) {
    entry.queued = true;
    dirtyQueue_.push_back(key);
  }
  formulas_.insert_or_assign(key, std::move(entry));
  invalidateDependents(cell);
}

void Calculator::keepFormula(const CellPosition& cell, std::u16string_view formula,
                             const Scalar& value) {
  FormulaCell entry = parsed(cell, formula);
  FormulaTraits traits = analyzeFormula(entry.tree.get(), cell.sheet, host_);
  const uint64_t key = keyOf(cell.sheet, cell.row, cell.column);
  if (traits.isVolatile && traits.calculable) volatileKept_.push_back(key);
  if (!traits.calculable) entry.kept = std::make_unique<Uncalculable>(Uncalculable{value, {}});
  entry.value = value;
  entry.state = State::Done;
  entry.epoch = nextEpoch_++;
  registerReads(key, entry, traits.reads);
  if (entry.kept) entry.kept->reads = std::move(traits.reads);
  formulas_.insert_or_assign(key, std::move(entry));
  dropCachesCovering(cell);
}

void Calculator::refreshVolatile() {
  std::vector<CellPosition> changed;
  for (uint64_t key : volatileKept_) {
    auto found = formulas_.find(key);
    if (found == formulas_.end() || found->second.state != State::Done) continue;
    markDirty(found->second, key);
    changed.push_back(found->second.position);
  }
  volatileKept_.clear();
  invalidateFrom(std::move(changed));
}

void Calculator::markArrayFormula(const CellPosition& cell) {
  auto found = formulas_.find(keyOf(cell.sheet, cell.row, cell.column));
  if (found != formulas_.end()) found->second.array = true;
}

void Calculator::removeFormula(const CellPosition& cell) {
  formulas_.erase(keyOf(cell.sheet, cell.row, cell.column));
  invalidateDependents(cell);
}

void Calculator::valueChanged(const CellPosition& cell) { invalidateDependents(cell); }

void Calculator::areaChanged(const Area& area) {
  clearCaches();
  auto intersects = [&](const Area& read) {
    return read.sheet == area.sheet && read.firstRow <= area.lastRow &&
           area.firstRow <= read.lastRow && read.firstColumn <= area.lastColumn &&
           area.firstColumn <= read.lastColumn;
  };
  std::vector<CellPosition> changed;
  auto visit = [&](const std::vector<Registration>& list) {
    for (const Registration& registration : list) {
      if (!isCurrent(registration) || !intersects(registration.area)) continue;
      FormulaCell& cell = formulas_.at(registration.formula);
      markDirty(cell, registration.formula);
      changed.push_back(cell.position);
    }
  };
  for (const auto& [key, list] : byCell_) visit(list);
  for (int32_t column = area.firstColumn; column <= area.lastColumn; ++column) {
    if (auto found = byColumn_.find(columnKey(area.sheet, column)); found != byColumn_.end())
      visit(found->second);
  }
  visit(wide_);
  invalidateFrom(std::move(changed));
}

void Calculator::invalidateAll() {
  for (auto& [key, cell] : formulas_) {
    cell.state = State::Dirty;
    if (!cell.queued) dirtyQueue_.push_back(key);
    cell.queued = true;
  }
  clearCaches();
  byCell_.clear();
  byColumn_.clear();
  wide_.clear();
}

bool Calculator::hasFormula(const CellPosition& cell) const {
  return formulas_.count(keyOf(cell.sheet, cell.row, cell.column)) != 0;
}

Scalar Calculator::value(const CellPosition& position) {
  uint64_t key = keyOf(position.sheet, position.row, position.column);
  auto found = formulas_.find(key);
  if (found == formulas_.end())
    return host_.storedValue(position.sheet, position.row, position.column);
  if (found->second.state != State::Done) calculate(key);
  return found->second.value;
}

void Calculator::recalculateDirty(
    const std::function<void(const CellPosition&, const Scalar&)>& report) {
  std::vector<uint64_t> queue;
  queue.swap(dirtyQueue_);
  for (uint64_t key : queue) {
    auto found = formulas_.find(key);
    if (found == formulas_.end()) continue;
    found->second.queued = false;
    if (found->second.state != State::Done) calculate(key);
  }
  for (uint64_t key : queue) {
    auto found = formulas_.find(key);
    if (found != formulas_.end() && found->second.state == State::Done) {
      report(found->second.position, found->second.value);
    }
  }
}

LookupAnswer Calculator::findExact(Context& context, const Area& keys, const Scalar& wanted) {
  for (auto it = indexes_.begin(); it != indexes_.end(); ++it) {
    if (it->keys == keys) return {true, it->index.find(wanted)};
  }
  CachedIndex built{keys, {}};
  const std::size_t waitingBefore = context.missing.size();
  const bool cycleBefore = context.cycleTarget.has_value();
  int32_t position = 0;
  for (int32_t row = keys.firstRow; row <= keys.lastRow; ++row) {
    for (int32_t column = keys.firstColumn; column <= keys.lastColumn; ++column) {
      built.index.add(context.cellValue(keys.sheet, row, column), position++);
    }
  }
  LookupAnswer answer{true, built.index.find(wanted)};
  // An index that saw cells still waiting for calculation would go stale when they are done.
  if (context.missing.size() == waitingBefore && context.cycleTarget.has_value() == cycleBefore) {
    if (indexes_.size() >= kCachedIndexes) indexes_.erase(indexes_.begin());
    indexes_.push_back(std::move(built));
  }
  return answer;
}

std::shared_ptr<const std::vector<Scalar>> Calculator::areaValues(Context& context,
                                                                  const Area& area) {
  const int64_t cells = int64_t(area.rows()) * area.columns();
  if (cells < kMinCachedCells || cells > kMaxCachedCells) return nullptr;
  for (const CachedArea& cached : areas_) {
    if (cached.area == area) return cached.values;
  }
  auto values = std::make_shared<std::vector<Scalar>>();
  values->reserve(std::size_t(cells));
  const std::size_t waitingBefore = context.missing.size();
  const bool cycleBefore = context.cycleTarget.has_value();
  for (int32_t row = area.firstRow; row <= area.lastRow; ++row) {
    for (int32_t column = area.firstColumn; column <= area.lastColumn; ++column) {
      values->push_back(context.cellValue(area.sheet, row, column));
    }
  }
  // Values read while cells of the area still wait for calculation are not the area's own.
  if (context.missing.size() == waitingBefore && context.cycleTarget.has_value() == cycleBefore) {
    std::size_t kept = values->size();
    for (const CachedArea& cached : areas_) kept += cached.values->size();
    while (!areas_.empty() && (areas_.size() >= kCachedAreas || kept > kKeptCells)) {
      kept -= areas_.front().values->size();
      areas_.erase(areas_.begin());
    }
    areas_.push_back({area, values});
  }
  return values;
}

void Calculator::dropCachesCovering(const CellPosition& cell) {
  std::erase_if(indexes_, [&](const CachedIndex& cached) {
    return cached.keys.contains(cell.sheet, cell.row, cell.column);
  });
  std::erase_if(areas_, [&](const CachedArea& cached) {
    return cached.area.contains(cell.sheet, cell.row, cell.column);
  });
}

void Calculator::clearCaches() {
  indexes_.clear();
  areas_.clear();
}

void Calculator::markDirty(FormulaCell& cell, uint64_t key) {
  cell.state = State::Dirty;
  if (!cell.queued) dirtyQueue_.push_back(key);
  cell.queued = true;
  dropCachesCovering(cell.position);
}

void Calculator::calculate(uint64_t root) {
  WorkStack stack(root);
  while (!stack.empty()) {
    uint64_t key = stack.top();
    FormulaCell& cell = formulas_.at(key);
    if (cell.state == State::Done) {
      stack.pop();
      continue;
    }
    if (cell.kept) {
      finish(cell, key, cell.kept->value, cell.kept->reads);
      stack.pop();
      continue;
    }
    if (!cell.tree) {
      finish(cell, key, Scalar::fromError(ErrorCode::Name), {});
      stack.pop();
      continue;
    }
    cell.state = State::InProgress;
    Context context(*this, cell.position);
    Evaluator evaluator(context);
    Scalar result = evaluator.evaluateFormula(*cell.tree, cell.array);
    if (context.cycleTarget) {
      // The waiting cells from the top of the stack down to the one read again form the cycle.
      cell.pendingReads = std::move(context.reads);
      stack.walkDown([&](uint64_t member) {
        FormulaCell& waiting = formulas_.at(member);
        if (waiting.state == State::InProgress) {
          std::vector<Area> reads = std::move(waiting.pendingReads);
          finish(waiting, member, Scalar::fromError(ErrorCode::Ref), reads);
        }
        return member != *context.cycleTarget;
      });
      continue;
    }
    if (!context.missing.empty()) {
      cell.pendingReads = std::move(context.reads);
      for (uint64_t missing : context.missing) stack.push(missing);
      continue;
    }
    finish(cell, key, std::move(result), context.reads);
    stack.pop();
  }
}

void Calculator::finish(FormulaCell& cell, uint64_t key, Scalar value,
                        const std::vector<Area>& reads) {
  cell.value = std::move(value);
  cell.state = State::Done;
  cell.epoch = nextEpoch_++;
  cell.pendingReads.clear();
  registerReads(key, cell, reads);
}

void Calculator::registerReads(uint64_t key, const FormulaCell& cell,
                               const std::vector<Area>& reads) {
  for (const Area& area : reads) {
    Registration registration{key, cell.epoch, area};
    if (area.rows() == 1 && area.columns() == 1) {
      byCell_[keyOf(area.sheet, area.firstRow, area.firstColumn)].push_back(registration);
    } else if (area.columns() <= kNarrowColumns) {
      for (int32_t column = area.firstColumn; column <= area.lastColumn; ++column) {
        byColumn_[columnKey(area.sheet, column)].push_back(registration);
      }
    } else {
      wide_.push_back(registration);
    }
  }
}

bool Calculator::isCurrent(const Registration& registration) const {
  auto found = formulas_.find(registration.formula);
  return found != formulas_.end() && found->second.state == State::Done &&
         found->second.epoch == registration.epoch;
}

template <typename Visit>
void Calculator::visitDependents(std::vector<Registration>& list, const CellPosition& cell,
                                 Visit visit) {
  // Registrations of formulas recalculated or removed since are dropped on the way.
  for (std::size_t i = 0; i < list.size();) {
    if (!isCurrent(list[i])) {
      list[i] = list.back();
      list.pop_back();
      continue;
    }
    uint64_t formula = list[i].formula;
    bool hit = list[i].area.contains(cell.sheet, cell.row, cell.column);
    ++i;
    if (hit) visit(formula);
  }
}

void Calculator::invalidateDependents(const CellPosition& changed) {
  dropCachesCovering(changed);
  invalidateFrom({changed});
}

void Calculator::invalidateFrom(std::vector<CellPosition> pending) {
  // Nothing has been calculated yet (a workbook being filled): no one can depend on the cell.
  if (byCell_.empty() && byColumn_.empty() && wide_.empty()) return;
  std::deque<CellPosition> queue(pending.begin(), pending.end());
  auto markDependent = [&](uint64_t formula) {
    FormulaCell& cell = formulas_.at(formula);
    if (cell.state != State::Done) return;
    markDirty(cell, formula);
    queue.push_back(cell.position);
  };
  while (!queue.empty()) {
    CellPosition cell = queue.front();
    queue.pop_front();
    if (auto found = byCell_.find(keyOf(cell.sheet, cell.row, cell.column));
        found != byCell_.end()) {
      visitDependents(found->second, cell, markDependent);
      if (found->second.empty()) byCell_.erase(found);
    }
    if (auto found = byColumn_.find(columnKey(cell.sheet, cell.column)); found != byColumn_.end()) {
      visitDependents(found->second, cell, markDependent);
    }
    visitDependents(wide_, cell, markDependent);
  }
}

}  // namespace sx::formula
