#include "formula/reference_adjust.h"

#include <optional>

#include "core/sheet_name.h"
#include "core/text_case.h"
#include "formula/formula_token.h"
#include "formula/reference_match.h"
#include "formula/reference_syntax.h"

namespace sx {
namespace {

using formula::ParsedReference;
using formula::ReferencePart;
using formula::ReferenceShape;

constexpr std::u16string_view kRefError = u"#REF!";

// Rewrites every Reference token through `rewrite` (nullopt: the reference is lost, #REF!), the
// sheet of every sheet-level name ("Sheet1!Total") through `requalify` (the sheet's new name;
// nullopt: the sheet is gone, #REF!), and copies all other text as it stands.
template <typename Rewrite, typename Requalify>
std::u16string rewriteTokens(std::u16string_view text, Rewrite rewrite, Requalify requalify) {
  std::u16string out;
  out.reserve(text.size());
  for (const auto& token : formula::tokenizeFormula(text)) {
    std::u16string_view piece = text.substr(token.offset, token.length);
    if (token.kind == formula::TokenKind::Name) {
      auto qualified = formula::matchQualifiedName(piece, 0);
      if (!qualified) {
        out += piece;
      } else if (auto sheet = requalify(qualified->sheet)) {
        out += *sheet == qualified->sheet ? std::u16string(piece)
                                          : quoteSheetName(*sheet) + u"!" + qualified->name;
      } else {
        out += kRefError;
      }
      continue;
    }
    if (token.kind != formula::TokenKind::Reference) {
      out += piece;
      continue;
    }
    auto parsed = formula::parseReferenceText(piece);
    if (!parsed) {
      out += piece;
      continue;
    }
    if (auto changed = rewrite(*parsed)) {
      out += *changed;
    } else {
      out += kRefError;
    }
  }
  return out;
}

template <typename Rewrite>
std::u16string rewriteReferences(std::u16string_view text, Rewrite rewrite) {
  return rewriteTokens(text, rewrite,
                       [](const std::u16string& sheet) { return std::optional(sheet); });
}

bool movePart(ReferencePart& part, ReferenceShape shape, int32_t rowOffset, int32_t columnOffset) {
  if (shape != ReferenceShape::Columns && !part.rowAbsolute) {
    part.row += rowOffset;
    if (part.row < 0 || part.row >= kMaxRows) return false;
  }
  if (shape != ReferenceShape::Rows && !part.columnAbsolute) {
    part.column += columnOffset;
    if (part.column < 0 || part.column >= kMaxColumns) return false;
  }
  return true;
}

// Moves the edges [first, last] for cells [bandFirst, bandLast] deleted (later cells move back
// by the band's size) or inserted before bandFirst (later cells move on). False when every cell
// of the span is deleted.
bool shiftSpan(int32_t& first, int32_t& last, int32_t bandFirst, int32_t bandLast, bool insert,
               int32_t limit) {
  int32_t size = bandLast - bandFirst + 1;
  if (insert) {
    bool single = first == last;
    if (first >= bandFirst) first += size;
    if (last >= bandFirst) last += size;
    if (first >= limit) return false;
    if (last >= limit) {
      if (single) return false;
      last = limit - 1;  // a range reaching the sheet's end keeps reaching it
    }
    return true;
  }
  if (first >= bandFirst && last <= bandLast) return false;
  auto moved = [&](int32_t edge, bool isFirst) {
    if (edge < bandFirst) return edge;
    if (edge > bandLast) return edge - size;
    return isFirst ? bandFirst : bandFirst - 1;
  };
  first = moved(first, true);
  last = moved(last, false);
  return true;
}

std::optional<std::u16string> shiftReference(ParsedReference reference, const CellShift& shift) {
  const bool vertical = shift.vertical();
  const bool insert = !shift.deletes();
  // A whole-column reference spans every row, so a vertical shift never changes it (and the same
  // for whole rows and a horizontal shift).
  if (vertical && reference.shape == ReferenceShape::Columns)
    return formula::formatReference(reference);
  if (!vertical && reference.shape == ReferenceShape::Rows)
    return formula::formatReference(reference);

  auto span = [](int32_t a, int32_t b, int32_t whole, bool wholeSpan) {
    return wholeSpan ? std::pair{0, whole - 1} : std::pair{std::min(a, b), std::max(a, b)};
  };
  auto [crossFirst, crossLast] = vertical
                                     ? span(reference.first.column, reference.last.column,
                                            kMaxColumns, reference.shape == ReferenceShape::Rows)
                                     : span(reference.first.row, reference.last.row, kMaxRows,
                                            reference.shape == ReferenceShape::Columns);
  int32_t bandCrossFirst = vertical ? shift.firstColumn : shift.firstRow;
  int32_t bandCrossLast = vertical ? shift.lastColumn : shift.lastRow;
  // Only a reference whose whole width lies in the moved cells moves with them; one that the
  // shift would split keeps its address, as a spreadsheet leaves it.
  if (crossFirst < bandCrossFirst || crossLast > bandCrossLast)
    return formula::formatReference(reference);

  int32_t& a = vertical ? reference.first.row : reference.first.column;
  int32_t& b = vertical ? reference.last.row : reference.last.column;
  bool ordered = a <= b;
  int32_t& low = ordered ? a : b;
  int32_t& high = ordered ? b : a;
  int32_t bandFirst = vertical ? shift.firstRow : shift.firstColumn;
  int32_t bandLast = vertical ? shift.lastRow : shift.lastColumn;
  int32_t limit = vertical ? kMaxRows : kMaxColumns;
  if (!shiftSpan(low, high, bandFirst, bandLast, insert, limit)) return std::nullopt;
  return formula::formatReference(reference);
}

}  // namespace

std::u16string translateFormula(std::u16string_view formula, int32_t rowOffset,
                                int32_t columnOffset) {
  return rewriteReferences(
      formula, [&](ParsedReference reference) -> std::optional<std::u16string> {
        if (!movePart(reference.first, reference.shape, rowOffset, columnOffset))
          return std::nullopt;
        if (reference.isRange &&
            !movePart(reference.last, reference.shape, rowOffset, columnOffset)) {
          return std::nullopt;
        }
        if (!reference.isRange) reference.last = reference.first;
        return formula::formatReference(reference);
      });
}

std::u16string adjustFormulaForShift(std::u16string_view formula, std::u16string_view formulaSheet,
                                     const CellShift& shift) {
  return rewriteReferences(
      formula, [&](ParsedReference reference) -> std::optional<std::u16string> {
        // A reference through several sheets stays: the other sheets' cells did not move.
        if (!reference.lastSheet.empty()) return formula::formatReference(reference);
        std::u16string_view sheet =
            reference.hasSheet ? std::u16string_view(reference.sheet) : formulaSheet;
        if (sheet.empty() || !equalsIgnoringCase(sheet, shift.sheet)) {
          return formula::formatReference(reference);
        }
        return shiftReference(std::move(reference), shift);
      });
}

std::u16string renameSheetInFormula(std::u16string_view formula, std::u16string_view oldName,
                                    std::u16string_view newName) {
  return rewriteTokens(
      formula,
      [&](ParsedReference reference) -> std::optional<std::u16string> {
        if (reference.hasSheet && equalsIgnoringCase(reference.sheet, oldName)) {
          reference.sheet = std::u16string(newName);
        }
        if (!reference.lastSheet.empty() && equalsIgnoringCase(reference.lastSheet, oldName)) {
          reference.lastSheet = std::u16string(newName);
        }
        return formula::formatReference(reference);
      },
      [&](const std::u16string& sheet) {
        return std::optional(equalsIgnoringCase(sheet, oldName) ? std::u16string(newName) : sheet);
      });
}

std::u16string removeSheetFromFormula(std::u16string_view formula, std::u16string_view sheet,
                                      std::u16string_view next, std::u16string_view previous) {
  return rewriteTokens(
      formula,
      [&](ParsedReference reference) -> std::optional<std::u16string> {
        if (!reference.hasSheet) return formula::formatReference(reference);
        if (!reference.lastSheet.empty()) {
          // An end sheet gone: the span ends at its neighbour inside, one sheet left is a plain
          // one.
          if (equalsIgnoringCase(reference.sheet, sheet)) reference.sheet = std::u16string(next);
          if (equalsIgnoringCase(reference.lastSheet, sheet))
            reference.lastSheet = std::u16string(previous);
          if (reference.sheet.empty() || reference.lastSheet.empty()) return std::nullopt;
          if (equalsIgnoringCase(reference.sheet, reference.lastSheet)) reference.lastSheet.clear();
          return formula::formatReference(reference);
        }
        if (equalsIgnoringCase(reference.sheet, sheet)) return std::nullopt;
        return formula::formatReference(reference);
      },
      [&](const std::u16string& named) {
        return equalsIgnoringCase(named, sheet) ? std::nullopt : std::optional(named);
      });
}

ShiftAxes shiftAxes(const CellShift& shift, int32_t firstRow, int32_t firstColumn, int32_t lastRow,
                    int32_t lastColumn) {
  if (shift.vertical()) {
    return {firstRow,       lastRow,       firstColumn,       lastColumn,
            shift.firstRow, shift.lastRow, shift.firstColumn, shift.lastColumn};
  }
  return {firstColumn,       lastColumn,       firstRow,       lastRow,
          shift.firstColumn, shift.lastColumn, shift.firstRow, shift.lastRow};
}

}  // namespace sx
