#include <optional>

#include "formula/exact_match_index.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

enum class MatchMode {
  Exact,
  ExactWildcard,
  NextSmaller,
  NextLarger,
  SortedAscending,
  SortedDescending
};

bool sameValue(const Scalar& wanted, const Scalar& candidate, bool wildcards) {
  if (candidate.isError() || wanted.kind != candidate.kind) return false;
  if (wanted.isText() && wildcards) return wildcardMatch(wanted.text, candidate.text);
  return compareScalars(wanted, candidate) == 0;
}

// The 0-based position in `count` candidates (read through `at`) that matches `wanted`.
template <typename At>
std::optional<int32_t> findPosition(const Scalar& wanted, int32_t count, At at, MatchMode mode,
                                    bool reverse = false) {
  std::optional<int32_t> best;
  std::optional<Scalar> bestValue;
  for (int32_t step = 0; step < count; ++step) {
    int32_t i = reverse ? count - 1 - step : step;
    Scalar candidate = at(i);
    switch (mode) {
      case MatchMode::Exact:
      case MatchMode::ExactWildcard:
        if (sameValue(wanted, candidate, mode == MatchMode::ExactWildcard)) return i;
        break;
      case MatchMode::SortedAscending:
      case MatchMode::SortedDescending: {
        // Sorted data: the last value on the right side of `wanted` before the order breaks.
        if (candidate.kind != wanted.kind) continue;
        int order = compareScalars(candidate, wanted);
        bool within = mode == MatchMode::SortedAscending ? order <= 0 : order >= 0;
        if (!within) return best;
        best = i;
        break;
      }
      case MatchMode::NextSmaller:
      case MatchMode::NextLarger: {
        if (candidate.kind != wanted.kind) continue;
        int order = compareScalars(candidate, wanted);
        if (order == 0) return i;
        bool side = mode == MatchMode::NextSmaller ? order < 0 : order > 0;
        if (!side) continue;
        if (!bestValue ||
            (mode == MatchMode::NextSmaller ? compareScalars(candidate, *bestValue) > 0
                                            : compareScalars(candidate, *bestValue) < 0)) {
          best = i;
          bestValue = candidate;
        }
        break;
      }
    }
  }
  return best;
}

// Below this many keys a scan is as quick as asking for an index.
constexpr int32_t kIndexedLookupKeys = 64;

// Exact matches over a large area of the sheet go through the host's index when it keeps one;
// `vertical`: the keys run down the first column of `grid`, else along its first row.
template <typename At>
std::optional<int32_t> findExactPosition(CallArgs& args, const Scalar& wanted, const Grid& grid,
                                         bool vertical, int32_t count, At at, MatchMode mode) {
  if (grid.isArea() && count >= kIndexedLookupKeys &&
      ExactMatchIndex::canFind(wanted, mode == MatchMode::ExactWildcard)) {
    Area keys = grid.area();
    if (vertical) {
      keys.lastColumn = keys.firstColumn;
      keys.lastRow = keys.firstRow + count - 1;
    } else {
      keys.lastRow = keys.firstRow;
      keys.lastColumn = keys.firstColumn + count - 1;
    }
    LookupAnswer answer = args.evaluator().context().findExact(keys, wanted);
    if (answer.answered) return answer.position;
  }
  return findPosition(wanted, count, at, mode);
}

Value tableLookup(CallArgs& args, bool vertical) {
  Scalar wanted = args.scalar(0);
  Grid table = args.grid(1);
  int64_t index = toInteger(args.number(2));
  bool sorted = args.booleanOr(3, true);
  if (index < 1) return Scalar::fromError(ErrorCode::Value);
  if (index > (vertical ? table.fullColumns() : table.fullRows()))
    return Scalar::fromError(ErrorCode::Ref);
  int32_t count = vertical ? table.rows() : table.columns();
  auto key = [&](int32_t i) { return vertical ? table.at(i, 0) : table.at(0, i); };
  MatchMode mode = sorted ? MatchMode::SortedAscending : MatchMode::ExactWildcard;
  auto found = sorted ? findPosition(wanted, count, key, mode)
                      : findExactPosition(args, wanted, table, vertical, count, key, mode);
  if (!found) return Scalar::fromError(ErrorCode::NA);
  return vertical ? table.at(*found, int32_t(index - 1)) : table.at(int32_t(index - 1), *found);
}

Value vlookup(CallArgs& args) { return tableLookup(args, true); }
Value hlookup(CallArgs& args) { return tableLookup(args, false); }

Value match(CallArgs& args) {
  Scalar wanted = args.scalar(0);
  Grid range = args.grid(1);
  double type = args.numberOr(2, 1);
  if (range.fullRows() != 1 && range.fullColumns() != 1) return Scalar::fromError(ErrorCode::NA);
  bool column = range.fullColumns() == 1;
  int32_t count = column ? range.rows() : range.columns();
  auto at = [&](int32_t i) { return column ? range.at(i, 0) : range.at(0, i); };
  MatchMode mode = type == 0
                       ? MatchMode::ExactWildcard
                       : (type > 0 ? MatchMode::SortedAscending : MatchMode::SortedDescending);
  auto found = mode == MatchMode::ExactWildcard
                   ? findExactPosition(args, wanted, range, column, count, at, mode)
                   : findPosition(wanted, count, at, mode);
  if (!found) return Scalar::fromError(ErrorCode::NA);
  return number(double(*found + 1));
}

// Row `row` (or column) of a grid as a value: a reference into the sheet, or part of an array.
Value slice(const Grid& grid, bool row, int32_t index) {
  if (grid.isArea()) {
    Area area = grid.area();
    if (row) {
      area.firstRow = area.lastRow = area.firstRow + index;
    } else {
      area.firstColumn = area.lastColumn = area.firstColumn + index;
    }
    return References{area};
  }
  Array out{row ? 1 : grid.fullRows(), row ? grid.fullColumns() : 1, {}};
  for (int32_t i = 0; i < (row ? grid.fullColumns() : grid.fullRows()); ++i) {
    out.cells.push_back(row ? grid.at(index, i) : grid.at(i, index));
  }
  if (out.cells.size() == 1) return out.cells.front();
  return out;
}

// Sorted data searched by halving (XLOOKUP and XMATCH search modes 2 and -2): the position of
// `wanted`, or for the next-smaller and next-larger modes the nearest value on that side.
template <typename At>
std::optional<int32_t> binarySearch(const Scalar& wanted, int32_t count, At at, MatchMode mode,
                                    bool descending) {
  int32_t low = 0, high = count - 1;
  std::optional<int32_t> below, above;  // nearest smaller and larger seen so far
  while (low <= high) {
    const int32_t middle = low + (high - low) / 2;
    const int order = compareScalars(at(middle), wanted);
    if (order == 0) return middle;
    if (order < 0) below = middle;
    if (order > 0) above = middle;
    if ((order < 0) != descending) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  if (mode == MatchMode::NextSmaller) return below;
  if (mode == MatchMode::NextLarger) return above;
  return std::nullopt;
}

// The match of XLOOKUP and XMATCH: `column` says the keys run down a column.
std::optional<int32_t> xPosition(CallArgs& args, const Scalar& wanted, const Grid& lookup,
                                 bool column, std::size_t matchArg) {
  const int64_t matchMode = args.isMissing(matchArg) ? 0 : toInteger(args.number(matchArg));
  const int64_t searchMode =
      args.isMissing(matchArg + 1) ? 1 : toInteger(args.number(matchArg + 1));
  MatchMode mode;
  switch (matchMode) {
    case 0:
      mode = MatchMode::Exact;
      break;
    case -1:
      mode = MatchMode::NextSmaller;
      break;
    case 1:
      mode = MatchMode::NextLarger;
      break;
    case 2:
      mode = MatchMode::ExactWildcard;
      break;
    default:
      throw FormulaError{ErrorCode::Value};
  }
  const bool binary = searchMode == 2 || searchMode == -2;
  if (searchMode != 1 && searchMode != -1 && !binary) throw FormulaError{ErrorCode::Value};
  if (binary && mode == MatchMode::ExactWildcard) throw FormulaError{ErrorCode::Value};
  int32_t count = column ? lookup.rows() : lookup.columns();
  auto at = [&](int32_t i) { return column ? lookup.at(i, 0) : lookup.at(0, i); };
  if (binary) return binarySearch(wanted, count, at, mode, searchMode == -2);
  bool exact = mode == MatchMode::Exact || mode == MatchMode::ExactWildcard;
  return exact && searchMode == 1 ? findExactPosition(args, wanted, lookup, column, count, at, mode)
                                  : findPosition(wanted, count, at, mode, searchMode == -1);
}

Value xlookup(CallArgs& args) {
  Scalar wanted = args.scalar(0);
  Grid lookup = args.grid(1);
  Grid results = args.grid(2);
  if (lookup.fullRows() != 1 && lookup.fullColumns() != 1)
    return Scalar::fromError(ErrorCode::Value);
  bool column = lookup.fullColumns() == 1 && lookup.fullRows() != 1;
  int32_t length = column ? lookup.fullRows() : lookup.fullColumns();
  if ((column ? results.fullRows() : results.fullColumns()) != length)
    return Scalar::fromError(ErrorCode::Value);
  auto found = xPosition(args, wanted, lookup, column, 4);
  if (!found) {
    if (args.size() > 3 && !args.isMissing(3)) return args.value(3);
    return Scalar::fromError(ErrorCode::NA);
  }
  return slice(results, column, *found);
}

Value xmatch(CallArgs& args) {
  Scalar wanted = args.scalar(0);
  Grid lookup = args.grid(1);
  if (lookup.fullRows() != 1 && lookup.fullColumns() != 1)
    return Scalar::fromError(ErrorCode::Value);
  bool column = lookup.fullColumns() == 1 && lookup.fullRows() != 1;
  auto found = xPosition(args, wanted, lookup, column, 2);
  if (!found) return Scalar::fromError(ErrorCode::NA);
  return number(double(*found + 1));
}

// LOOKUP: the last key not above `wanted` in sorted keys; the answer comes from the result
// vector, or without one from the last row or column of the table (the keys' own value when
// they are one row or column).
Value lookup(CallArgs& args) {
  Scalar wanted = args.scalar(0);
  Grid table = args.grid(1);
  const bool hasResults = !args.isMissing(2);
  const bool acrossRow = hasResults ? table.fullRows() == 1 && table.fullColumns() > 1
                                    : table.fullColumns() > table.fullRows();
  if (hasResults && table.fullRows() != 1 && table.fullColumns() != 1)
    return Scalar::fromError(ErrorCode::NA);
  int32_t count = acrossRow ? table.columns() : table.rows();
  auto key = [&](int32_t i) { return acrossRow ? table.at(0, i) : table.at(i, 0); };
  // Halving, as the application does: an exact hit ends the search even in keys out of order.
  auto found = binarySearch(wanted, count, key, MatchMode::NextSmaller, false);
  if (!found) return Scalar::fromError(ErrorCode::NA);
  if (!hasResults) {
    return acrossRow ? table.at(table.fullRows() - 1, *found)
                     : table.at(*found, table.fullColumns() - 1);
  }
  Grid results = args.grid(2);
  const bool resultsAcross = results.fullRows() == 1 && results.fullColumns() > 1;
  if (*found >= (resultsAcross ? results.fullColumns() : results.fullRows()))
    return Scalar::fromError(ErrorCode::NA);
  return resultsAcross ? results.at(0, *found) : results.at(*found, 0);
}

Value index(CallArgs& args) {
  Grid grid = args.grid(0);
  int64_t row = toInteger(args.numberOr(1, 0));
  int64_t column = toInteger(args.numberOr(2, 0));
  // A single row or column takes one index along its length.
  if (args.size() < 3 && grid.fullRows() == 1 && grid.fullColumns() > 1) std::swap(row, column);
  if (row < 0 || column < 0 || row > grid.fullRows() || column > grid.fullColumns()) {
    return Scalar::fromError(ErrorCode::Ref);
  }
  if (row == 0 && column == 0) return args.value(0);
  if (row == 0) return slice(grid, false, int32_t(column - 1));
  if (column == 0) {
    if (grid.fullColumns() == 1)
      column = 1;
    else
      return slice(grid, true, int32_t(row - 1));
  }
  if (grid.isArea()) {
    Area area = grid.area();
    area.firstRow = area.lastRow = area.firstRow + int32_t(row - 1);
    area.firstColumn = area.lastColumn = area.firstColumn + int32_t(column - 1);
    return References{area};
  }
  return grid.at(int32_t(row - 1), int32_t(column - 1));
}

Value rowOrColumn(CallArgs& args, bool row) {
  if (args.isMissing(0)) {
    CellPosition here = args.evaluator().context().currentCell();
    return number(double((row ? here.row : here.column) + 1));
  }
  References refs = args.references(0);
  if (refs.size() != 1) return Scalar::fromError(ErrorCode::Ref);
  return number(double((row ? refs.front().firstRow : refs.front().firstColumn) + 1));
}

Value row(CallArgs& args) { return rowOrColumn(args, true); }
Value column(CallArgs& args) { return rowOrColumn(args, false); }

Value rows(CallArgs& args) { return number(double(args.grid(0).fullRows())); }
Value columns(CallArgs& args) { return number(double(args.grid(0).fullColumns())); }

constexpr FunctionSpec kFunctions[] = {
    {u"VLOOKUP", 3, 4, vlookup}, {u"HLOOKUP", 3, 4, hlookup}, {u"XLOOKUP", 3, 6, xlookup},
    {u"MATCH", 2, 3, match},     {u"INDEX", 1, 3, index},     {u"ROW", 0, 1, row},
    {u"COLUMN", 0, 1, column},   {u"ROWS", 1, 1, rows},       {u"COLUMNS", 1, 1, columns},
    {u"XMATCH", 2, 4, xmatch},   {u"LOOKUP", 2, 3, lookup},
};

}  // namespace

std::span<const FunctionSpec> lookupFunctions() { return kFunctions; }

}  // namespace sx::formula
