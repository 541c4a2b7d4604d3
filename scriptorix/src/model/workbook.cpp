#include "model/workbook.h"

#include <algorithm>
#include <stdexcept>

#include "formula/formula_traits.h"
#include "formula/reference_adjust.h"
#include "core/text_case.h"
#include "core/utf.h"
#include "model/word_table.h"
#include "model/workbook_calculation.h"

namespace sx {

namespace {

constexpr Word<CalculationMode> kCalculationModes[] = {
    {"auto", CalculationMode::Auto, "auto"},
    {"manual", CalculationMode::Manual, "manual"},
    {"autoNoTable", CalculationMode::AutoNoTable, "autoNoTable"},
};

}  // namespace

CalculationMode parseCalculationMode(std::u16string_view word) {
  return parseWord(kCalculationModes, word, "calculation mode");
}

std::string_view calculationModeName(CalculationMode mode) {
  return ooxmlName(kCalculationModes, mode);
}

CalculationMode calculationModeFromName(std::string_view name) {
  return fromOoxmlName(kCalculationModes, name, CalculationMode::Auto);
}

Workbook::Workbook(bool withFirstSheet)
    : calculation_(std::make_unique<WorkbookCalculation>(*this)) {
  if (withFirstSheet) addSheet(u"Sheet1");
}

Workbook::~Workbook() = default;

Sheet* Workbook::sheetById(uint32_t id) const {
  for (const auto& sheet : sheets_) {
    if (sheet->id() == id) return sheet.get();
  }
  return nullptr;
}

Sheet* Workbook::findSheet(std::u16string_view name) const {
  for (const auto& sheet : sheets_) {
    if (equalsIgnoringCase(sheet->name(), name)) return sheet.get();
  }
  return nullptr;
}

size_t Workbook::sheetIndex(const Sheet& sheet) const {
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i].get() == &sheet) return i;
  }
  throw std::invalid_argument("The sheet does not belong to this workbook");
}

void Workbook::checkSheetName(std::u16string_view name, const Sheet* ignore) const {
  if (name.empty() || name.size() > 31) {
    throw std::invalid_argument("A sheet name must have 1 to 31 characters");
  }
  if (name.find_first_of(u"[]:*?/\\") != std::u16string_view::npos) {
    throw std::invalid_argument("A sheet name cannot contain any of [ ] : * ? / \\");
  }
  if (name.front() == u'\'' || name.back() == u'\'') {
    throw std::invalid_argument("A sheet name cannot start or end with an apostrophe");
  }
  const Sheet* existing = findSheet(name);
  bool chartSheet = false;
  for (const ChartSheet& other : chartSheets_)
    chartSheet = chartSheet || equalsIgnoringCase(other.name, name);
  if ((existing && existing != ignore) || chartSheet) {
    throw std::invalid_argument("A sheet named \"" + toUtf8(name) + "\" already exists");
  }
}

ChartSheet& Workbook::addChartSheet(std::u16string_view name, SheetChart chart) {
  checkSheetName(name);
  const uint32_t after = sheets_.empty() ? 0 : sheets_.back()->id();
  chartSheets_.push_back({nextSheetId_++, std::u16string(name), std::move(chart), after});
  return chartSheets_.back();
}

Sheet& Workbook::addSheet(std::u16string_view name) {
  checkSheetName(name);
  calculation_->beforeRestructure();
  sheets_.push_back(std::make_unique<Sheet>(*this, nextSheetId_++, std::u16string(name)));
  activeSheetId_ = sheets_.back()->id();
  // References to a sheet of this name may have been #REF! until now.
  calculation_->rebuildLater();
  return *sheets_.back();
}

void Workbook::renameSheet(Sheet& sheet, std::u16string_view newName) {
  sheetIndex(sheet);
  checkSheetName(newName, &sheet);
  const std::u16string oldName = sheet.name();
  if (oldName == newName) return;
  calculation_->beforeRestructure();
  rewriteFormulas([&](std::u16string_view formula, std::u16string_view) {
    return renameSheetInFormula(formula, oldName, newName);
  });
  sheet.rename(std::u16string(newName));
  calculation_->rebuildLater();
}

void Workbook::moveSheet(Sheet& sheet, size_t index) {
  const size_t from = sheetIndex(sheet);
  index = std::min(index, sheets_.size() - 1);
  auto owned = std::move(sheets_[from]);
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(from));
  sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(index), std::move(owned));
  if (from != index) calculateAgain(formula::readsThroughSheets);
}

void Workbook::moveSheetBefore(Sheet& sheet, const Sheet& before) {
  const size_t from = sheetIndex(sheet);
  size_t to = sheetIndex(before);
  if (&sheet == &before) return;
  moveSheet(sheet, from < to ? to - 1 : to);
}

void Workbook::moveSheetAfter(Sheet& sheet, const Sheet& after) {
  const size_t from = sheetIndex(sheet);
  size_t to = sheetIndex(after);
  if (&sheet == &after) return;
  moveSheet(sheet, from < to ? to : to + 1);
}

Sheet& Workbook::activeSheet() const {
  if (Sheet* sheet = sheetById(activeSheetId_)) return *sheet;
  if (sheets_.empty()) throw std::logic_error("The workbook has no sheets");
  return *sheets_.front();
}

void Workbook::setActiveSheet(const Sheet& sheet) {
  sheetIndex(sheet);
  if (sheet.settings().visibility != SheetVisibility::Visible) {
    throw std::invalid_argument("The sheet \"" + toUtf8(sheet.name()) +
                                "\" is hidden: show it before making it active");
  }
  activeSheetId_ = sheet.id();
}

const Sheet* Workbook::visibleNeighbour(const Sheet& sheet) const {
  const size_t at = sheetIndex(sheet);
  for (size_t i = at + 1; i < sheets_.size(); ++i) {
    if (sheets_[i]->settings().visibility == SheetVisibility::Visible) return sheets_[i].get();
  }
  for (size_t i = at; i-- > 0;) {
    if (sheets_[i]->settings().visibility == SheetVisibility::Visible) return sheets_[i].get();
  }
  return nullptr;
}

void Workbook::setSheetVisibility(Sheet& sheet, SheetVisibility visibility) {
  sheetIndex(sheet);
  if (visibility == SheetVisibility::Visible ||
      sheet.settings().visibility != SheetVisibility::Visible) {
    sheet.settings().visibility = visibility;
    return;
  }
  const Sheet* next = visibleNeighbour(sheet);
  if (next == nullptr) {
    throw std::invalid_argument("The sheet \"" + toUtf8(sheet.name()) +
                                "\" is the only visible sheet: a workbook keeps one visible");
  }
  if (activeSheetId_ == sheet.id()) activeSheetId_ = next->id();
  sheet.settings().visibility = visibility;
}

void Workbook::removeSheet(Sheet& sheet) {
  const size_t at = sheetIndex(sheet);
  const Sheet* next = visibleNeighbour(sheet);
  if (sheet.settings().visibility == SheetVisibility::Visible && next == nullptr) {
    throw std::invalid_argument("The sheet \"" + toUtf8(sheet.name()) +
                                "\" is the only visible sheet: a workbook keeps one visible");
  }
  if (activeSheetId_ == sheet.id()) activeSheetId_ = next->id();
  const std::u16string name = sheet.name();
  const std::u16string after = at + 1 < sheets_.size() ? sheets_[at + 1]->name() : std::u16string();
  const std::u16string before = at > 0 ? sheets_[at - 1]->name() : std::u16string();
  calculation_->beforeRestructure();
  std::erase_if(names_, [&](const DefinedName& entry) { return entry.scopeSheetId == sheet.id(); });
  std::erase_if(tables_, [&](const TableDefinition& table) { return table.sheetId == sheet.id(); });
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(at));
  calculation_->rebuildLater();
  // Formulas that read the sheet now read #REF!: they, and what reads them, are calculated again.
  rewriteFormulas(
      [&](std::u16string_view formula, std::u16string_view) {
        return removeSheetFromFormula(formula, name, after, before);
      },
      true);
  calculateAgain(formula::readsThroughSheets);
}

bool Workbook::isValidDefinedName(std::u16string_view name) {
  if (name.empty() || name.size() > 255) return false;
  auto isLetter = [](char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0x80;
  };
  auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  if (!isLetter(name[0]) && name[0] != u'_' && name[0] != u'\\') return false;
  for (char16_t c : name.substr(1)) {
    if (!isLetter(c) && !isDigit(c) && c != u'_' && c != u'.') return false;
  }
  // Names that read as a cell (A1, XFD1048576) or an R1C1 reference (R, C, R1C1, RC2) are refused.
  try {
    parseRangeRef(name);
    return false;
  } catch (const std::exception&) {
  }
  size_t i = 0;
  auto skipDigits = [&] {
    while (i < name.size() && isDigit(name[i])) ++i;
  };
  if (i < name.size() && (name[i] == u'R' || name[i] == u'r')) {
    ++i;
    skipDigits();
  }
  if (i < name.size() && (name[i] == u'C' || name[i] == u'c')) {
    ++i;
    skipDigits();
  }
  return i != name.size();
}

void Workbook::addDefinedName(std::u16string_view name, std::u16string_view reference,
                              const Sheet* scope) {
  if (!isValidDefinedName(name)) {
    throw std::invalid_argument("Invalid defined name \"" + toUtf8(name) +
                                "\": it must start with a letter, underscore or backslash, "
                                "go on with letters, digits, underscores or dots, and not "
                                "read as a cell reference");
  }
  if (findDefinedName(name, scope)) {
    throw std::invalid_argument(
        "The defined name \"" + toUtf8(name) + "\" already exists" +
        (scope ? " on the sheet \"" + toUtf8(scope->name()) + "\"" : std::string()));
  }
  // Tables and defined names share one set of names.
  for (const auto& sheet : sheets_) {
    for (const SheetTable& table : sheet->objects().tables) {
      if (equalsIgnoringCase(table.name, name)) {
        throw std::invalid_argument("The name \"" + toUtf8(name) + "\" is already a table's");
      }
    }
  }
  if (!reference.empty() && reference[0] == u'=') reference.remove_prefix(1);
  if (reference.empty()) throw std::invalid_argument("A defined name needs a reference");
  calculation_->beforeRestructure();
  names_.push_back({std::u16string(name), std::u16string(reference), scope ? scope->id() : 0});
  calculation_->rebuildForNames();
}

void Workbook::addTable(TableDefinition table) {
  calculation_->beforeRestructure();
  tables_.push_back(std::move(table));
  calculation_->rebuildForNames();
}

const TableDefinition* Workbook::findTable(std::u16string_view name) const {
  for (const TableDefinition& table : tables_) {
    if (equalsIgnoringCase(table.name, name)) return &table;
  }
  return nullptr;
}

void Workbook::recalculateAll() { calculation_->recalculateAll(); }

void Workbook::finishLoading() { calculation_->loaded(); }

void Workbook::setDateSystem(formula::DateSystem system) {
  if (system == dateSystem_) return;
  calculation_->beforeRestructure();
  dateSystem_ = system;
  calculation_->recalculateAll();
}

void Workbook::calculate() const { calculation_->update(); }

const DefinedName* Workbook::findDefinedName(std::u16string_view name, const Sheet* scope) const {
  const uint32_t scopeId = scope ? scope->id() : 0;
  for (const DefinedName& entry : names_) {
    if (entry.scopeSheetId == scopeId && equalsIgnoringCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

const DefinedName* Workbook::definedNameSeenFrom(std::u16string_view name,
                                                 const Sheet& sheet) const {
  const DefinedName* own = findDefinedName(name, &sheet);
  return own ? own : findDefinedName(name);
}

const DefinedName* Workbook::definedNameFor(const Sheet& sheet, const RangeRef& range) const {
  const RangeRef wanted = normalizedShape(range);
  for (const DefinedName& entry : names_) {
    if (entry.scopeSheetId != 0 && entry.scopeSheetId != sheet.id()) continue;
    try {
      const SheetRangeRef target = parseSheetRangeRef(entry.reference);
      if (equalsIgnoringCase(target.sheet, sheet.name()) &&
          normalizedShape(target.range) == wanted) {
        return &entry;
      }
    } catch (const std::exception&) {
      // a name that holds a formula or a constant refers to no range
    }
  }
  return nullptr;
}

void Workbook::rewriteFormulas(
    const std::function<std::u16string(std::u16string_view, std::u16string_view)>& rewrite,
    bool calculateRewritten) {
  for (const auto& sheet : sheets_) {
    for (int32_t row = 0; row < sheet->rowLimit(); ++row) {
      for (StoredCell& cell : sheet->rows_[row].cells) {
        if (!cell.hasFormula()) continue;
        const std::u16string& before = strings_.at(cell.formula);
        std::u16string after = rewrite(before, sheet->name());
        if (after == before) continue;
        cell.formula = strings_.intern(after);
        if (calculateRewritten) calculation_->formulaSet(*sheet, row, cell.column, after);
      }
    }
    // The formulas of conditional formats, validations and links follow the same edits.
    auto rewriteRules = [&](auto& rules) {
      for (auto& rule : rules) {
        for (std::u16string& formula : rule.formulas) formula = rewrite(formula, sheet->name());
      }
    };
    rewriteRules(sheet->conditionalFormats_);
    rewriteRules(sheet->validations_);
    rewriteRules(sheet->hyperlinks_);
  }
  std::vector<std::u16string> changedNames;
  for (DefinedName& entry : names_) {
    const Sheet* scope = entry.scopeSheetId ? sheetById(entry.scopeSheetId) : nullptr;
    std::u16string after = rewrite(
        entry.reference, scope ? std::u16string_view(scope->name()) : std::u16string_view());
    if (after == entry.reference) continue;
    entry.reference = std::move(after);
    changedNames.push_back(entry.name);
  }
  // Chart series name their sheets, like defined names.
  auto rewriteChart = [&](SheetChart& chart) {
    for (ChartSeries& series : chart.series) {
      for (std::u16string* reference : {&series.values, &series.categories, &series.nameCell}) {
        if (!reference->empty()) *reference = rewrite(*reference, u"");
      }
    }
  };
  for (const auto& sheet : sheets_) {
    for (SheetChart& chart : sheet->objects().charts) rewriteChart(chart);
  }
  for (ChartSheet& sheet : chartSheets_) rewriteChart(sheet.chart);
  if (!calculateRewritten || changedNames.empty()) return;
  // What reads a name now pointing elsewhere (or at #REF!) is calculated again, though its own
  // text stayed.
  calculateAgain([&](std::u16string_view text) {
    for (const std::u16string& used : formula::namesInFormula(text)) {
      for (const std::u16string& name : changedNames) {
        if (equalsIgnoringCase(name, used)) return true;
      }
    }
    return false;
  });
}

void Workbook::calculateAgain(const std::function<bool(std::u16string_view formula)>& matches) {
  struct Found {
    const Sheet* sheet;
    int32_t row;
    int32_t column;
    uint32_t formula;
  };
  std::vector<Found> found;
  for (const auto& sheet : sheets_) {
    for (int32_t row = 0; row < sheet->rowLimit(); ++row) {
      for (const StoredCell& cell : sheet->rows_[row].cells) {
        if (cell.hasFormula() && matches(strings_.at(cell.formula)))
          found.push_back({sheet.get(), row, cell.column, cell.formula});
      }
    }
  }
  if (found.empty()) return;
  calculation_->beforeRestructure();
  calculation_->rebuildLater();
  for (const Found& cell : found)
    calculation_->formulaSet(*cell.sheet, cell.row, cell.column, strings_.at(cell.formula));
}

}  // namespace sx
