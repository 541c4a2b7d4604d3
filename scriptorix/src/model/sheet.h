#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/address.h"
#include "model/cell_value.h"
#include "model/sheet_objects.h"
#include "model/sheet_settings.h"
#include "model/sheet_storage.h"
#include "model/style.h"

namespace sx {

class Workbook;
struct CellShift;

enum class DeleteShift { Up, Left };
enum class InsertShift { Down, Right };
// "up"/"left" and "down"/"right", ignoring ASCII case; anything else throws.
DeleteShift parseDeleteShift(std::u16string_view word);
InsertShift parseInsertShift(std::u16string_view word);

// One worksheet. Every range operation takes a RangeRef; whole rows and columns are handled
// through row and column formats, never cell by cell over the full sheet.
class Sheet {
 public:
  Sheet(Workbook& workbook, uint32_t id, std::u16string name);
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  uint32_t id() const { return id_; }
  const std::u16string& name() const { return name_; }
  Workbook& workbook() const { return *workbook_; }

  // --- values
  // Throws std::invalid_argument for NaN or an infinity.
  void setNumber(const RangeRef& range, double value);
  void setBoolean(const RangeRef& range, bool value);
  // "=..." with more after it is a formula (filled over the range with relative references
  // shifted cell by cell), "'..." stores the rest as text, any other text as given.
  void setText(const RangeRef& range, std::u16string_view text);
  // A formula text without its "="; filled over the range like setText.
  void setFormula(const RangeRef& range, std::u16string_view formula);
  void setValue(const RangeRef& range, const CellValue& value);
  // A date as a 1900-system serial; cells whose number format is General get a date format
  // ("yyyy-mm-dd", with " hh:mm:ss" when the serial has a time of day).
  void setDate(const RangeRef& range, double serial);
  // Values and formulas go; formats stay.
  void clearValues(const RangeRef& range);

  // A formula's value is its cached value (empty until calculated).
  CellValue value(int32_t row, int32_t column) const;
  std::optional<std::u16string> formula(int32_t row, int32_t column) const;
  // "=" + formula for a formula cell, else the value as text (numbers in their shortest exact
  // form, booleans TRUE/FALSE, "" when empty).
  std::u16string formulaOrValueText(int32_t row, int32_t column) const;
  // The calculated value of a formula cell; ignored on a cell without a formula.
  void setCachedValue(int32_t row, int32_t column, const CellValue& value);
  // The value as the cell's number format shows it.
  std::u16string displayText(int32_t row, int32_t column) const;

  // --- formats
  void setNumberFormat(const RangeRef& range, std::u16string_view code);
  void setFontName(const RangeRef& range, std::u16string_view name);
  void setFontSize(const RangeRef& range, double points);
  void setBold(const RangeRef& range, bool on);
  void setItalic(const RangeRef& range, bool on);
  void setUnderline(const RangeRef& range, FontUnderline underline);
  void setStrikethrough(const RangeRef& range, bool on);
  // On sets the position; off returns to the baseline only a font in that position.
  void setVerticalAlign(const RangeRef& range, FontVerticalAlign position, bool on);
  void setFontColor(const RangeRef& range, Color color);
  void setHorizontalAlignment(const RangeRef& range, HorizontalAlignment alignment);
  void setVerticalAlignment(const RangeRef& range, VerticalAlignment alignment);
  void setFillColor(const RangeRef& range, std::optional<Color> color);
  void setWrap(const RangeRef& range, bool on);
  void setBorders(const RangeRef& range, BorderPosition position, BorderLineStyle line,
                  Color color);
  // Width in characters (0 to 255) of every column the range touches.
  void setColumnWidth(const RangeRef& range, double width);
  // Each column the range touches as wide as its widest displayed text (estimatedTextWidth,
  // plus a little margin, at most 255); cells merged across columns do not count, and a column
  // with no text keeps its width.
  void autoFitColumns(const RangeRef& range);
  // Height in points (0 to 409) of every row the range touches.
  void setRowHeight(const RangeRef& range, double points);
  void setRowsHidden(const RangeRef& range, bool hidden);
  void setColumnsHidden(const RangeRef& range, bool hidden);
  // Outline groups of whole rows or columns: `level` 1 to 7, or one deeper than each is now
  // without it (at most 7); ungrouping makes each one shallower.
  void groupRows(const RangeRef& range, std::optional<uint8_t> level);
  void ungroupRows(const RangeRef& range);
  void groupColumns(const RangeRef& range, std::optional<uint8_t> level);
  void ungroupColumns(const RangeRef& range);
  // The deepest level of any row or column (for the sheet's format properties).
  uint8_t rowOutlineDepth() const;
  uint8_t columnOutlineDepth() const;
  void setFreezePanes(FreezePanes panes);
  FreezePanes freezePanes() const { return freeze_; }
  // Tab colour and protection are set here; visibility through Workbook::setSheetVisibility,
  // which keeps one sheet visible.
  SheetSettings& settings() { return settings_; }
  const SheetSettings& settings() const { return settings_; }
  // Notes, pictures, charts and tables; Insert and Delete move them with the cells.
  SheetObjects& objects() { return objects_; }
  const SheetObjects& objects() const { return objects_; }

  // The style index in effect for a cell: its own, else its row's, else its column's.
  uint32_t styleIndex(int32_t row, int32_t column) const;
  const Style& style(int32_t row, int32_t column) const;

  // --- structure
  // One merged area, or with `across` one per row. Existing merges that overlap are replaced.
  void merge(const RangeRef& range, bool across);
  void unmerge(const RangeRef& range);
  const std::vector<RangeRef>& merges() const { return merges_; }
  // Values, formulas, formats and merges inside the range.
  void clear(const RangeRef& range);
  // Values, formulas (relative references shifted), formats and merges of `source` to the
  // area of the same size whose top-left is that of `destination`, on `target` (this sheet
  // or another of the same workbook). Overlap acts as if the source was read first.
  void copyTo(const RangeRef& source, Sheet& target, const RangeRef& destination);
  // Shift cells and keep formulas, merges and defined names pointing at the same data.
  void deleteCells(const RangeRef& range, DeleteShift shift);
  void insertCells(const RangeRef& range, InsertShift shift);

  // --- queries
  // The smallest range holding every cell with a value or a format; A1 when there is none.
  RangeRef usedRange() const;
  bool isEmpty() const;
  // The first cell of `within`, row by row, whose displayed text contains `what` ignoring case.
  std::optional<RangeRef> find(std::u16string_view what, const RangeRef& within) const;

  // --- loading, for the file readers: a cell's own style index (creating the cell), and row
  // and column formats as a file states them.
  void setStyleIndex(int32_t row, int32_t column, uint32_t style);
  void setRowFormat(int32_t row, const RowFormat& format);
  void setColumnFormat(int32_t column, const ColumnFormat& format);
  // The merged areas a file states, replacing the sheet's, in the file's order. Applications
  // refuse overlapping merges, so an area overlapping one that starts above it or to its left
  // is dropped; single cells are no merge.
  void loadMerges(std::vector<RangeRef> areas);

  // --- storage, for the file writers
  // One past the last row that has stored cells.
  int32_t rowLimit() const { return static_cast<int32_t>(rows_.size()); }
  std::span<const StoredCell> rowCells(int32_t row) const;
  CellValue valueOf(const StoredCell& cell) const;
  const std::map<int32_t, RowFormat>& rowFormats() const { return rowFormats_; }
  const std::map<int32_t, ColumnFormat>& columnFormats() const { return columnFormats_; }

 private:
  friend class Workbook;
  struct Row {
    std::vector<StoredCell> cells;  // sorted by column
  };
  struct CellSnapshot {
    int32_t rowOffset;
    int32_t columnOffset;
    StoredCell cell;
  };

  void rename(std::u16string name) { name_ = std::move(name); }
  RangeRef checked(const RangeRef& range) const;
  StoredCell* findCell(int32_t row, int32_t column);
  const StoredCell* findCell(int32_t row, int32_t column) const;
  // The cell, created with the style it inherits when missing.
  StoredCell& cellAt(int32_t row, int32_t column);
  uint32_t inheritedStyle(int32_t row, int32_t column) const;
  bool droppable(const StoredCell& cell, int32_t row) const;
  void dropBlankCells(int32_t firstRow, int32_t lastRow);
  void trimRows();
  // Every position of the range (whole rows and columns included), creating cells.
  void forEachPosition(const RangeRef& range,
                       const std::function<void(StoredCell&, int32_t row, int32_t column)>& fn);
  // The stored cells of the range only, row by row.
  void forEachStoredCell(const RangeRef& range,
                         const std::function<void(StoredCell&, int32_t row)>& fn);
  void editStyles(const RangeRef& range, const std::function<void(Style&)>& edit);
  void setFormulaAt(StoredCell& cell, std::u16string_view formula);
  std::vector<CellSnapshot> snapshot(const RangeRef& range) const;
  void eraseCells(const RangeRef& range);
  void removeMergesIntersecting(const RangeRef& range);
  void shiftCells(const CellShift& shift);
  void shiftMerges(const CellShift& shift);
  void shiftRowAndColumnFormats(const CellShift& shift);
  void applyShift(const CellShift& shift);

  Workbook* workbook_;
  uint32_t id_;
  std::u16string name_;
  std::vector<Row> rows_;
  std::map<int32_t, RowFormat> rowFormats_;
  std::map<int32_t, ColumnFormat> columnFormats_;
  std::vector<RangeRef> merges_;
  FreezePanes freeze_;
  SheetSettings settings_;
  SheetObjects objects_;
};

}  // namespace sx
