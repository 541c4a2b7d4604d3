#include <cmath>

#include "formula/formula_parser.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// INDIRECT(text): the reference the text names, in A1 style ("B2", "Sheet2!A1:C3", a defined
// name). R1C1 texts are not read: the formula counts as one this library cannot calculate.
Value indirect(CallArgs& args) {
  const std::u16string text = args.text(0);
  if (!args.booleanOr(1, true)) return Scalar::fromError(ErrorCode::Ref);
  NodePtr tree;
  try {
    tree = parseFormula(text);
  } catch (const FormulaSyntaxError&) {
    return Scalar::fromError(ErrorCode::Ref);
  }
  const bool names = tree->kind == Node::Kind::Reference || tree->kind == Node::Kind::Name ||
                     (tree->kind == Node::Kind::Operation && tree->op == Operator::Range &&
                      tree->children[0]->kind == Node::Kind::Reference &&
                      tree->children[1]->kind == Node::Kind::Reference);
  if (!names) return Scalar::fromError(ErrorCode::Ref);
  Value result = args.evaluator().evaluate(*tree);
  if (!std::holds_alternative<References>(result)) return Scalar::fromError(ErrorCode::Ref);
  return result;
}

// OFFSET(reference, rows, columns, [height], [width]): an area of the given size, moved from
// the reference's top-left cell; one reaching off the sheet is #REF!.
Value offset(CallArgs& args) {
  const References refs = args.references(0);
  if (refs.size() != 1) return Scalar::fromError(ErrorCode::Value);
  const Area& from = refs.front();
  const double rows = std::trunc(args.number(1));
  const double columns = std::trunc(args.number(2));
  const double height = args.isMissing(3) ? from.rows() : std::trunc(args.number(3));
  const double width = args.isMissing(4) ? from.columns() : std::trunc(args.number(4));
  if (height < 1 || width < 1) return Scalar::fromError(ErrorCode::Ref);
  const double top = from.firstRow + rows, left = from.firstColumn + columns;
  if (top < 0 || left < 0 || top + height > kMaxRows || left + width > kMaxColumns) {
    return Scalar::fromError(ErrorCode::Ref);
  }
  return References{{from.sheet, int32_t(top), int32_t(left), int32_t(top + height - 1),
                     int32_t(left + width - 1)}};
}

constexpr FunctionSpec kFunctions[] = {
    {u"INDIRECT", 1, 2, indirect},
    {u"OFFSET", 3, 5, offset},
};

}  // namespace

std::span<const FunctionSpec> referenceFunctions() { return kFunctions; }

}  // namespace sx::formula
