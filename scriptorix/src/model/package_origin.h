#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sx {

class Workbook;
struct CellShift;

// A text a shift puts into a cell, at its place after the shift.
struct ShiftedInText {
  int32_t row = 0;
  int32_t column = 0;
  std::u16string text;
};

// Whatever a file reader keeps of an opened file that the model does not hold (parts it does
// not read, original XML), for the matching writer to carry through a save.
class PackageOrigin {
 public:
  virtual ~PackageOrigin() = default;
  // Whether the file stored the formula of this cell as an array formula ({=SUM(A1:A9*B1:B9)}),
  // as long as the cell still holds that formula.
  virtual bool isArrayFormula(uint32_t sheetId, int32_t row, int32_t column,
                              std::u16string_view formula) const {
    (void)sheetId;
    (void)row;
    (void)column;
    (void)formula;
    return false;
  }
  // Throws std::runtime_error, saying why, when the file holds something on this sheet that the
  // shift may not cut (a table whose header row it would delete); `workbook` gives the shifts
  // made since the file was read. Gives the texts the shift adds: the header names of columns
  // inserted inside a table.
  virtual std::vector<ShiftedInText> checkShift(const Workbook& workbook, uint32_t sheetId,
                                                const CellShift& shift) const {
    (void)workbook;
    (void)sheetId;
    (void)shift;
    return {};
  }
};

}  // namespace sx
