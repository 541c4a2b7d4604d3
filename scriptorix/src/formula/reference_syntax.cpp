#include "formula/reference_syntax.h"

#include <algorithm>

#include "core/sheet_name.h"
#include "formula/reference_match.h"

namespace sx::formula {

std::optional<ParsedReference> parseReferenceText(std::u16string_view text) {
  auto match = matchReference(text, 0);
  if (!match || match->length != text.size()) return std::nullopt;
  return std::move(match->reference);
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

}  // namespace

Area areaOnSheet(const ParsedReference& reference, int32_t sheet) {
  Area area{sheet, 0, 0, kMaxRows - 1, kMaxColumns - 1};
  if (reference.shape != ReferenceShape::Columns) {
    area.firstRow = std::min(reference.first.row, reference.last.row);
    area.lastRow = std::max(reference.first.row, reference.last.row);
  }
  if (reference.shape != ReferenceShape::Rows) {
    area.firstColumn = std::min(reference.first.column, reference.last.column);
    area.lastColumn = std::max(reference.first.column, reference.last.column);
  }
  return area;
}

std::u16string formatReference(const ParsedReference& reference) {
  std::u16string out;
  if (reference.hasSheet && reference.lastSheet.empty()) {
    out = quoteSheetName(reference.sheet);
    out.push_back(u'!');
  } else if (reference.hasSheet) {
    // Quoted as a whole when either sheet needs it: 'Jan 1:Mar'!
    const std::u16string both = reference.sheet + u":" + reference.lastSheet;
    const bool plain = quoteSheetName(reference.sheet) == reference.sheet &&
                       quoteSheetName(reference.lastSheet) == reference.lastSheet;
    out = plain ? both : quoteSheetName(both);
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
