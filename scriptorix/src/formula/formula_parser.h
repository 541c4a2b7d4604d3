#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "formula/formula_ast.h"

namespace sx::formula {

// A formula that is not valid syntax; the message names what was wrong and where.
class FormulaSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses a formula (without its leading "=") into a tree; throws FormulaSyntaxError.
NodePtr parseFormula(std::u16string_view formula);

}  // namespace sx::formula
