#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/workbook.h"

namespace sx {

// Styles in use, renumbered densely: cellXfs index per style-table index.
struct StyleMapping {
  std::unordered_map<uint32_t, uint32_t> xfIndex;
  uint32_t at(uint32_t style) const { return xfIndex.at(style); }
};

// Shared strings in order of first use; index per string-pool id.
struct SharedStrings {
  std::vector<uint32_t> order;  // pool ids
  std::unordered_map<uint32_t, uint32_t> index;
  size_t references = 0;
  uint32_t add(uint32_t poolId);
};

std::string stylesXml(const Workbook& workbook, StyleMapping& mapping);
// Style-table indexes that a cell, row or column of the workbook uses; 0 always.
std::set<uint32_t> stylesInUse(const Workbook& workbook);
// One entry of the fonts, fills and borders lists.
std::string fontXml(const Font& font);
std::string fillXml(const std::optional<Color>& fill);
std::string borderXml(const Borders& borders);
// A colour element: <element rgb="FFRRGGBB"/>.
std::string colorXml(const char* element, const Color& color);
std::string sharedStringsXml(const Workbook& workbook, const SharedStrings& strings);
// `objectElements` (<drawing>, <legacyDrawing>, <tableParts>) close the worksheet.
std::string worksheetXml(const Sheet& sheet, bool active, const StyleMapping& styles,
                         SharedStrings& strings, std::string_view objectElements = {});

// The worksheet's <sheetPr> (tab colour) and <sheetProtection>; "" when the sheet has none.
std::string sheetPropertiesXml(const Sheet& sheet);
std::string sheetProtectionXml(const SheetProtection& protection);
// <sheetFormatPr> (default row height, outline depths) and <printOptions> ("" by default);
// the attributes of the sheet view the settings give (zoom, grid lines), each with a leading space.
std::string sheetFormatPropertiesXml(const Sheet& sheet);
std::string printOptionsXml(const SheetSettings& settings);
std::string sheetViewAttributes(const SheetSettings& settings);
// <pageMargins> always; <pageSetup> and <headerFooter> only when set ("" otherwise); the
// attributes of <pageSetup> as edits of a file's element.
std::string pageMarginsXml(const PageMargins& margins);
std::string pageSetupXml(const PageSetup& page);
std::string headerFooterXml(const PageSetup& page);
std::vector<std::pair<std::string, std::optional<std::string>>> pageSetupAttributes(const PageSetup& page);
// The attributes of the workbook's <sheet> entry and <calcPr> that the model sets: state and
// calcMode, each with a leading space, "" when they have their default.
std::string sheetStateAttribute(const Sheet& sheet);
std::string calculationModeAttribute(const Workbook& workbook);

// Number text that reads back as exactly the same double.
std::string xmlNumber(double value);

}  // namespace sx
