#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sx {

// Formula texts here carry no leading "=" (the form stored in a worksheet's <f> element).

// A filled or copied formula: relative references move by the offset, absolute ones stay;
// a reference pushed outside the sheet becomes #REF!.
std::u16string translateFormula(std::u16string_view formula, int32_t rowOffset,
                                int32_t columnOffset);

// Cells of one sheet moved by Delete("up"/"left") or Insert("down"/"right") of a band.
struct CellShift {
  enum class Kind { DeleteUp, DeleteLeft, InsertDown, InsertRight };
  Kind kind = Kind::DeleteUp;
  std::u16string sheet;  // the sheet whose cells move
  int32_t firstRow = 0;  // the band, 0-based and inclusive
  int32_t lastRow = 0;
  int32_t firstColumn = 0;
  int32_t lastColumn = 0;

  // Cells move up or down (whole rows of the band), rather than left or right.
  bool vertical() const { return kind == Kind::DeleteUp || kind == Kind::InsertDown; }
  bool deletes() const { return kind == Kind::DeleteUp || kind == Kind::DeleteLeft; }
};

// An area against a shift's band: along is the axis the cells move on, across the other one.
struct ShiftAxes {
  int32_t first, last;                      // the area along
  int32_t acrossFirst, acrossLast;          // the area across
  int32_t bandFirst, bandLast;              // the band along
  int32_t bandAcrossFirst, bandAcrossLast;  // the band across
};
ShiftAxes shiftAxes(const CellShift& shift, int32_t firstRow, int32_t firstColumn, int32_t lastRow,
                    int32_t lastColumn);

// Rewrites a formula (or a defined name's reference) that lives on `formulaSheet` so that it
// keeps pointing at the same data after `shift`; references to deleted cells become #REF!.
// An empty `formulaSheet` means the text has no home sheet (defined names): only references
// that name their sheet are touched. Sheet names compare without regard to case.
//
// For a vertical shift (DeleteUp, InsertDown; horizontal shifts are the same with rows and
// columns exchanged), absolute and relative parts alike:
// - A reference moves only when all its columns lie within the band's columns. One that the
//   shift would split (partly inside, partly outside) keeps its address, as a spreadsheet leaves
//   it; so do whole-column references ("A:C"), which span every row anyway.
// - Insert: every edge at or below the band's first row moves down by the band's height, so a
//   range that spans the insertion point stretches. A cell pushed past the last row is #REF!;
//   a range's lower edge stops at the last row.
// - Delete: edges below the band move up by its height; an edge inside the band moves to the
//   band's first row (upper edge) or the row above it (lower edge), so the range shrinks. A cell
//   or range wholly inside the band is #REF!.
std::u16string adjustFormulaForShift(std::u16string_view formula, std::u16string_view formulaSheet,
                                     const CellShift& shift);

// References that name `oldName` (ignoring case) name `newName` instead, quoted where the new
// name needs it (see quoteSheetName). Text in strings is never touched.
std::u16string renameSheetInFormula(std::u16string_view formula, std::u16string_view oldName,
                                    std::u16string_view newName);

// References that name `sheet` (ignoring case) become #REF!: the sheet was deleted. A reference
// through several sheets ("Jan:Mar!B2") that starts at it starts at `next` (the sheet that
// followed it) instead, one that ends at it ends at `previous`; an empty neighbour gives #REF!.
// Sheets inside the span need no rewrite.
std::u16string removeSheetFromFormula(std::u16string_view formula, std::u16string_view sheet,
                                      std::u16string_view next = {},
                                      std::u16string_view previous = {});

}  // namespace sx
