#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/order_statistics.h"

namespace sx::formula {
namespace {

// What SUBTOTAL and AGGREGATE leave out of their ranges.
struct Skips {
  bool nested = true;   // cells whose formula calls SUBTOTAL or AGGREGATE
  bool hidden = false;  // hidden rows
  bool errors = false;  // error values (otherwise the first one met is the result)
};

// The values kept: the numbers, how many cells held anything (COUNTA), and the first error
// met, which is the result of every function but COUNT and COUNTA.
struct Gathered {
  std::vector<double> numbers;
  double nonEmpty = 0;
  std::optional<ErrorCode> error;
};

void gather(const Scalar& value, const Skips& skips, Gathered& out) {
  if (value.isError() && skips.errors) return;
  if (value.isError() && !out.error) out.error = value.error;
  if (!value.isEmpty()) out.nonEmpty += 1;
  if (value.isNumber()) out.numbers.push_back(value.number);
}

void gatherReferences(CallArgs& args, std::size_t i, const Skips& skips, Gathered& out) {
  EvalContext& context = args.evaluator().context();
  for (const Area& area : args.references(i)) {
    args.evaluator().forEachCell(area, [&](const Scalar& value, int32_t row, int32_t column) {
      if (skips.hidden && context.rowHidden(area.sheet, row)) return;
      if (skips.nested && context.holdsSubtotal(area.sheet, row, column)) return;
      gather(value, skips, out);
    });
  }
}

double sumOf(const std::vector<double>& numbers) {
  double total = 0;
  for (double n : numbers) total += n;
  return total;
}

double varianceOf(const std::vector<double>& numbers, bool sample) {
  double n = double(numbers.size());
  if (n < (sample ? 2 : 1)) throw FormulaError{ErrorCode::Div0};
  double mean = sumOf(numbers) / n, squares = 0;
  for (double v : numbers) squares += (v - mean) * (v - mean);
  return squares / (sample ? n - 1 : n);
}

// Functions 1-11 are those of SUBTOTAL; AGGREGATE adds 12-19, of which 14-19 take `k`.
Value aggregateOf(int function, Gathered& values, double k) {
  std::vector<double>& numbers = values.numbers;
  if (values.error && function != 2 && function != 3) return Scalar::fromError(*values.error);
  switch (function) {
    case 1:
      if (numbers.empty()) return Scalar::fromError(ErrorCode::Div0);
      return number(sumOf(numbers) / double(numbers.size()));
    case 2:
      return number(double(numbers.size()));
    case 3:
      return number(values.nonEmpty);
    case 4:
      return number(numbers.empty() ? 0 : *std::max_element(numbers.begin(), numbers.end()));
    case 5:
      return number(numbers.empty() ? 0 : *std::min_element(numbers.begin(), numbers.end()));
    case 6: {
      double product = numbers.empty() ? 0 : 1;
      for (double n : numbers) product *= n;
      return number(product);
    }
    case 7:
      return number(std::sqrt(varianceOf(numbers, true)));
    case 8:
      return number(std::sqrt(varianceOf(numbers, false)));
    case 9:
      return number(sumOf(numbers));
    case 10:
      return number(varianceOf(numbers, true));
    case 11:
      return number(varianceOf(numbers, false));
    default:
      break;
  }
  if (function == 13) {
    auto found = modes(numbers);  // in the order met: the first of the most frequent
    if (found.empty()) return Scalar::fromError(ErrorCode::NA);
    return number(found.front());
  }
  if (numbers.empty()) return Scalar::fromError(ErrorCode::Num);
  std::sort(numbers.begin(), numbers.end());
  switch (function) {
    case 12:
      return number(percentileInclusive(numbers, 0.5));
    case 14:
    case 15: {
      double index = std::trunc(k);  // as LARGE and SMALL read k
      if (index < 1 || index > double(numbers.size())) return Scalar::fromError(ErrorCode::Num);
      std::size_t i = std::size_t(index) - 1;
      return number(function == 14 ? numbers[numbers.size() - 1 - i] : numbers[i]);
    }
    case 16:
      return number(percentileInclusive(numbers, k));
    case 17:
      if (std::trunc(k) < 0 || std::trunc(k) > 4) return Scalar::fromError(ErrorCode::Num);
      return number(percentileInclusive(numbers, std::trunc(k) / 4));
    case 18:
      return number(percentileExclusive(numbers, k));
    case 19:
      if (std::trunc(k) <= 0 || std::trunc(k) >= 4) return Scalar::fromError(ErrorCode::Num);
      return number(percentileExclusive(numbers, std::trunc(k) / 4));
    default:
      return Scalar::fromError(ErrorCode::Value);
  }
}

// SUBTOTAL: 1-11 count hidden rows, 101-111 leave them out.
Value subtotal(CallArgs& args) {
  double code = std::trunc(args.number(0));
  Skips skips;
  if (code > 100) {
    code -= 100;
    skips.hidden = true;
  }
  if (code < 1 || code > 11) return Scalar::fromError(ErrorCode::Value);
  Gathered values;
  for (std::size_t i = 1; i < args.size(); ++i) gatherReferences(args, i, skips, values);
  return aggregateOf(int(code), values, 0);
}

// AGGREGATE(function, options, ref1, ...) and, for 14-19, (function, options, array, k).
Value aggregate(CallArgs& args) {
  double function = std::trunc(args.number(0));
  double options = args.isMissing(1) ? 0 : std::trunc(args.number(1));
  if (function < 1 || function > 19 || options < 0 || options > 7)
    return Scalar::fromError(ErrorCode::Value);
  const int option = int(options);
  Skips skips{option <= 3, option % 2 == 1, option == 2 || option == 3 || option >= 6};
  const bool takesK = function >= 14;
  if (takesK && args.size() != 4) return Scalar::fromError(ErrorCode::Value);
  Gathered values;
  const std::size_t end = takesK ? 3 : args.size();
  for (std::size_t i = 2; i < end; ++i) {
    Value value = args.value(i);
    if (std::holds_alternative<References>(value)) {
      gatherReferences(args, i, skips, values);
    } else if (takesK) {
      // The array form: only errors can be left out.
      for (const Scalar& cell : args.evaluator().toArray(value).cells) gather(cell, skips, values);
    } else {
      return Scalar::fromError(ErrorCode::Value);
    }
  }
  return aggregateOf(int(function), values, takesK ? args.number(3) : 0);
}

constexpr FunctionSpec kFunctions[] = {
    {u"SUBTOTAL", 2, -1, subtotal},
    {u"AGGREGATE", 3, -1, aggregate, true},
};

}  // namespace

std::span<const FunctionSpec> subtotalFunctions() { return kFunctions; }

}  // namespace sx::formula
