#include "formula/reference_match.h"

#include "core/a1_grammar.h"
#include "core/sheet_name.h"
#include "formula/character_classes.h"

namespace sx::formula {
namespace {

struct PartMatch {
  ReferencePart part;
  ReferenceShape shape;  // Cells: column and row; Columns: column only; Rows: row only
  std::size_t end;
};

std::optional<PartMatch> matchPart(std::u16string_view text, std::size_t i) {
  const A1CornerMatch match = matchA1Corner(text, i);
  if (match.fault != A1Fault::None) return std::nullopt;
  const A1Corner& corner = match.corner;
  ReferenceShape shape = ReferenceShape::Cells;
  if (corner.row < 0) shape = ReferenceShape::Columns;
  if (corner.column < 0) shape = ReferenceShape::Rows;
  return PartMatch{
      {corner.row, corner.column, corner.rowAbsolute, corner.columnAbsolute}, shape, corner.end};
}

bool endsCleanly(std::u16string_view text, std::size_t end) {
  if (end >= text.size()) return true;
  char16_t next = text[end];
  return !(isNameChar(next) || next == u'(' || next == u'!' || next == u'$');
}

}  // namespace

std::optional<std::size_t> matchSheetPrefix(std::u16string_view text, std::size_t at,
                                            std::u16string& sheet) {
  if (const std::optional<QuotedName> quoted = readQuotedSheetName(text, at)) {
    if (quoted->name.empty() || quoted->end >= text.size() || text[quoted->end] != u'!') {
      return std::nullopt;
    }
    sheet = quoted->name;
    return quoted->end + 1;
  }
  if (at < text.size() && isNameStart(text[at])) {
    std::size_t i = at;
    while (i < text.size() && isNameChar(text[i])) ++i;
    // Sheet1:Sheet3! spans sheets; neither part may read as a reference (A1:B2 is a range).
    if (i + 1 < text.size() && text[i] == u':' && isNameStart(text[i + 1]) &&
        !readsAsReference(text.substr(at, i - at))) {
      std::size_t end = i + 1;
      while (end < text.size() && isNameChar(text[end])) ++end;
      if (end < text.size() && text[end] == u'!' &&
          !readsAsReference(text.substr(i + 1, end - i - 1)))
        i = end;
    }
    if (i < text.size() && text[i] == u'!') {
      sheet.assign(text.substr(at, i - at));
      return i + 1;
    }
  }
  return std::nullopt;
}

std::optional<ReferenceMatch> matchReference(std::u16string_view text, std::size_t at) {
  ReferenceMatch result{{}, 0};
  std::size_t i = at;
  if (auto afterSheet = matchSheetPrefix(text, at, result.reference.sheet)) {
    std::u16string& sheet = result.reference.sheet;
    if (const std::size_t colon = sheet.find(u':'); colon != std::u16string::npos) {
      result.reference.lastSheet = sheet.substr(colon + 1);
      sheet.resize(colon);
      if (sheet.empty() || result.reference.lastSheet.empty()) return std::nullopt;
    }
    result.reference.hasSheet = true;
    i = *afterSheet;
  }
  auto first = matchPart(text, i);
  if (!first) return std::nullopt;
  result.reference.shape = first->shape;
  result.reference.first = first->part;
  result.reference.last = first->part;
  if (first->end < text.size() && text[first->end] == u':') {
    auto second = matchPart(text, first->end + 1);
    if (second && second->shape == first->shape && endsCleanly(text, second->end)) {
      result.reference.last = second->part;
      result.reference.isRange = true;
      result.length = second->end - at;
      return result;
    }
  }
  // A lone column or row ("A", "3") is a name or a number, not a reference.
  if (first->shape != ReferenceShape::Cells || !endsCleanly(text, first->end)) return std::nullopt;
  result.length = first->end - at;
  return result;
}

std::optional<NameMatch> matchQualifiedName(std::u16string_view text, std::size_t at) {
  NameMatch result;
  auto afterSheet = matchSheetPrefix(text, at, result.sheet);
  if (!afterSheet || *afterSheet >= text.size() || !isNameStart(text[*afterSheet]))
    return std::nullopt;
  std::size_t end = *afterSheet;
  while (end < text.size() && isNameChar(text[end])) ++end;
  result.name.assign(text.substr(*afterSheet, end - *afterSheet));
  result.length = end - at;
  return result;
}

}  // namespace sx::formula
