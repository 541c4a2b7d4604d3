#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/date_serial.h"
#include "formula/formula_value.h"

namespace sx::formula {

struct CellPosition {
  int32_t sheet = 0;
  int32_t row = 0;
  int32_t column = 0;
};

// Last used row and column of a sheet (0-based, -1 on an empty sheet): whole-column and
// whole-row ranges, and any range reaching past them, are read only that far.
struct UsedBounds {
  int32_t lastRow = -1;
  int32_t lastColumn = -1;
};

// The answer to an exact lookup from a host that indexes cells: `answered` false means the
// caller scans the cells itself.
struct LookupAnswer {
  bool answered = false;
  std::optional<int32_t> position;  // 0-based within the keys, nullopt when nothing matches
};

// All a formula sees of the workbook. Sheets are identified by an integer the host chooses
// (an index or a stable id); the evaluator only passes it back.
class EvalContext {
 public:
  virtual ~EvalContext() = default;

  virtual Scalar cellValue(int32_t sheet, int32_t row, int32_t column) = 0;
  virtual UsedBounds usedBounds(int32_t sheet) = 0;
  virtual std::optional<int32_t> sheetByName(std::u16string_view name) = 0;
  // The sheets from `first` to `last` in workbook order (either way round), empty when either
  // is missing: a reference through several sheets ("Jan:Mar!B2") reads each.
  virtual std::vector<int32_t> sheetsBetween(std::u16string_view first,
                                             std::u16string_view last) = 0;
  // The reference text of a defined name ("Sheet1!$A$1:$B$3") as a formula at `at` reads it,
  // nullopt when there is none: "Total" is that sheet's own name when it has one, else the
  // workbook's; "Sheet2!Total" is Sheet2's own. Structured references to tables
  // ("Table1[Amount]", "[@Amount]") come here too; a row of -1 means any row.
  virtual std::optional<std::u16string> definedName(std::u16string_view name,
                                                    const CellPosition& at) = 0;
  virtual CellPosition currentCell() = 0;
  // Serial date and time on the 1900 date system (NOW; TODAY is its whole part).
  virtual double now() = 0;
  // How the workbook counts days: date functions and TEXT() read and give serials so.
  virtual DateSystem dateSystem() { return DateSystem::From1900; }
  // Told before the cells of an area are read one by one (a calculator records the whole area
  // as one dependency instead of each cell).
  virtual void readingArea(const Area& area) { (void)area; }
  // The values of every cell of `area` row by row, read at once for a caller that visits them
  // all; a host may keep them for an area read again and again (COUNTIF over one column from
  // many cells). Null: the caller reads cell by cell.
  virtual std::shared_ptr<const std::vector<Scalar>> areaValues(const Area& area) {
    (void)area;
    return nullptr;
  }
  // The first cell of `keys` (one row or one column, within the used part of its sheet) whose
  // value equals `wanted` exactly, without wildcards.
  virtual LookupAnswer findExact(const Area& keys, const Scalar& wanted) {
    (void)keys;
    (void)wanted;
    return {};
  }
  // Whether a row is hidden: SUBTOTAL 101-111 and AGGREGATE can leave such rows out.
  virtual bool rowHidden(int32_t sheet, int32_t row) {
    (void)sheet;
    (void)row;
    return false;
  }
  // Whether the cell holds a formula calling SUBTOTAL or AGGREGATE, which those functions
  // skip so that totals within a range are not counted twice.
  virtual bool holdsSubtotal(int32_t sheet, int32_t row, int32_t column) {
    (void)sheet;
    (void)row;
    (void)column;
    return false;
  }
  // TEXT() renders through this when the host has its own number-format renderer; nullopt
  // falls back to this library's renderer (renderNumberFormat).
  virtual std::optional<std::u16string> formatNumber(double value, std::u16string_view format) {
    (void)value;
    (void)format;
    return std::nullopt;
  }
};

}  // namespace sx::formula
