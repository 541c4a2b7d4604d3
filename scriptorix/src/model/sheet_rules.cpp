#include <algorithm>
#include <stdexcept>

#include "core/utf.h"
#include "formula/formula_parser.h"
#include "formula/reference_adjust.h"
#include "model/sheet.h"

namespace sx {

namespace {

void checkFormulas(const std::vector<std::u16string>& formulas) {
  for (const std::u16string& formula : formulas) {
    if (formula.empty()) throw std::invalid_argument("A rule's formula or value is empty");
    formula::parseFormula(formula);
  }
}

// An area after the shift, moved as a formula's reference to it would be (the same rule moves
// the rules a file had); nullopt when all its cells were deleted.
std::optional<RangeRef> shiftedArea(const RangeRef& area, std::u16string_view sheet,
                                    const CellShift& shift) {
  const std::u16string moved = adjustFormulaForShift(formatRangeRef(area, false), sheet, shift);
  if (moved.find(u"#REF!") != std::u16string::npos) return std::nullopt;
  return parseRangeRef(moved);
}

}  // namespace

void Sheet::addConditionalFormat(ConditionalFormat format) {
  format.area = checked(format.area);
  checkFormulas(format.formulas);
  conditionalFormats_.push_back(std::move(format));
}

void Sheet::addValidation(DataValidation validation) {
  validation.area = checked(validation.area);
  checkFormulas(validation.formulas);
  for (const DataValidation& old : validations_) {
    const RangeRef& a = old.area;
    const RangeRef& b = validation.area;
    const bool covered = a.firstRow >= b.firstRow && a.lastRow <= b.lastRow &&
                         a.firstColumn >= b.firstColumn && a.lastColumn <= b.lastColumn;
    if (a.intersects(b) && !covered) {
      throw std::invalid_argument("The validation overlaps the one on " +
                                  toUtf8(formatRangeRef(a, false)) +
                                  " in part: a cell has one validation");
    }
  }
  std::erase_if(validations_,
                [&](const DataValidation& old) { return old.area.intersects(validation.area); });
  validations_.push_back(std::move(validation));
}

void Sheet::addHyperlink(Hyperlink link) {
  link.area = checked(link.area);
  if (link.address.empty() == link.formulas.empty()) {
    throw std::invalid_argument("A link goes to an address or to a place in the workbook");
  }
  checkFormulas(link.formulas);
  std::erase_if(hyperlinks_, [&](const Hyperlink& old) { return old.area.intersects(link.area); });
  hyperlinks_.push_back(std::move(link));
}

void Sheet::setRichText(int32_t row, int32_t column, std::vector<TextRun> runs) {
  const RangeRef cell = checked(cellRef(row, column));
  std::u16string text;
  for (const TextRun& run : runs) text += run.text;
  if (runs.empty() || text.empty())
    throw std::invalid_argument("Rich text needs at least one run with text");
  setValue(cell, CellValue::fromText(text));
  const StoredCell* stored = findCell(row, column);
  richTexts_[{row, column}] = RichText{stored->text, std::move(runs)};
}

const std::vector<TextRun>* Sheet::richText(int32_t row, int32_t column) const {
  const auto found = richTexts_.find({row, column});
  if (found == richTexts_.end()) return nullptr;
  const StoredCell* cell = findCell(row, column);
  const bool same = cell && !cell->hasFormula() && cell->kind == CellValue::Kind::Text &&
                    cell->text == found->second.textId;
  return same ? &found->second.runs : nullptr;
}

// Their formulas move with every sheet's in Workbook::rewriteFormulas.
void Sheet::shiftCellRules(const CellShift& shift) {
  auto moveAll = [&](auto& rules) {
    for (auto it = rules.begin(); it != rules.end();) {
      const std::optional<RangeRef> area = shiftedArea(it->area, name_, shift);
      if (!area) {
        it = rules.erase(it);
        continue;
      }
      it->area = *area;
      ++it;
    }
  };
  moveAll(conditionalFormats_);
  moveAll(validations_);
  moveAll(hyperlinks_);
  std::map<std::pair<int32_t, int32_t>, RichText> moved;
  for (auto& [position, runs] : richTexts_) {
    if (const auto cell = shiftedArea(cellRef(position.first, position.second), name_, shift)) {
      moved.emplace(std::pair(cell->firstRow, cell->firstColumn), std::move(runs));
    }
  }
  richTexts_ = std::move(moved);
  for (std::optional<RangeRef>* area :
       {&areas_.autoFilter, &areas_.printArea, &areas_.titleRows, &areas_.titleColumns}) {
    if (*area) *area = shiftedArea(**area, name_, shift);
  }
}

}  // namespace sx
