#pragma once

#include <functional>
#include <string_view>

#include "formula/eval_context.h"
#include "formula/formula_ast.h"
#include "formula/value_coercion.h"

namespace sx::formula {

// The most cells an array may hold; larger ones are #NUM! rather than exhausting memory.
inline constexpr int64_t kMaxArrayCells = 4'000'000;

// A rectangular view of a function argument: one area of a sheet (read only as far as the
// sheet is used), an array, or a single value.
class Grid {
 public:
  int32_t rows() const { return rows_; }
  int32_t columns() const { return columns_; }
  // Dimensions before trimming to the used part of the sheet (ROWS, COLUMNS, INDEX).
  int32_t fullRows() const { return fullRows_; }
  int32_t fullColumns() const { return fullColumns_; }
  Scalar at(int32_t row, int32_t column) const;
  bool isArea() const { return isArea_; }
  const Area& area() const { return area_; }

 private:
  friend class Evaluator;
  class Evaluator* evaluator_ = nullptr;
  bool isArea_ = false;
  Area area_;
  Array array_;
  int32_t rows_ = 0, columns_ = 0, fullRows_ = 0, fullColumns_ = 0;
};

class Evaluator;

// The arguments of one function call, evaluated on demand (IF, IFERROR and CHOOSE evaluate
// only what they need).
class CallArgs {
 public:
  CallArgs(Evaluator& evaluator, const std::vector<NodePtr>& nodes,
           const std::vector<Value>* given = nullptr)
      : evaluator_(evaluator), nodes_(nodes), given_(given) {}

  std::size_t size() const { return nodes_.size(); }
  bool isMissing(std::size_t i) const {
    return i >= nodes_.size() || nodes_[i]->kind == Node::Kind::Missing;
  }
  Value value(std::size_t i);
  // The argument as one value (implicit intersection for a range); an error value is returned.
  Scalar scalarOrError(std::size_t i);
  // As above, but an error value is thrown (the usual propagation).
  Scalar scalar(std::size_t i);
  double number(std::size_t i);
  double numberOr(std::size_t i, double fallback) { return isMissing(i) ? fallback : number(i); }
  std::u16string text(std::size_t i) { return toText(scalar(i)); }
  bool boolean(std::size_t i) { return toBoolean(scalar(i)); }
  bool booleanOr(std::size_t i, bool fallback) { return isMissing(i) ? fallback : boolean(i); }
  Grid grid(std::size_t i);
  // The argument must be a reference: its areas.
  References references(std::size_t i);
  Evaluator& evaluator() { return evaluator_; }

 private:
  Evaluator& evaluator_;
  const std::vector<NodePtr>& nodes_;
  const std::vector<Value>* given_;  // values already evaluated, one per node (array lifting)
};

using FunctionImpl = Value (*)(CallArgs&);

struct FunctionSpec {
  std::u16string_view name;
  int minArgs;
  int maxArgs;  // -1: no limit
  FunctionImpl impl;
  bool arrayArguments = false;  // arguments are evaluated as arrays (SUMPRODUCT)
  // Takes single values only: given arrays where arrays are evaluated, it is applied to each
  // element and gives an array (LEN(A1:A3) inside SUMPRODUCT).
  bool liftsOverArrays = false;
};

class Evaluator {
 public:
  explicit Evaluator(EvalContext& context) : context_(context) {}

  // The value of a whole formula in its cell: a range reads by implicit intersection, an array
  // by its first element, an empty result as 0.
  // `asArray`: an array formula, whose operators and functions work element by element.
  Scalar evaluateFormula(const Node& root, bool asArray = false);

  Value evaluate(const Node& node);
  Scalar cell(int32_t sheet, int32_t row, int32_t column) {
    return context_.cellValue(sheet, row, column);
  }
  // Every stored cell of the area that lies in the used part of its sheet, row by row.
  void forEachCell(const Area& area,
                   const std::function<void(const Scalar&, int32_t row, int32_t column)>& visit);
  // `area` trimmed to the used part of its sheet; rows or columns may end up empty (last < first).
  Area usedPart(const Area& area);
  Scalar toScalar(const Value& value);
  Grid toGrid(const Value& value);
  Array toArray(const Value& value);
  EvalContext& context() { return context_; }

 private:
  Value evaluateOperation(const Node& node);
  // `node` is a binary operation whose left side gave `left`.
  Value applyBinary(const Node& node, Value left);
  Value evaluateCall(const Node& node);
  Value evaluateName(const Node& node);
  Value resolveReference(const ParsedReference& reference);
  Value elementwise(const Node& node, const Value& left, const Value* right);
  Value liftedCall(const FunctionSpec& entry, const Node& node);

  EvalContext& context_;
  bool arrayMode_ = false;
  int nameDepth_ = 0;
};

const FunctionSpec* findFunction(std::u16string_view upperName);

}  // namespace sx::formula
