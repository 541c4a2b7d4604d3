#pragma once

#include <string>
#include <vector>

#include "io/file_format.h"
#include "io/kept_references.h"
#include "io/package_writer.h"
#include "io/xlsx_origin.h"
#include "io/xlsx_parts.h"
#include "model/workbook.h"

namespace sx {

// The parts of a workbook opened from a package: the model's own parts rewritten over what the
// package had (its styles extended, its worksheets' other elements kept in schema order), then
// every other part of the package unchanged. New sheets get part names and relationship ids
// that no part of the package uses.
std::vector<PackagePart> buildEditedWorkbookParts(const Workbook& workbook, FileFormat format,
                                                  const XlsxOrigin& origin);

// The styles part: every entry of the opened one kept at its index, entries for styles the
// model made since appended. Fills `mapping` for the worksheets.
std::string editedStylesXml(const Workbook& workbook, const StylesOrigin& origin,
                            StyleMapping& mapping);

// A worksheet the model wrote, merged with what the opened worksheet had around <sheetData>
// (its references following the edits made since). The model's links to addresses outside the
// workbook take relationship ids from `firstLink` on.
std::string editedWorksheetXml(const Sheet& sheet, bool active, const SheetOrigin& origin,
                               const KeptReferences& kept, const StyleMapping& styles,
                               SharedStrings& strings, uint32_t firstLink);

// The shared strings, a text that had runs in the opened file keeping its <si> as read.
std::string editedSharedStringsXml(const Workbook& workbook, const SharedStrings& strings,
                                   const std::map<std::u16string, std::string>& richStrings);

}  // namespace sx
