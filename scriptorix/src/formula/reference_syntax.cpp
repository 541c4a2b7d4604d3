#include "formula/reference_syntax.h"

#include "formula/character_classes.h"
#include "formula/reference_match.h"

namespace sx::formula {

std::optional<ParsedReference> parseReferenceText(std::u16string_view text) {
  auto match = matchReference(text, 0);
  if (!match || match->length != text.size()) return std::nullopt;
  return std::move(match->reference);
}

std::u16string columnLetters(int32_t column) {
  std::u16string letters;
  for (int32_t n = column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), char16_t(u'A' + (n - 1) % 26));
  }
  return letters;
}

namespace {

void appendNumber(std::u16string& out, int32_t value) {
  for (char c : std::to_string(value)) out.push_back(char16_t(c));
}

void appendPart(std::u16string& out, const ReferencePart& part, ReferenceShape shape) {
  if (shape != ReferenceShape::Rows) {
    if (part.columnAbsolute) out.push_back(u'$');
    out += columnLetters(part.column);
  }
  if (shape != ReferenceShape::Columns) {
    if (part.rowAbsolute) out.push_back(u'$');
    appendNumber(out, part.row + 1);
  }
}

bool looksLikeCellReference(std::u16string_view name) {
  std::size_t i = 0;
  while (i < name.size() && isAsciiLetter(name[i])) ++i;
  if (i == 0 || i > 3 || i == name.size()) return false;
  std::size_t digits = i;
  while (digits < name.size() && isAsciiDigit(name[digits])) ++digits;
  return digits == name.size();
}

// R, C, R1C1 and the like would read as R1C1-style references in a spreadsheet.
bool looksLikeR1C1(std::u16string_view name) {
  std::size_t i = 0;
  auto digitsFrom = [&](std::size_t& at) {
    while (at < name.size() && isAsciiDigit(name[at])) ++at;
  };
  if (i < name.size() && asciiUpper(name[i]) == u'R') {
    ++i;
    digitsFrom(i);
  }
  if (i < name.size() && asciiUpper(name[i]) == u'C') {
    ++i;
    digitsFrom(i);
  }
  return i > 0 && i == name.size();
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace

bool sameSheetName(std::u16string_view a, std::u16string_view b) {
  return equalsIgnoringCase(a, b);
}

std::u16string quoteSheetNameIfNeeded(std::u16string_view name) {
  bool plain = !name.empty() && (isAsciiLetter(name[0]) || name[0] == u'_');
  for (char16_t c : name) {
    if (!(isAsciiLetter(c) || isAsciiDigit(c) || c == u'_' || c == u'.')) plain = false;
  }
  if (plain && (looksLikeCellReference(name) || looksLikeR1C1(name) ||
                equalsIgnoringCase(name, u"TRUE") || equalsIgnoringCase(name, u"FALSE"))) {
    plain = false;
  }
  if (plain) return std::u16string(name);
  std::u16string quoted = u"'";
  for (char16_t c : name) {
    quoted.push_back(c);
    if (c == u'\'') quoted.push_back(u'\'');
  }
  quoted.push_back(u'\'');
  return quoted;
}

std::u16string formatReference(const ParsedReference& reference) {
  std::u16string out;
  if (reference.hasSheet) {
    out = quoteSheetNameIfNeeded(reference.sheet);
    out.push_back(u'!');
  }
  appendPart(out, reference.first, reference.shape);
  if (reference.isRange) {
    out.push_back(u':');
    appendPart(out, reference.last, reference.shape);
  }
  return out;
}

}  // namespace sx::formula
