#pragma once

#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/package_writer.h"
#include "io/xlsx_origin.h"
#include "model/workbook.h"

namespace sx {

// Styles in use, renumbered densely: cellXfs index per style-table index.
struct StyleMapping {
  std::unordered_map<uint32_t, uint32_t> xfIndex;
  // dxfs index per differential format (its differentialFormatXml at index 0).
  std::map<std::string, uint32_t> dxfIndex;
  uint32_t at(uint32_t style) const { return xfIndex.at(style); }
};

// Shared strings in order of first use; index per string-pool id. A text with runs is an entry
// of its own, its <si> given whole.
struct SharedStrings {
  static constexpr uint32_t kRichEntry = UINT32_MAX;
  std::vector<uint32_t> order;  // pool ids, kRichEntry for a text with runs
  std::unordered_map<uint32_t, uint32_t> index;
  std::map<std::string, uint32_t> richIndex;  // <si> -> index
  std::map<uint32_t, std::string> richItems;  // index -> <si>
  size_t references = 0;
  uint32_t add(uint32_t poolId);
  uint32_t addRich(const std::string& item);
};

// A cell's runs as a shared string item: <si><r><rPr>...</rPr><t>...</t></r>...</si>.
std::string richTextItemXml(const std::vector<TextRun>& runs);

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
// `objectElements` (<drawing>, <legacyDrawing>, <tableParts>) close the worksheet; the kept
// lines are the attributes a file's rows and columns had that the model does not hold.
std::string worksheetXml(const Sheet& sheet, bool active, const StyleMapping& styles,
                         SharedStrings& strings, std::string_view objectElements = {},
                         const std::vector<KeptLineAttributes>& keptRows = {},
                         const std::vector<KeptLineAttributes>& keptColumns = {});

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
std::vector<std::pair<std::string, std::optional<std::string>>> pageSetupAttributes(
    const PageSetup& page);
// The attributes of the workbook's <sheet> entry and <calcPr> that the model sets: state and
// calcMode, each with a leading space, "" when they have their default.
std::string sheetStateAttribute(const Sheet& sheet);
std::string calculationModeAttribute(const Workbook& workbook);

// Conditional formats and validations. The differential formats every sheet's rules use go
// into the mapping, numbered from `first`; the entries of <dxfs> to add come back in order.
std::string differentialFormatXml(const DifferentialFormat& format, uint32_t index);
std::vector<std::string> addDifferentialFormats(const Workbook& workbook, StyleMapping& mapping,
                                                uint32_t first);
// <conditionalFormatting> elements with priorities from 1; <dataValidations>, or its entries
// alone for merging with a file's; "" when the sheet has none.
std::string conditionalFormattingXml(const Sheet& sheet, const StyleMapping& styles);
std::string dataValidationsXml(const Sheet& sheet);
std::string dataValidationEntriesXml(const Sheet& sheet);
// <hyperlinks> or its entries alone; the <Relationship> entries of the links to addresses
// outside the workbook, for the sheet's relationships part ("" when there are none). Their ids
// are numbered from `firstLink`: firstFreeLinkNumber of the part the entries join, whose own
// ids (a link saved before) stay unique.
std::string hyperlinksXml(const Sheet& sheet);
std::string hyperlinkEntriesXml(const Sheet& sheet, uint32_t firstLink);
std::string hyperlinkRelationshipsXml(const Sheet& sheet, uint32_t firstLink);
uint32_t firstFreeLinkNumber(std::string_view relationships);
// Relationship entries added to the part of that name among `parts`, or in a new part.
void addRelationshipEntries(std::vector<PackagePart>& parts, const std::string& name,
                            const std::string& entries);

// The autofilter and the sheet-scoped built-in names of the filter, print area and print titles.
inline constexpr const char* kFilterDatabaseName = "_xlnm._FilterDatabase";
inline constexpr const char* kPrintAreaName = "_xlnm.Print_Area";
inline constexpr const char* kPrintTitlesName = "_xlnm.Print_Titles";
std::string autoFilterXml(const Sheet& sheet);
// The reference the model gives one of those names on the sheet; nullopt when it sets none (a
// file's own name then stays).
std::optional<std::u16string> sheetAreaName(const Sheet& sheet, std::string_view name);
// The <definedName> entries of the sheet's names, scoped to the sheet at that position.
std::string sheetAreaNamesXml(const Sheet& sheet, size_t localSheetId);

// Number text that reads back as exactly the same double.
std::string xmlNumber(double value);

}  // namespace sx
