#include "formula/formula_traits.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "formula/calculator.h"
#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "formula/formula_token.h"
#include "formula/function_names.h"
#include "formula/reference_match.h"

namespace sx::formula {
namespace {

// As deep as the evaluator follows names into names.
constexpr int kMaxNameDepth = 8;

bool isVolatileFunction(std::u16string_view name) {
  static constexpr std::array<std::u16string_view, 9> kVolatile = {
      u"RAND",     u"RANDBETWEEN", u"RANDARRAY", u"NOW", u"TODAY",
      u"INDIRECT", u"OFFSET",      u"CELL",      u"INFO"};
  return std::find(kVolatile.begin(), kVolatile.end(), name) != kVolatile.end();
}

std::optional<Area> areaOf(const ParsedReference& reference, int32_t homeSheet, CalcHost& host) {
  int32_t sheet = homeSheet;
  if (reference.hasSheet) {
    auto found = host.sheetByName(reference.sheet);
    if (!found) return std::nullopt;
    sheet = *found;
  }
  return areaOnSheet(reference, sheet);
}

// The functions the application lets read a reference through several sheets.
bool takesReferencesThroughSheets(std::u16string_view name) {
  static constexpr std::array<std::u16string_view, 22> kFunctions = {
      u"SUM",  u"AVERAGE", u"AVERAGEA", u"COUNT",  u"COUNTA", u"MAX",     u"MAXA",    u"MIN",
      u"MINA", u"PRODUCT", u"STDEV",    u"STDEVA", u"STDEVP", u"STDEVPA", u"STDEV.S", u"STDEV.P",
      u"VAR",  u"VARA",    u"VARP",     u"VARPA",  u"VAR.S",  u"VAR.P"};
  return std::find(kFunctions.begin(), kFunctions.end(), name) != kFunctions.end();
}

}  // namespace

bool callsSubtotal(const Node& root) {
  std::vector<const Node*> stack{&root};
  while (!stack.empty()) {
    const Node& node = *stack.back();
    stack.pop_back();
    if (node.kind == Node::Kind::Function) {
      const std::u16string_view name = withoutFunctionPrefix(node.text);
      if (name == u"SUBTOTAL" || name == u"AGGREGATE") return true;
    }
    for (const auto& child : node.children) stack.push_back(child.get());
  }
  return false;
}

FormulaTraits analyzeFormula(const Node* root, int32_t homeSheet, CalcHost& host) {
  FormulaTraits traits;
  if (!root) {
    traits.calculable = false;
    return traits;
  }
  struct Pending {
    const Node* node;
    int nameDepth;
    bool throughSheetsAllowed = false;  // an argument of SUM, COUNT, ...
  };
  std::vector<NodePtr> nameTrees;  // keeps the parsed definitions alive during the walk
  std::vector<Pending> stack{{root, 0}};
  while (!stack.empty()) {
    const Pending item = stack.back();
    stack.pop_back();
    const Node& node = *item.node;
    switch (node.kind) {
      case Node::Kind::Reference:
        if (!node.reference.lastSheet.empty()) {
          // Elsewhere the application gives an error this library does not copy: the file's
          // value stays.
          if (!item.throughSheetsAllowed) traits.calculable = false;
          for (int32_t sheet : host.sheetsBetween(node.reference.sheet, node.reference.lastSheet)) {
            traits.reads.push_back(areaOnSheet(node.reference, sheet));
          }
        } else if (auto area = areaOf(node.reference, homeSheet, host)) {
          traits.reads.push_back(*area);
        }
        continue;
      case Node::Kind::Name: {
        auto definition = host.definedName(node.text, {homeSheet, -1, -1});
        // A name the workbook does not hold (a hidden or built-in one kept as read) may be one
        // the file's writer knew.
        if (!definition) traits.calculable = false;
        if (!definition || item.nameDepth >= kMaxNameDepth) continue;
        std::u16string_view text = *definition;
        if (!text.empty() && text.front() == u'=') text.remove_prefix(1);
        try {
          nameTrees.push_back(parseFormula(text));
        } catch (const FormulaSyntaxError&) {
          continue;  // the name evaluates to #NAME?, reading nothing
        }
        stack.push_back({nameTrees.back().get(), item.nameDepth + 1});
        continue;
      }
      case Node::Kind::Function: {
        const std::u16string_view name = withoutFunctionPrefix(node.text);
        if (isVolatileFunction(name)) traits.isVolatile = true;
        if (!findFunction(name)) traits.calculable = false;
        // INDIRECT reads A1 texts only; with a second argument it may be given R1C1.
        if (name == u"INDIRECT" && node.children.size() > 1 &&
            !(node.children[1]->kind == Node::Kind::Boolean && node.children[1]->boolean)) {
          traits.calculable = false;
        }
        for (const auto& child : node.children) {
          stack.push_back({child.get(), item.nameDepth, takesReferencesThroughSheets(name)});
        }
        continue;
      }
      case Node::Kind::Operation:
        if (node.op == Operator::Range) {
          // Both corners named: the area between them. Calculated corners: anything.
          const Node& left = *node.children[0];
          const Node& right = *node.children[1];
          if (left.kind != Node::Kind::Reference || right.kind != Node::Kind::Reference) {
            // A name up to a reference ("x:Sheet3!A1") where no name is held may be anything.
            for (const Node* side : {&left, &right}) {
              if (side->kind == Node::Kind::Name &&
                  !host.definedName(side->text, {homeSheet, -1, -1}))
                traits.calculable = false;
            }
            traits.isVolatile = true;
            break;
          }
          auto a = areaOf(left.reference, homeSheet, host);
          auto b = areaOf(right.reference, homeSheet, host);
          if (a && b && a->sheet == b->sheet) {
            traits.reads.push_back({a->sheet, std::min(a->firstRow, b->firstRow),
                                    std::min(a->firstColumn, b->firstColumn),
                                    std::max(a->lastRow, b->lastRow),
                                    std::max(a->lastColumn, b->lastColumn)});
          }
          continue;
        }
        break;
      default:
        break;
    }
    for (const auto& child : node.children) stack.push_back({child.get(), item.nameDepth});
  }
  return traits;
}

std::vector<std::u16string> namesInFormula(std::u16string_view formula) {
  std::vector<std::u16string> names;
  for (const Token& token : tokenizeFormula(formula)) {
    if (token.kind != TokenKind::Name) continue;
    const std::u16string_view text = formula.substr(token.offset, token.length);
    auto qualified = matchQualifiedName(text, 0);
    names.push_back(qualified ? qualified->name : std::u16string(text));
  }
  return names;
}

bool readsThroughSheets(std::u16string_view formula) {
  for (const Token& token : tokenizeFormula(formula)) {
    if (token.kind != TokenKind::Reference) continue;
    auto parsed = parseReferenceText(formula.substr(token.offset, token.length));
    if (parsed && !parsed->lastSheet.empty()) return true;
  }
  return false;
}

}  // namespace sx::formula
