#include <gtest/gtest.h>

#include <string>

#include "formula/formula_token.h"

namespace sx::formula {
namespace {

char letterOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::Number:
      return 'n';
    case TokenKind::String:
      return 's';
    case TokenKind::Boolean:
      return 'b';
    case TokenKind::Error:
      return 'e';
    case TokenKind::Reference:
      return 'r';
    case TokenKind::Name:
      return 'N';
    case TokenKind::Function:
      return 'f';
    case TokenKind::Operator:
      return 'o';
    case TokenKind::OpenParen:
      return '(';
    case TokenKind::CloseParen:
      return ')';
    case TokenKind::Comma:
      return ',';
    case TokenKind::Semicolon:
      return ';';
    case TokenKind::OpenBrace:
      return '{';
    case TokenKind::CloseBrace:
      return '}';
    case TokenKind::Space:
      return '_';
    case TokenKind::Invalid:
      return '?';
  }
  return '!';
}

struct TokenCase {
  const char16_t* formula;
  const char* kinds;  // one letter per token, see letterOf
};

class Tokenizes : public testing::TestWithParam<TokenCase> {};

TEST_P(Tokenizes, IntoKindsThatCoverTheTextExactly) {
  std::u16string_view text = GetParam().formula;
  std::string kinds;
  std::size_t next = 0;
  for (const auto& token : tokenizeFormula(text)) {
    EXPECT_EQ(token.offset, next);
    EXPECT_GT(token.length, 0u);
    next = token.offset + token.length;
    kinds.push_back(letterOf(token.kind));
  }
  EXPECT_EQ(next, text.size());
  EXPECT_EQ(kinds, GetParam().kinds) << std::string(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Tokenizes,
    testing::Values(TokenCase{u"SUM(A1:B2,3)", "f(r,n)"}, TokenCase{u"$A$1+a1", "ror"},
                    TokenCase{u"A:C 1:3", "r_r"}, TokenCase{u"'My Sheet'!A1&Sheet2!B:B", "ror"},
                    TokenCase{u"'It''s'!$C3", "r"}, TokenCase{u"\"a\"\"b\"&TRUE", "sob"},
                    TokenCase{u"true()", "f()"}, TokenCase{u"#N/A<>#div/0!", "eoe"},
                    TokenCase{u"1.5E-3%", "no"}, TokenCase{u".5>=x_1", "noN"},
                    TokenCase{u"{1,2;3}", "{n,n;n}"}, TokenCase{u"LOG10(A1)", "f(r)"},
                    TokenCase{u"AB1C+XFE1+A0", "NoNoN"}, TokenCase{u"Sheet1!Total", "N"},
                    TokenCase{u"'My Sheet'!Total*'It''s'!x", "NoN"}, TokenCase{u"'open!x", "?N"},
                    TokenCase{u"SUM(Jan:Mar!B2:B5)+'Jan 1:Mar'!A1", "f(r)or"},
                    TokenCase{u"A1:B2!C3", "ror"}, TokenCase{u"_xlfn.CONCAT(1)", "f(n)"},
                    TokenCase{u"A1:B", "roN"}, TokenCase{u"\"open", "?"},
                    TokenCase{u"@#x'", "??N?"}, TokenCase{u"1:1048577", "non"}));

}  // namespace
}  // namespace sx::formula
