#include "formula/reference_match.h"

#include "core/a1_grammar.h"
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
  return PartMatch{{corner.row, corner.column, corner.rowAbsolute, corner.columnAbsolute}, shape,
                   corner.end};
}

bool endsCleanly(std::u16string_view text, std::size_t end) {
  if (end >= text.size()) return true;
  char16_t next = text[end];
  return !(isNameChar(next) || next == u'(' || next == u'!' || next == u'$');
}

// The sheet prefix ("Sheet1!" or "'My Sheet'!") at `at`, if any.
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
    if (i < text.size() && text[i] == u'!') {
      sheet.assign(text.substr(at, i - at));
      return i + 1;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<ReferenceMatch> matchReference(std::u16string_view text, std::size_t at) {
  ReferenceMatch result{{}, 0};
  std::size_t i = at;
  if (auto afterSheet = matchSheetPrefix(text, at, result.reference.sheet)) {
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

}  // namespace sx::formula
