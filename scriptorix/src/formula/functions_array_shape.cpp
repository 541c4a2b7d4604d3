#include <cstdlib>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Array arrayArgument(CallArgs& args, std::size_t i) {
  return args.evaluator().toArray(args.value(i));
}

// An array with no cells left has no value to show.
Value shaped(Array array) {
  if (array.rows == 0 || array.columns == 0) return Scalar::fromError(ErrorCode::Value);
  return array;
}

// A 1-based index, negative counting from the end, as a 0-based one; out of range is #VALUE!.
int32_t pickIndex(double given, int32_t count) {
  const int64_t index = toInteger(given);
  if (index == 0 || std::llabs(index) > count) throw FormulaError{ErrorCode::Value};
  return int32_t(index > 0 ? index - 1 : count + index);
}

Value choose(CallArgs& args, bool columns) {
  const Array source = arrayArgument(args, 0);
  std::vector<int32_t> picks;
  for (std::size_t i = 1; i < args.size(); ++i)
    picks.push_back(pickIndex(args.number(i), columns ? source.columns : source.rows));
  Array out{columns ? source.rows : int32_t(picks.size()),
            columns ? int32_t(picks.size()) : source.columns,
            {}};
  for (int32_t r = 0; r < out.rows; ++r) {
    for (int32_t c = 0; c < out.columns; ++c)
      out.cells.push_back(columns ? source.at(r, picks[std::size_t(c)])
                                  : source.at(picks[std::size_t(r)], c));
  }
  return shaped(std::move(out));
}

Value choosecols(CallArgs& args) { return choose(args, true); }
Value chooserows(CallArgs& args) { return choose(args, false); }

// The rows [first, first + count) and columns likewise of an array.
Array window(const Array& source, int32_t firstRow, int32_t rows, int32_t firstColumn,
             int32_t columns) {
  Array out{rows, columns, {}};
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 0; c < columns; ++c)
      out.cells.push_back(source.at(firstRow + r, firstColumn + c));
  }
  return out;
}

// TAKE keeps `n` rows (columns) from the start, or from the end when negative; DROP removes them.
struct Span {
  int32_t first;
  int32_t count;
};

Span spanOf(CallArgs& args, std::size_t i, int32_t size, bool take) {
  if (args.isMissing(i)) return {0, size};
  const int64_t n = toInteger(args.number(i));
  const int32_t amount = int32_t(std::min<int64_t>(std::llabs(n), size));
  if (take) return n >= 0 ? Span{0, amount} : Span{size - amount, amount};
  return n >= 0 ? Span{amount, size - amount} : Span{0, size - amount};
}

Value takeOrDrop(CallArgs& args, bool take) {
  const Array source = arrayArgument(args, 0);
  const Span rows = spanOf(args, 1, source.rows, take);
  const Span columns = spanOf(args, 2, source.columns, take);
  return shaped(window(source, rows.first, rows.count, columns.first, columns.count));
}

Value takeFunction(CallArgs& args) { return takeOrDrop(args, true); }
Value dropFunction(CallArgs& args) { return takeOrDrop(args, false); }

// HSTACK and VSTACK: the arrays side by side or one below the other, short ones padded with #N/A.
Value stack(CallArgs& args, bool horizontal) {
  std::vector<Array> parts;
  int32_t across = 0, along = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    parts.push_back(arrayArgument(args, i));
    const Array& part = parts.back();
    across = std::max(across, horizontal ? part.rows : part.columns);
    along += horizontal ? part.columns : part.rows;
  }
  Array out{horizontal ? across : along, horizontal ? along : across, {}};
  out.cells.assign(std::size_t(out.rows) * out.columns, Scalar::fromError(ErrorCode::NA));
  int32_t offset = 0;
  for (const Array& part : parts) {
    for (int32_t r = 0; r < part.rows; ++r) {
      for (int32_t c = 0; c < part.columns; ++c) {
        const int32_t row = horizontal ? r : offset + r, column = horizontal ? offset + c : c;
        out.cells[std::size_t(row) * out.columns + column] = part.at(r, c);
      }
    }
    offset += horizontal ? part.columns : part.rows;
  }
  return shaped(std::move(out));
}

Value hstack(CallArgs& args) { return stack(args, true); }
Value vstack(CallArgs& args) { return stack(args, false); }

// TOCOL and TOROW: ignore 1 skips blanks, 2 errors, 3 both; read by rows unless told by columns.
Value flatten(CallArgs& args, bool toColumn) {
  const Array source = arrayArgument(args, 0);
  const int64_t ignore = args.isMissing(1) ? 0 : toInteger(args.number(1));
  const bool byColumn = args.booleanOr(2, false);
  if (ignore < 0 || ignore > 3) return Scalar::fromError(ErrorCode::Value);
  std::vector<Scalar> cells;
  const int32_t outer = byColumn ? source.columns : source.rows;
  const int32_t inner = byColumn ? source.rows : source.columns;
  for (int32_t a = 0; a < outer; ++a) {
    for (int32_t b = 0; b < inner; ++b) {
      const Scalar& cell = byColumn ? source.at(b, a) : source.at(a, b);
      if ((ignore & 1) && cell.isEmpty()) continue;
      if ((ignore & 2) && cell.isError()) continue;
      cells.push_back(cell);
    }
  }
  const auto count = int32_t(cells.size());
  return shaped(Array{toColumn ? count : 1, toColumn ? 1 : count, std::move(cells)});
}

Value tocol(CallArgs& args) { return flatten(args, true); }
Value torow(CallArgs& args) { return flatten(args, false); }

constexpr FunctionSpec kFunctions[] = {
    {u"CHOOSECOLS", 2, -1, choosecols},
    {u"CHOOSEROWS", 2, -1, chooserows},
    {u"TAKE", 2, 3, takeFunction},
    {u"DROP", 2, 3, dropFunction},
    {u"HSTACK", 1, -1, hstack},
    {u"VSTACK", 1, -1, vstack},
    {u"TOCOL", 1, 3, tocol},
    {u"TOROW", 1, 3, torow},
};

}  // namespace

std::span<const FunctionSpec> arrayShapeFunctions() { return kFunctions; }

}  // namespace sx::formula
