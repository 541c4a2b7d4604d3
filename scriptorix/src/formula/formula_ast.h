#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formula/formula_value.h"
#include "formula/reference_syntax.h"

namespace sx::formula {

enum class Operator {
  Add,
  Subtract,
  Multiply,
  Divide,
  Power,
  Concatenate,
  Equal,
  NotEqual,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Range,
  Intersect,
  Union,
  Negate,
  Plus,
  Percent,
};

struct Node {
  Node() = default;
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  // Frees the subtree without recursion: a chain of thousands of operators is that deep.
  ~Node();

  enum class Kind {
    Number,
    Text,
    Boolean,
    Error,
    Reference,
    Name,
    Function,
    Operation,
    Array,
    Missing
  };
  Kind kind = Kind::Missing;
  double number = 0;
  bool boolean = false;
  ErrorCode error = ErrorCode::Value;
  std::u16string text;  // string literal, defined name, or upper-case function name
  ParsedReference reference;
  Operator op = Operator::Add;  // Operation: one child for unary operators, two for binary
  std::vector<std::unique_ptr<Node>> children;
  Array array;
};

using NodePtr = std::unique_ptr<Node>;

}  // namespace sx::formula
