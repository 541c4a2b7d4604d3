#include "formula/evaluator.h"

#include <algorithm>
#include <cmath>

#include "formula/formula_parser.h"
#include "formula/function_names.h"
#include "formula/reference_syntax.h"

namespace sx::formula {
namespace {

// Defined names that refer to names deeper than this are taken as circular.
constexpr int kMaxNameDepth = 8;

// `system`: text that reads as a date counts as a serial of the workbook's date system.
Scalar scalarOperation(Operator op, const Scalar& left, const Scalar* right, DateSystem system) {
  switch (op) {
    case Operator::Negate:
      return numberResult(-toNumber(left, system));
    case Operator::Plus:
      return left;
    case Operator::Percent:
      return numberResult(toNumber(left, system) / 100);
    default:
      break;
  }
  const Scalar& r = *right;
  switch (op) {
    case Operator::Add: {
      double a = toNumber(left, system);
      return numberResult(a + toNumber(r, system));
    }
    case Operator::Subtract: {
      double a = toNumber(left, system);
      return numberResult(a - toNumber(r, system));
    }
    case Operator::Multiply: {
      double a = toNumber(left, system);
      return numberResult(a * toNumber(r, system));
    }
    case Operator::Divide: {
      double a = toNumber(left, system);
      double b = toNumber(r, system);
      if (b == 0) return Scalar::fromError(ErrorCode::Div0);
      return numberResult(a / b);
    }
    case Operator::Power: {
      double a = toNumber(left, system);
      double b = toNumber(r, system);
      if (a == 0 && b == 0) return Scalar::fromError(ErrorCode::Num);
      if (a == 0 && b < 0) return Scalar::fromError(ErrorCode::Div0);
      return numberResult(std::pow(a, b));
    }
    case Operator::Concatenate: {
      std::u16string a = toText(left);
      return Scalar::fromText(a + toText(r));
    }
    case Operator::Equal:
      return Scalar::fromBoolean(compareScalars(left, r) == 0);
    case Operator::NotEqual:
      return Scalar::fromBoolean(compareScalars(left, r) != 0);
    case Operator::Less:
      return Scalar::fromBoolean(compareScalars(left, r) < 0);
    case Operator::LessEqual:
      return Scalar::fromBoolean(compareScalars(left, r) <= 0);
    case Operator::Greater:
      return Scalar::fromBoolean(compareScalars(left, r) > 0);
    case Operator::GreaterEqual:
      return Scalar::fromBoolean(compareScalars(left, r) >= 0);
    default:
      return Scalar::fromError(ErrorCode::Value);
  }
}

Scalar guarded(Operator op, const Scalar& left, const Scalar* right, DateSystem system) {
  try {
    return scalarOperation(op, left, right, system);
  } catch (const FormulaError& error) {
    return Scalar::fromError(error.code);
  }
}

}  // namespace

Scalar Grid::at(int32_t row, int32_t column) const {
  if (values_ && row < rows_ && column < columns_)
    return (*values_)[std::size_t(row) * std::size_t(columns_) + std::size_t(column)];
  if (isArea_)
    return evaluator_->cell(area_.sheet, area_.firstRow + row, area_.firstColumn + column);
  if (row < array_.rows && column < array_.columns) return array_.at(row, column);
  return Scalar::fromError(ErrorCode::NA);
}

void Grid::readAll() {
  if (!isArea_ || values_ || rows_ == 0 || columns_ == 0) return;
  Area part = area_;
  part.lastRow = part.firstRow + rows_ - 1;
  part.lastColumn = part.firstColumn + columns_ - 1;
  values_ = evaluator_->context().areaValues(part);
}

double CallArgs::number(std::size_t i) {
  return toNumber(scalar(i), evaluator_.context().dateSystem());
}

Value CallArgs::value(std::size_t i) {
  if (isMissing(i)) return Scalar::empty();
  if (given_) return (*given_)[i];
  return evaluator_.evaluate(*nodes_[i]);
}

Scalar CallArgs::scalarOrError(std::size_t i) {
  if (isMissing(i)) return Scalar::empty();
  try {
    return evaluator_.toScalar(value(i));
  } catch (const FormulaError& error) {
    return Scalar::fromError(error.code);
  }
}

Scalar CallArgs::scalar(std::size_t i) {
  Scalar result = scalarOrError(i);
  if (result.isError()) throw FormulaError{result.error};
  return result;
}

Grid CallArgs::grid(std::size_t i) { return evaluator_.toGrid(value(i)); }

References CallArgs::references(std::size_t i) {
  Value v = value(i);
  if (auto* refs = std::get_if<References>(&v)) return *refs;
  if (auto* s = std::get_if<Scalar>(&v); s && s->isError()) throw FormulaError{s->error};
  throw FormulaError{ErrorCode::Value};
}

Area Evaluator::usedPart(const Area& area) {
  UsedBounds used = context_.usedBounds(area.sheet);
  Area part = area;
  part.lastRow = std::min(area.lastRow, used.lastRow);
  part.lastColumn = std::min(area.lastColumn, used.lastColumn);
  return part;
}

void Evaluator::forEachCell(const Area& area,
                            const std::function<void(const Scalar&, int32_t, int32_t)>& visit) {
  context_.readingArea(area);
  Area part = usedPart(area);
  for (int32_t row = part.firstRow; row <= part.lastRow; ++row) {
    for (int32_t column = part.firstColumn; column <= part.lastColumn; ++column) {
      visit(cell(area.sheet, row, column), row, column);
    }
  }
}

Scalar Evaluator::toScalar(const Value& value) {
  if (auto* scalar = std::get_if<Scalar>(&value)) return *scalar;
  if (auto* array = std::get_if<Array>(&value)) {
    return array->cells.empty() ? Scalar::fromError(ErrorCode::Value) : array->cells.front();
  }
  const auto& refs = std::get<References>(value);
  if (refs.size() != 1) return Scalar::fromError(ErrorCode::Value);
  const Area& area = refs.front();
  if (area.rows() == 1 && area.columns() == 1)
    return cell(area.sheet, area.firstRow, area.firstColumn);
  // Implicit intersection: the cell of a one-column range in the formula's row, or of a
  // one-row range in its column.
  CellPosition here = context_.currentCell();
  if (area.columns() == 1 && here.row >= area.firstRow && here.row <= area.lastRow) {
    return cell(area.sheet, here.row, area.firstColumn);
  }
  if (area.rows() == 1 && here.column >= area.firstColumn && here.column <= area.lastColumn) {
    return cell(area.sheet, area.firstRow, here.column);
  }
  return Scalar::fromError(ErrorCode::Value);
}

Grid Evaluator::toGrid(const Value& value) {
  Grid grid;
  grid.evaluator_ = this;
  if (auto* refs = std::get_if<References>(&value)) {
    if (refs->size() != 1) throw FormulaError{ErrorCode::Value};
    grid.isArea_ = true;
    grid.area_ = refs->front();
    context_.readingArea(grid.area_);
    Area part = usedPart(grid.area_);
    grid.fullRows_ = grid.area_.rows();
    grid.fullColumns_ = grid.area_.columns();
    grid.rows_ = std::max(0, part.rows());
    grid.columns_ = std::max(0, part.columns());
    return grid;
  }
  if (auto* array = std::get_if<Array>(&value)) {
    grid.array_ = *array;
  } else {
    const auto& scalar = std::get<Scalar>(value);
    if (scalar.isError()) throw FormulaError{scalar.error};
    grid.array_ = Array{1, 1, {scalar}};
  }
  grid.rows_ = grid.fullRows_ = grid.array_.rows;
  grid.columns_ = grid.fullColumns_ = grid.array_.columns;
  return grid;
}

Array Evaluator::toArray(const Value& value) {
  if (auto* array = std::get_if<Array>(&value)) return *array;
  if (auto* scalar = std::get_if<Scalar>(&value)) return Array{1, 1, {*scalar}};
  const auto& refs = std::get<References>(value);
  if (refs.size() != 1) throw FormulaError{ErrorCode::Value};
  Area area = refs.front();
  context_.readingArea(area);
  // Whole rows and columns stop where the sheet's data stops.
  Area part = usedPart(area);
  if (area.lastRow == kMaxRows - 1) area.lastRow = std::max(part.lastRow, area.firstRow);
  if (area.lastColumn == kMaxColumns - 1)
    area.lastColumn = std::max(part.lastColumn, area.firstColumn);
  if (int64_t(area.rows()) * area.columns() > kMaxArrayCells) throw FormulaError{ErrorCode::Num};
  Array array{area.rows(), area.columns(), {}};
  if (auto values = context_.areaValues(area)) {
    array.cells.assign(values->begin(), values->end());
    return array;
  }
  array.cells.reserve(std::size_t(array.rows) * array.columns);
  for (int32_t row = area.firstRow; row <= area.lastRow; ++row) {
    for (int32_t column = area.firstColumn; column <= area.lastColumn; ++column) {
      array.cells.push_back(cell(area.sheet, row, column));
    }
  }
  return array;
}

Scalar Evaluator::evaluateFormula(const Node& root, bool asArray) {
  arrayMode_ = asArray;
  Scalar result;
  try {
    result = toScalar(evaluate(root));
  } catch (const FormulaError& error) {
    return Scalar::fromError(error.code);
  }
  if (result.isEmpty()) return Scalar::fromNumber(0);
  return result;
}

Value Evaluator::evaluate(const Node& node) {
  switch (node.kind) {
    case Node::Kind::Number:
      return Scalar::fromNumber(node.number);
    case Node::Kind::Text:
      return Scalar::fromText(node.text);
    case Node::Kind::Boolean:
      return Scalar::fromBoolean(node.boolean);
    case Node::Kind::Error:
      return Scalar::fromError(node.error);
    case Node::Kind::Missing:
      return Scalar::empty();
    case Node::Kind::Array:
      return node.array;
    case Node::Kind::Reference:
      return resolveReference(node.reference);
    case Node::Kind::Name:
      return evaluateName(node);
    case Node::Kind::Function:
      return evaluateCall(node);
    case Node::Kind::Operation:
      return evaluateOperation(node);
  }
  return Scalar::fromError(ErrorCode::Value);
}

Value Evaluator::resolveReference(const ParsedReference& reference) {
  if (!reference.lastSheet.empty()) {
    References areas;
    for (int32_t sheet : context_.sheetsBetween(reference.sheet, reference.lastSheet)) {
      areas.push_back(areaOnSheet(reference, sheet));
    }
    if (areas.empty()) return Scalar::fromError(ErrorCode::Ref);
    return areas;
  }
  int32_t sheet = context_.currentCell().sheet;
  if (reference.hasSheet) {
    auto found = context_.sheetByName(reference.sheet);
    if (!found) return Scalar::fromError(ErrorCode::Ref);
    sheet = *found;
  }
  return References{areaOnSheet(reference, sheet)};
}

Value Evaluator::evaluateName(const Node& node) {
  auto definition = context_.definedName(node.text, context_.currentCell());
  if (!definition) return Scalar::fromError(ErrorCode::Name);
  if (nameDepth_ >= kMaxNameDepth) return Scalar::fromError(ErrorCode::Ref);
  std::u16string_view text = *definition;
  if (!text.empty() && text.front() == u'=') text.remove_prefix(1);
  NodePtr parsed;
  try {
    parsed = parseFormula(text);
  } catch (const FormulaSyntaxError&) {
    return Scalar::fromError(ErrorCode::Name);
  }
  ++nameDepth_;
  Value result = evaluate(*parsed);
  --nameDepth_;
  return result;
}

Value Evaluator::evaluateCall(const Node& node) {
  const FunctionSpec* entry = findFunction(withoutFunctionPrefix(node.text));
  if (!entry) return Scalar::fromError(ErrorCode::Name);
  int count = int(node.children.size());
  if (count < entry->minArgs || (entry->maxArgs >= 0 && count > entry->maxArgs)) {
    return Scalar::fromError(ErrorCode::Value);
  }
  if (arrayMode_ && entry->liftsOverArrays) return liftedCall(*entry, node);
  bool outerArrayMode = arrayMode_;
  if (entry->arrayArguments) arrayMode_ = true;
  Value result;
  try {
    CallArgs args(*this, node.children);
    result = entry->impl(args);
  } catch (const FormulaError& error) {
    result = Scalar::fromError(error.code);
  }
  arrayMode_ = outerArrayMode;
  return result;
}

Value Evaluator::evaluateOperation(const Node& node) {
  if (node.children.size() == 1) {
    Value operand = evaluate(*node.children[0]);
    if (std::holds_alternative<Array>(operand) ||
        (arrayMode_ && !std::holds_alternative<Scalar>(operand)))
      return elementwise(node, operand, nullptr);
    return guarded(node.op, toScalar(operand), nullptr, context_.dateSystem());
  }
  // A chain of binary operators (1+1+...+1) is a tree as deep as it is long: walk down its
  // left side, then apply the operators from the bottom up, without recursion.
  std::vector<const Node*> chain;
  const Node* bottom = &node;
  while (bottom->kind == Node::Kind::Operation && bottom->children.size() == 2) {
    chain.push_back(bottom);
    bottom = bottom->children[0].get();
  }
  Value left = evaluate(*bottom);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    left = applyBinary(**it, std::move(left));
  return left;
}

Value Evaluator::applyBinary(const Node& node, Value left) {
  Value right = evaluate(*node.children[1]);
  if (node.op == Operator::Range || node.op == Operator::Intersect || node.op == Operator::Union) {
    for (const Value* side : {&left, &right}) {
      if (auto* s = std::get_if<Scalar>(side); s && s->isError()) return *s;
    }
    auto* a = std::get_if<References>(&left);
    auto* b = std::get_if<References>(&right);
    if (!a || !b) return Scalar::fromError(ErrorCode::Value);
    if (node.op == Operator::Union) {
      References joined = *a;
      joined.insert(joined.end(), b->begin(), b->end());
      return joined;
    }
    if (a->size() != 1 || b->size() != 1 || a->front().sheet != b->front().sheet) {
      return Scalar::fromError(ErrorCode::Value);
    }
    const Area &x = a->front(), &y = b->front();
    if (node.op == Operator::Range) {
      return References{{x.sheet, std::min(x.firstRow, y.firstRow),
                         std::min(x.firstColumn, y.firstColumn), std::max(x.lastRow, y.lastRow),
                         std::max(x.lastColumn, y.lastColumn)}};
    }
    Area common{x.sheet, std::max(x.firstRow, y.firstRow), std::max(x.firstColumn, y.firstColumn),
                std::min(x.lastRow, y.lastRow), std::min(x.lastColumn, y.lastColumn)};
    if (common.firstRow > common.lastRow || common.firstColumn > common.lastColumn) {
      return Scalar::fromError(ErrorCode::Null);
    }
    return References{common};
  }
  // Arrays (constants or computed) always combine element by element; ranges only where
  // arrays are evaluated, elsewhere they intersect.
  const bool anyArray = std::holds_alternative<Array>(left) || std::holds_alternative<Array>(right);
  if (anyArray || (arrayMode_ && (!std::holds_alternative<Scalar>(left) ||
                                  !std::holds_alternative<Scalar>(right)))) {
    return elementwise(node, left, &right);
  }
  Scalar a = toScalar(left);
  Scalar b = toScalar(right);
  return guarded(node.op, a, &b, context_.dateSystem());
}

Value Evaluator::liftedCall(const FunctionSpec& entry, const Node& node) {
  std::vector<Value> values;
  int32_t rows = 1, columns = 1;
  bool anyArray = false;
  try {
    for (const auto& child : node.children) {
      values.push_back(evaluate(*child));
      if (std::holds_alternative<Scalar>(values.back())) continue;
      Array array = toArray(values.back());
      if (array.rows * array.columns > 1) anyArray = true;
      rows = std::max(rows, array.rows);
      columns = std::max(columns, array.columns);
      values.back() = std::move(array);
    }
  } catch (const FormulaError& error) {
    return Scalar::fromError(error.code);
  }
  auto call = [&](const std::vector<Value>& given) -> Scalar {
    try {
      CallArgs args(*this, node.children, &given);
      return toScalar(entry.impl(args));
    } catch (const FormulaError& error) {
      return Scalar::fromError(error.code);
    }
  };
  if (!anyArray) return call(values);
  Array result{rows, columns, {}};
  std::vector<Value> element(values.size());
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      for (std::size_t i = 0; i < values.size(); ++i) {
        const auto* array = std::get_if<Array>(&values[i]);
        if (!array) {
          element[i] = values[i];
          continue;
        }
        int32_t r = array->rows == 1 ? 0 : row, c = array->columns == 1 ? 0 : column;
        element[i] = (r < array->rows && c < array->columns) ? array->at(r, c)
                                                             : Scalar::fromError(ErrorCode::NA);
      }
      result.cells.push_back(call(element));
    }
  }
  return result;
}

Value Evaluator::elementwise(const Node& node, const Value& left, const Value* right) {
  Array a = toArray(left);
  Array b = right ? toArray(*right) : Array{1, 1, {Scalar::empty()}};
  int32_t rows = right ? std::max(a.rows, b.rows) : a.rows;
  int32_t columns = right ? std::max(a.columns, b.columns) : a.columns;
  // A single row or column stretches across the other operand; beyond a shorter one is #N/A.
  auto pick = [](const Array& array, int32_t row, int32_t column) {
    int32_t r = array.rows == 1 ? 0 : row, c = array.columns == 1 ? 0 : column;
    if (r >= array.rows || c >= array.columns) return Scalar::fromError(ErrorCode::NA);
    return array.at(r, c);
  };
  Array result{rows, columns, {}};
  result.cells.reserve(std::size_t(rows) * columns);
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      Scalar x = pick(a, row, column);
      if (!right) {
        result.cells.push_back(guarded(node.op, x, nullptr, context_.dateSystem()));
        continue;
      }
      Scalar y = pick(b, row, column);
      result.cells.push_back(guarded(node.op, x, &y, context_.dateSystem()));
    }
  }
  return result;
}

}  // namespace sx::formula
