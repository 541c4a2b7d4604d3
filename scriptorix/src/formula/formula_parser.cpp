#include "formula/formula_parser.h"

#include <charconv>

#include "formula/character_classes.h"
#include "formula/formula_token.h"

namespace sx::formula {
namespace {

// Deeper nesting (parentheses, function calls, signs, percent signs) is refused so that
// parsing and evaluating cannot exhaust the stack. Chains of binary operators (1+1+...+1) do
// not nest: the evaluator and the tree's destructor walk them without recursion.
constexpr int kMaxDepth = 256;

bool startsOperand(TokenKind kind) {
  return kind == TokenKind::Reference || kind == TokenKind::Name || kind == TokenKind::Function ||
         kind == TokenKind::OpenParen;
}

bool endsOperand(TokenKind kind) {
  return kind == TokenKind::Reference || kind == TokenKind::Name || kind == TokenKind::CloseParen;
}

std::string narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
  return out;
}

class Parser {
 public:
  explicit Parser(std::u16string_view text) : text_(text) {
    auto tokens = tokenizeFormula(text);
    // Blanks matter only between two operands that may be references: there they intersect.
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      if (tokens[i].kind != TokenKind::Space) {
        tokens_.push_back(tokens[i]);
        continue;
      }
      bool between = !tokens_.empty() && endsOperand(tokens_.back().kind) &&
                     i + 1 < tokens.size() && startsOperand(tokens[i + 1].kind);
      if (between) tokens_.push_back(tokens[i]);
    }
  }

  NodePtr parse() {
    if (tokens_.empty()) fail("the formula is empty");
    auto root = expression(0, 0);
    if (position_ < tokens_.size()) fail("unexpected " + describe(tokens_[position_]));
    return root;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw FormulaSyntaxError("Formula error: " + what);
  }

  std::string describe(const Token& token) const {
    return "\"" + narrow(text_.substr(token.offset, token.length)) + "\" at position " +
           std::to_string(token.offset + 1);
  }

  const Token* peek() const { return position_ < tokens_.size() ? &tokens_[position_] : nullptr; }
  std::u16string_view textOf(const Token& token) const {
    return text_.substr(token.offset, token.length);
  }

  bool peekIs(TokenKind kind) const { return peek() && peek()->kind == kind; }

  void expect(TokenKind kind, const char* what) {
    if (!peekIs(kind))
      fail(std::string("expected ") + what +
           (peek() ? " before " + describe(*peek()) : " at the end"));
    ++position_;
  }

  static NodePtr operation(Operator op, NodePtr left, NodePtr right) {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Operation;
    node->op = op;
    node->children.push_back(std::move(left));
    if (right) node->children.push_back(std::move(right));
    return node;
  }

  // Binary operators with their binding power (higher binds tighter); 0 when the token is none.
  int binaryPower(const Token& token, Operator& op) const {
    if (token.kind == TokenKind::Space) {
      op = Operator::Intersect;
      return 8;
    }
    if (token.kind != TokenKind::Operator) return 0;
    auto t = textOf(token);
    if (t == u":") {
      op = Operator::Range;
      return 9;
    }
    if (t == u"^") {
      op = Operator::Power;
      return 5;
    }
    if (t == u"*") {
      op = Operator::Multiply;
      return 4;
    }
    if (t == u"/") {
      op = Operator::Divide;
      return 4;
    }
    if (t == u"+") {
      op = Operator::Add;
      return 3;
    }
    if (t == u"-") {
      op = Operator::Subtract;
      return 3;
    }
    if (t == u"&") {
      op = Operator::Concatenate;
      return 2;
    }
    if (t == u"=") {
      op = Operator::Equal;
      return 1;
    }
    if (t == u"<>") {
      op = Operator::NotEqual;
      return 1;
    }
    if (t == u"<") {
      op = Operator::Less;
      return 1;
    }
    if (t == u"<=") {
      op = Operator::LessEqual;
      return 1;
    }
    if (t == u">") {
      op = Operator::Greater;
      return 1;
    }
    if (t == u">=") {
      op = Operator::GreaterEqual;
      return 1;
    }
    return 0;
  }

  NodePtr expression(int minPower, int depth) {
    if (depth > kMaxDepth) fail("the formula nests too deeply");
    auto left = prefix(depth);
    int percents = 0;
    while (const Token* token = peek()) {
      if (token->kind == TokenKind::Operator && textOf(*token) == u"%") {
        if (6 < minPower) break;
        ++position_;
        if (++percents + depth > kMaxDepth) fail("the formula nests too deeply");
        left = operation(Operator::Percent, std::move(left), nullptr);
      } else {
        Operator op;
        int power = binaryPower(*token, op);
        if (power == 0 || power < minPower) break;
        ++position_;
        percents = 0;
        // "^" and the rest are left-associative, as in a spreadsheet: 2^3^2 is 64.
        auto right = expression(power + 1, depth + 1);
        left = operation(op, std::move(left), std::move(right));
      }
    }
    return left;
  }

  NodePtr prefix(int depth) {
    const Token* token = peek();
    if (!token) fail("the formula ends where a value is expected");
    auto node = std::make_unique<Node>();
    auto t = textOf(*token);
    switch (token->kind) {
      case TokenKind::Number:
        ++position_;
        node->kind = Node::Kind::Number;
        node->number = parseNumber(t);
        return node;
      case TokenKind::String:
        ++position_;
        node->kind = Node::Kind::Text;
        node->text = unquote(t);
        return node;
      case TokenKind::Boolean:
        ++position_;
        node->kind = Node::Kind::Boolean;
        node->boolean = asciiUpper(t[0]) == u'T';
        return node;
      case TokenKind::Error: {
        ++position_;
        auto code = errorFromText(t);
        if (!code) fail("unknown error value " + describe(*token));
        node->kind = Node::Kind::Error;
        node->error = *code;
        return node;
      }
      case TokenKind::Reference: {
        ++position_;
        auto parsed = parseReferenceText(t);
        if (!parsed) fail("bad reference " + describe(*token));
        node->kind = Node::Kind::Reference;
        node->reference = std::move(*parsed);
        return node;
      }
      case TokenKind::Name:
        ++position_;
        node->kind = Node::Kind::Name;
        node->text = std::u16string(t);
        return node;
      case TokenKind::Function:
        return call(depth);
      case TokenKind::OpenParen:
        return group(depth);
      case TokenKind::OpenBrace:
        return arrayConstant();
      case TokenKind::Operator:
        if (t == u"-" || t == u"+") {
          ++position_;
          // Unary minus binds tighter than "^": -2^2 is 4.
          return operation(t == u"-" ? Operator::Negate : Operator::Plus, expression(7, depth + 1),
                           nullptr);
        }
        break;
      default:
        break;
    }
    fail("unexpected " + describe(*token));
  }

  NodePtr group(int depth) {
    ++position_;
    auto inner = expression(0, depth + 1);
    // Inside parentheses a comma joins references into a union: SUM((A1,B2)).
    while (peekIs(TokenKind::Comma)) {
      ++position_;
      inner = operation(Operator::Union, std::move(inner), expression(0, depth + 1));
    }
    expect(TokenKind::CloseParen, "\")\"");
    return inner;
  }

  NodePtr call(int depth) {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Function;
    for (char16_t c : textOf(*peek())) node->text.push_back(asciiUpper(c));
    position_ += 2;  // the name and "("
    if (peekIs(TokenKind::CloseParen)) {
      ++position_;
      return node;
    }
    while (true) {
      if (peekIs(TokenKind::Comma) || peekIs(TokenKind::CloseParen)) {
        node->children.push_back(std::make_unique<Node>());  // an empty argument
      } else {
        node->children.push_back(expression(0, depth + 1));
      }
      if (peekIs(TokenKind::Comma)) {
        ++position_;
        continue;
      }
      expect(TokenKind::CloseParen, "\")\" or \",\"");
      return node;
    }
  }

  NodePtr arrayConstant() {
    ++position_;
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Array;
    std::vector<Scalar> row;
    auto endRow = [&] {
      if (node->array.rows > 0 && int32_t(row.size()) != node->array.columns) {
        fail("array rows differ in length");
      }
      node->array.columns = int32_t(row.size());
      node->array.rows += 1;
      for (auto& cell : row) node->array.cells.push_back(std::move(cell));
      row.clear();
    };
    while (true) {
      row.push_back(arrayElement());
      if (peekIs(TokenKind::Comma)) {
        ++position_;
      } else if (peekIs(TokenKind::Semicolon)) {
        ++position_;
        endRow();
      } else {
        expect(TokenKind::CloseBrace, "\"}\"");
        endRow();
        return node;
      }
    }
  }

  Scalar arrayElement() {
    const Token* token = peek();
    if (!token) fail("the array constant is not closed");
    auto t = textOf(*token);
    ++position_;
    switch (token->kind) {
      case TokenKind::Number:
        return Scalar::fromNumber(parseNumber(t));
      case TokenKind::String:
        return Scalar::fromText(unquote(t));
      case TokenKind::Boolean:
        return Scalar::fromBoolean(asciiUpper(t[0]) == u'T');
      case TokenKind::Error:
        if (auto code = errorFromText(t)) return Scalar::fromError(*code);
        break;
      case TokenKind::Operator:
        if (t == u"-" && peekIs(TokenKind::Number)) {
          return Scalar::fromNumber(-parseNumber(textOf(tokens_[position_++])));
        }
        break;
      default:
        break;
    }
    fail("an array constant holds only numbers, texts, booleans and errors, not " +
         describe(*token));
  }

  double parseNumber(std::u16string_view t) const {
    std::string digits = narrow(t);
    double value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
      fail("bad number \"" + digits + "\"");
    return value;
  }

  static std::u16string unquote(std::u16string_view t) {
    std::u16string out;
    for (std::size_t i = 1; i + 1 < t.size(); ++i) {
      out.push_back(t[i]);
      if (t[i] == u'"') ++i;
    }
    return out;
  }

  std::u16string_view text_;
  std::vector<Token> tokens_;
  std::size_t position_ = 0;
};

}  // namespace

NodePtr parseFormula(std::u16string_view formula) { return Parser(formula).parse(); }

}  // namespace sx::formula
