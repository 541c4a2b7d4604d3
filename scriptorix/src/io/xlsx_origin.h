#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/opc_package.h"
#include "io/package_writer.h"
#include "model/package_origin.h"
#include "model/sheet.h"
#include "model/style.h"

namespace sx {

using XmlAttributes = std::vector<std::pair<std::string, std::string>>;

// The component ids one cellXfs entry of the opened file pointed at.
struct CellFormatIds {
  int numberFormat = 0;
  uint32_t font = 0;
  uint32_t fill = 0;
  uint32_t border = 0;
};

// The opened styles part: its XML as it was, and each entry decoded as the model reads it, so a
// save can tell which entries the workbook still uses unchanged.
struct StylesOrigin {
  std::string partName;
  std::string xml;
  std::vector<Style> cellFormats;  // per cellXfs entry (Style::origin set)
  std::vector<CellFormatIds> cellFormatIds;
  std::vector<Font> fonts;
  std::vector<std::optional<Color>> fills;
  std::vector<Borders> borders;
  std::map<int, std::u16string> numberFormats;  // custom codes by id
};

// Attributes of consecutive <row> or <col> elements that the model does not hold (thickBot, ph,
// bestFit, x14ac:dyDescent, ...): written back on the same rows or columns.
struct KeptLineAttributes {
  int32_t first = 0;  // 0-based, inclusive
  int32_t last = 0;
  XmlAttributes attributes;
};

// A part a worksheet's relationships point at (drawing, table, comments, vmlDrawing,
// threadedComment, pivotTable): what its references name lies on that sheet.
struct SheetPart {
  std::string kind;  // the relationship type's last segment
  std::string partName;
  std::string relationshipId;
};

// A table (ListObject) or a pivot table's place on a sheet as the file had it.
struct KeptTable {
  std::string partName;
  std::string relationshipId;
  std::u16string name;
  RangeRef area;
  int32_t headerRows = 1;
  int32_t totalsRows = 0;
  bool pivot = false;  // only moves or goes whole: its layout is the pivot cache's
};

struct ArrayFormulaOrigin {
  int32_t row = 0;
  int32_t column = 0;
  std::string ref;
  std::u16string formula;  // as read: the cell keeps it only while unchanged
};

// One opened worksheet: where it lived, the <sheet> entry's extra attributes, and every element
// around <sheetData> as the file had it.
struct SheetOrigin {
  std::u16string name;  // as read: kept names that refer to it follow a rename
  std::string partName;
  std::string relationshipId;
  std::string sheetId;
  XmlAttributes extraAttributes;  // of the <sheet> entry: state, ...
  XmlAttributes rootAttributes;   // of <worksheet>: namespace declarations
  std::vector<std::pair<std::string, std::string>> elements;  // local name, XML
  FreezePanes freeze;
  SheetSettings settings;  // as read: the file's elements stay while the model's are unchanged
  std::vector<ArrayFormulaOrigin> arrays;
  std::vector<SheetPart> parts;
  std::vector<KeptTable> tables;
  std::vector<KeptLineAttributes> rowAttributes;     // in order, not overlapping
  std::vector<KeptLineAttributes> columnAttributes;  // likewise
};

// A <sheet> entry of a kind the model does not hold (chart, macro, dialog sheet), kept in its
// place: after the worksheet it followed in the file.
struct OtherSheetEntry {
  std::string xml;
  uint32_t afterSheetId = 0;  // model sheet id, 0 when no worksheet came before it
};

// A defined name the model does not hold (built-in, reserved, repeated, or scoped to a sheet of
// another kind): written back as read, its scope following its sheet through moves.
struct KeptDefinedName {
  XmlAttributes attributes;               // without localSheetId
  std::optional<uint32_t> scopeSheetId;   // model sheet id
  std::optional<size_t> scopeOtherEntry;  // index into otherSheetEntries
  std::string text;
  size_t position = 0;  // among the file's names
};

struct XlsxOrigin : PackageOrigin {
  std::vector<PackagePart> keptParts;  // carried through unchanged, in package order
  std::string workbookPart;
  std::string workbookXml;
  std::vector<Relationship> workbookRelationships;  // as read, worksheets included
  std::string sharedStringsPart;
  std::map<std::u16string, std::string> richStrings;  // text -> its <si> as read
  // The shared-string table as read (pool ids), when carried parts (macro and dialog sheets)
  // index it: it is written first and unchanged, so those indexes stay valid.
  std::vector<uint32_t> keptStringTable;
  StylesOrigin styles;
  std::map<uint32_t, SheetOrigin> sheets;  // by model sheet id
  std::vector<OtherSheetEntry> otherSheetEntries;
  std::vector<KeptDefinedName> keptNames;
  // The attributes of each name the model holds beyond its name and scope (hidden, comment, ...),
  // by model scope (a sheet id, 0 for the workbook) and name as read.
  std::map<std::pair<uint32_t, std::u16string>, XmlAttributes> nameAttributes;
  // Where each name the model holds stood among the file's names, keyed the same way: a save
  // writes every name back in the file's order.
  std::map<std::pair<uint32_t, std::u16string>, size_t> namePositions;

  std::vector<ShiftedInText> checkShift(const Workbook& workbook, uint32_t sheetId,
                                        const CellShift& shift) const override;

  bool isArrayFormula(uint32_t sheetId, int32_t row, int32_t column,
                      std::u16string_view formula) const override {
    const auto sheet = sheets.find(sheetId);
    if (sheet == sheets.end()) return false;
    for (const ArrayFormulaOrigin& array : sheet->second.arrays) {
      if (array.row == row && array.column == column && array.formula == formula) return true;
    }
    return false;
  }
};

}  // namespace sx
