#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "io/xlsx_origin.h"
#include "model/workbook.h"

namespace sx {

// References that the file had and the model does not hold (conditional formats, validations,
// hyperlinks, the autofilter, kept defined names) follow the edits made since it was read: each
// Delete and Insert moves them as it moved the cells' formulas, and renamed sheets are named anew.
class KeptReferences {
 public:
  KeptReferences(const Workbook& workbook, const XlsxOrigin& origin);

  // A formula or a name's reference as the file wrote it, living on the sheet with this model
  // id (nullopt: a workbook-level name). References to deleted cells become #REF!.
  std::u16string formula(std::u16string_view text, std::optional<uint32_t> homeSheetId) const;
  // A part carried through: a sheet's drawing with its anchors moved, a chart with its series
  // references moved; any other part as it is.
  PackagePart part(const PackagePart& kept) const;
  // A worksheet element as the file wrote it, on the sheet with this model id. Areas that were
  // deleted go; an empty string when nothing of the element is left.
  std::string sheetElement(std::string_view name, const std::string& xml, uint32_t sheetId) const;

 private:
  // Space-separated areas without a sheet ("A1:B4 D2"): empty when every one was deleted.
  std::string areas(std::string_view list, uint32_t sheetId) const;
  std::u16string shifted(std::u16string text, std::optional<uint32_t> homeSheetId) const;
  std::string drawing(const std::string& xml, const std::string& partName, uint32_t sheetId) const;
  std::string chart(const std::string& xml, const std::string& partName) const;

  const Workbook& workbook_;
  const XlsxOrigin& origin_;
  bool renamed_ = false;
  std::map<std::string, uint32_t> drawingSheets_;  // drawing part key -> model sheet id
};

}  // namespace sx
