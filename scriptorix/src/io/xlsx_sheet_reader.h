#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/xlsx_origin.h"
#include "model/sheet.h"

namespace sx {

struct SheetReadContext {
  const std::vector<std::u16string>& sharedStrings;
  const std::vector<uint32_t>& styleMapping;  // cellXfs index -> style-table index
};

// Reads one worksheet part into `sheet`: cells, formulas, row and column formats, merges and
// frozen panes; everything around <sheetData> goes to `origin` as it was. <sheetData> is parsed
// a slice of rows at a time so that memory follows the workbook, not the XML.
void readWorksheet(std::string_view xml, const std::string& partName, Sheet& sheet,
                   const SheetReadContext& context, SheetOrigin& origin);

// <sheetPr> (the tab colour) and <sheetProtection> into the sheet's settings.
void readSheetProperties(const pugi::xml_node& properties, Sheet& sheet);
void readSheetProtection(const pugi::xml_node& protection, Sheet& sheet);
// The first view's zoom and grid lines; the default row height a file set on purpose.
void readSheetView(const pugi::xml_node& views, Sheet& sheet);
void readSheetFormatProperties(const pugi::xml_node& properties, Sheet& sheet);
// <pageMargins>, <pageSetup> or <headerFooter> into the sheet's page setup.
void readPageSetup(const pugi::xml_node& element, Sheet& sheet);

// "B3" -> row 2, column 1; throws std::runtime_error past XFD1048576 or on bad text.
void parseCellName(std::string_view text, int32_t& row, int32_t& column);

}  // namespace sx
