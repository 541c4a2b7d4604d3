#include <array>

#include "formula/character_classes.h"
#include "formula/formula_token.h"
#include "formula/reference_match.h"
#include "formula/structured_reference.h"

namespace sx::formula {
namespace {

constexpr std::array<std::u16string_view, 8> kErrorLiterals = {
    u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!", u"#NAME?", u"#NUM!", u"#N/A", u"#GETTING_DATA"};

bool startsWithIgnoringCase(std::u16string_view text, std::size_t at, std::u16string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (asciiUpper(text[at + i]) != word[i]) return false;
  }
  return true;
}

std::size_t matchNumber(std::u16string_view text, std::size_t at) {
  std::size_t i = at;
  while (i < text.size() && isAsciiDigit(text[i])) ++i;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && isAsciiDigit(text[i])) ++i;
  }
  if (i == at + 1 && text[at] == u'.') return 0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == u'+' || text[e] == u'-')) ++e;
    std::size_t digits = e;
    while (digits < text.size() && isAsciiDigit(text[digits])) ++digits;
    if (digits > e) i = digits;
  }
  return i - at;
}

std::size_t matchString(std::u16string_view text, std::size_t at) {
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != u'"') continue;
    if (i + 1 < text.size() && text[i + 1] == u'"') {
      ++i;
      continue;
    }
    return i + 1 - at;
  }
  return 0;
}

std::size_t matchOperator(std::u16string_view text, std::size_t at) {
  char16_t c = text[at];
  char16_t next = at + 1 < text.size() ? text[at + 1] : u'\0';
  if (c == u'<' && (next == u'>' || next == u'=')) return 2;
  if (c == u'>' && next == u'=') return 2;
  switch (c) {
    case u'+':
    case u'-':
    case u'*':
    case u'/':
    case u'^':
    case u'&':
    case u'%':
    case u'=':
    case u'<':
    case u'>':
    case u':':
      return 1;
    default:
      return 0;
  }
}

TokenKind punctuation(char16_t c) {
  switch (c) {
    case u'(':
      return TokenKind::OpenParen;
    case u')':
      return TokenKind::CloseParen;
    case u',':
      return TokenKind::Comma;
    case u';':
      return TokenKind::Semicolon;
    case u'{':
      return TokenKind::OpenBrace;
    case u'}':
      return TokenKind::CloseBrace;
    default:
      return TokenKind::Invalid;
  }
}

Token nextToken(std::u16string_view text, std::size_t at) {
  char16_t c = text[at];
  if (isBlank(c)) {
    std::size_t end = at;
    while (end < text.size() && isBlank(text[end])) ++end;
    return {TokenKind::Space, at, end - at};
  }
  if (c == u'"') {
    std::size_t length = matchString(text, at);
    if (length == 0) return {TokenKind::Invalid, at, text.size() - at};
    return {TokenKind::String, at, length};
  }
  if (c == u'#') {
    for (auto literal : kErrorLiterals) {
      if (startsWithIgnoringCase(text, at, literal)) return {TokenKind::Error, at, literal.size()};
    }
    return {TokenKind::Invalid, at, 1};
  }
  // A structured reference ("Table1[Amount]", "[@Amount]") reads as one name.
  if (isNameStart(c) || c == u'[') {
    if (std::size_t length = matchStructuredReference(text, at))
      return {TokenKind::Name, at, length};
  }
  if (c == u'\'' || c == u'$' || isAsciiDigit(c) || isNameStart(c)) {
    if (isNameStart(c)) {
      std::size_t end = at;
      while (end < text.size() && isNameChar(text[end])) ++end;
      if (end < text.size() && text[end] == u'(') return {TokenKind::Function, at, end - at};
    }
    if (auto reference = matchReference(text, at)) {
      return {TokenKind::Reference, at, reference->length};
    }
  }
  if (isAsciiDigit(c) || c == u'.') {
    if (std::size_t length = matchNumber(text, at)) return {TokenKind::Number, at, length};
  }
  // A sheet-level name ("Sheet1!Total", "'My Sheet'!Total") stays one token.
  if (auto qualified = matchQualifiedName(text, at))
    return {TokenKind::Name, at, qualified->length};
  if (isNameStart(c)) {
    std::size_t end = at;
    while (end < text.size() && isNameChar(text[end])) ++end;
    std::u16string_view word = text.substr(at, end - at);
    bool boolean = (word.size() == 4 && startsWithIgnoringCase(word, 0, u"TRUE")) ||
                   (word.size() == 5 && startsWithIgnoringCase(word, 0, u"FALSE"));
    return {boolean ? TokenKind::Boolean : TokenKind::Name, at, end - at};
  }
  if (std::size_t length = matchOperator(text, at)) return {TokenKind::Operator, at, length};
  return {punctuation(c), at, 1};
}

}  // namespace

std::vector<Token> tokenizeFormula(std::u16string_view formula) {
  std::vector<Token> tokens;
  for (std::size_t at = 0; at < formula.size();) {
    Token token = nextToken(formula, at);
    tokens.push_back(token);
    at += token.length;
  }
  return tokens;
}

}  // namespace sx::formula
