#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace sx::formula {

enum class TokenKind {
  Number,
  String,     // "text" with doubled quotes inside
  Boolean,    // TRUE / FALSE not followed by "("
  Error,      // #DIV/0!, #REF!, ...
  Reference,  // A1, $A$1:B2, A:C, 1:3, Sheet1!A1, 'My Sheet'!A1:B2
  Name,       // a defined name
  Function,   // an identifier directly followed by "("
  Operator,   // + - * / ^ & % = <> < <= > >= :
  OpenParen,
  CloseParen,
  Comma,
  Semicolon,  // row separator inside array constants
  OpenBrace,
  CloseBrace,
  Space,    // a run of blanks: an intersection between references, else nothing
  Invalid,  // text the language has no place for (an unterminated string, a stray character)
};

struct Token {
  TokenKind kind;
  std::size_t offset;  // into the formula text
  std::size_t length;
};

// Splits a formula (without its leading "=") into tokens that cover the text exactly, so that a
// rewrite can copy every token it does not change verbatim.
std::vector<Token> tokenizeFormula(std::u16string_view formula);

}  // namespace sx::formula
