#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/date_serial.h"
#include "formula/reference_adjust.h"
#include "model/address.h"
#include "model/package_origin.h"
#include "model/sheet.h"
#include "model/string_pool.h"
#include "model/style_table.h"

namespace sx {

class WorkbookCalculation;

// A defined name. `reference` has no leading "=": a range ("Sheet1!$A$1:$B$2"), a constant
// ("0.2") or a formula ("Sheet1!$A$1*2").
struct DefinedName {
  std::u16string name;
  std::u16string reference;
  uint32_t scopeSheetId = 0;  // the sheet whose own name it is; 0 for the workbook's
};

// A table (list object) as the file had it, for structured references ("Table1[Amount]"): its
// whole area (header and totals rows included) and its column names left to right.
struct TableDefinition {
  uint32_t sheetId = 0;
  std::u16string name;
  RangeRef area;
  int32_t headerRows = 1;
  int32_t totalsRows = 0;
  std::vector<std::u16string> columns;
};

// When the application recalculates: always, only on request, or always except data tables.
enum class CalculationMode { Auto, Manual, AutoNoTable };

// A Delete or Insert on the sheet with this id.
struct RecordedShift {
  uint32_t sheetId = 0;
  CellShift shift;
};
// A Copy of cells, made after the first `afterShifts` recorded shifts.
struct RecordedCopy {
  uint32_t sourceSheetId = 0;
  uint32_t targetSheetId = 0;
  RangeRef source;
  RangeRef destination;  // as large as the source
  size_t afterShifts = 0;
};
// "auto", "manual", "autoNoTable" (ASCII case ignored); anything else throws.
CalculationMode parseCalculationMode(std::u16string_view word);
// The calcMode attribute of <calcPr>.
std::string_view calculationModeName(CalculationMode mode);
CalculationMode calculationModeFromName(std::string_view name);

// Sheets in order, each with an id that survives rename and move. A Workbook is neither
// copied nor moved: sheets point back at it.
class Workbook {
 public:
  // A new workbook has one sheet, "Sheet1", active; pass false for none (a reader fills it).
  explicit Workbook(bool withFirstSheet = true);
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;
  ~Workbook();

  size_t sheetCount() const { return sheets_.size(); }
  Sheet& sheet(size_t index) const { return *sheets_.at(index); }
  // nullptr when there is none.
  Sheet* sheetById(uint32_t id) const;
  Sheet* findSheet(std::u16string_view name) const;  // ignoring case
  size_t sheetIndex(const Sheet& sheet) const;

  // Appends a sheet and makes it active; the name must follow the naming rules.
  Sheet& addSheet(std::u16string_view name);
  // Rewrites references to the old name in every formula and defined name.
  void renameSheet(Sheet& sheet, std::u16string_view newName);
  // `sheet` ends up at position `index` (0-based) of the order.
  void moveSheet(Sheet& sheet, size_t index);
  void moveSheetBefore(Sheet& sheet, const Sheet& before);
  void moveSheetAfter(Sheet& sheet, const Sheet& after);

  // Removes the sheet and its own defined names; references to it in formulas and defined names
  // become #REF!. The last
  // visible sheet cannot go. When the active sheet goes, the next visible one becomes active.
  void removeSheet(Sheet& sheet);
  // Hiding the active sheet activates the next visible one; the last visible sheet stays.
  void setSheetVisibility(Sheet& sheet, SheetVisibility visibility);

  Sheet& activeSheet() const;
  // A hidden sheet cannot be made active (std::invalid_argument).
  void setActiveSheet(const Sheet& sheet);

  CalculationMode calculationMode() const { return calculationMode_; }
  void setCalculationMode(CalculationMode mode) { calculationMode_ = mode; }

  // 1 to 31 characters, none of []:*?/\, not starting or ending with an apostrophe, unique
  // ignoring case (`ignore` is the sheet being renamed). Throws std::invalid_argument.
  void checkSheetName(std::u16string_view name, const Sheet* ignore = nullptr) const;

  // The name must start with a letter, underscore or backslash, go on with letters, digits,
  // underscores and dots, not read as a cell reference (A1, R1C1) and not be taken in its scope
  // (ignoring case): the workbook's, or `scope`'s own. One name may exist in both; a formula on
  // `scope` then reads the sheet's. A leading "=" of the reference is dropped. Throws
  // std::invalid_argument.
  void addDefinedName(std::u16string_view name, std::u16string_view reference,
                      const Sheet* scope = nullptr);
  const std::vector<DefinedName>& definedNames() const { return names_; }
  // The name in exactly that scope (nullptr: the workbook's), or nullptr.
  const DefinedName* findDefinedName(std::u16string_view name, const Sheet* scope = nullptr) const;
  // The name as a formula on `sheet` reads it: the sheet's own, else the workbook's.
  const DefinedName* definedNameSeenFrom(std::u16string_view name, const Sheet& sheet) const;
  // The workbook's or `sheet`'s own name whose reference is exactly `range` on `sheet` (absolute
  // or not), or nullptr.
  const DefinedName* definedNameFor(const Sheet& sheet, const RangeRef& range) const;
  static bool isValidDefinedName(std::u16string_view name);

  // Tables are read from files and kept as read; formulas reach them by name (ignoring case).
  void addTable(TableDefinition table);
  const std::vector<TableDefinition>& tables() const { return tables_; }
  const TableDefinition* findTable(std::u16string_view name) const;

  // Formulas are calculated when a value is read, and keep their cached value until something
  // they name changes; this marks every formula for calculation again.
  void recalculateAll();
  // A reader has filled the workbook: the formulas' cached values are the file's.
  void finishLoading();
  // Brings every dirty formula's cached value up to date.
  void calculate() const;
  WorkbookCalculation& calculation() const { return *calculation_; }

  // Days counted from 1900 (the default) or from 1904, as the file says.
  formula::DateSystem dateSystem() const { return dateSystem_; }
  void setDateSystem(formula::DateSystem system);

  StyleTable& styles() { return styles_; }
  const StyleTable& styles() const { return styles_; }
  StringPool& strings() { return strings_; }
  const StringPool& strings() const { return strings_; }

  // What a reader kept of the file this workbook was opened from; nullptr for a new workbook.
  const PackageOrigin* origin() const { return origin_.get(); }
  void setOrigin(std::shared_ptr<const PackageOrigin> origin) { origin_ = std::move(origin); }
  // Every Delete and Insert in the order made: writers replay them on what the file had and the
  // model does not hold (conditional formats, validations, hyperlinks, kept names).
  const std::vector<RecordedShift>& shifts() const { return shifts_; }
  void recordShift(uint32_t sheetId, const CellShift& shift) {
    shifts_.push_back({sheetId, shift});
  }
  // Every Copy, for the conditional formats and validations a file had to follow the cells.
  const std::vector<RecordedCopy>& copies() const { return copies_; }
  void recordCopy(RecordedCopy copy) {
    copy.afterShifts = shifts_.size();
    copies_.push_back(copy);
  }

  // Sheets that hold one chart, after the worksheet that was last when each was added; their
  // names follow the sheet-name rules and are unique among all sheets.
  ChartSheet& addChartSheet(std::u16string_view name, SheetChart chart);
  const std::vector<ChartSheet>& chartSheets() const { return chartSheets_; }

 private:
  friend class Sheet;
  // The visible sheet nearest after `sheet` (else before it), or nullptr.
  const Sheet* visibleNeighbour(const Sheet& sheet) const;
  // Rewrites every formula of every sheet (given with its home sheet) and every defined name's
  // reference (given with its sheet, or an empty name for the workbook's); with
  // `calculateRewritten` the formulas whose text changed are calculated again.
  void rewriteFormulas(const std::function<std::u16string(std::u16string_view formula,
                                                          std::u16string_view home)>& rewrite,
                       bool calculateRewritten = false);

  // Every formula whose text `matches` is calculated again (its value depends on more than the
  // cells it names: a name that moved, the sheets between two others).
  void calculateAgain(const std::function<bool(std::u16string_view formula)>& matches);

  std::vector<std::unique_ptr<Sheet>> sheets_;
  uint32_t nextSheetId_ = 1;
  uint32_t activeSheetId_ = 0;
  CalculationMode calculationMode_ = CalculationMode::Auto;
  std::vector<DefinedName> names_;
  std::vector<TableDefinition> tables_;
  formula::DateSystem dateSystem_ = formula::DateSystem::From1900;
  StyleTable styles_;
  StringPool strings_;
  std::shared_ptr<const PackageOrigin> origin_;
  std::vector<RecordedShift> shifts_;
  std::vector<RecordedCopy> copies_;
  std::vector<ChartSheet> chartSheets_;
  std::unique_ptr<WorkbookCalculation> calculation_;
};

}  // namespace sx
