#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "io/xlsx_origin.h"
#include "model/workbook.h"

namespace sx {

// References that the file had and the model does not hold (conditional formats, validations,
// hyperlinks, the autofilter, kept defined names, tables, notes, pivot sources, sparklines)
// follow the edits made since it was read: each Delete and Insert moves them as it moved the
// cells' formulas, and renamed sheets are named anew.
class KeptReferences {
 public:
  KeptReferences(const Workbook& workbook, const XlsxOrigin& origin);

  // A formula or a name's reference as the file wrote it, living on the sheet with this model
  // id (nullopt: a workbook-level name). References to deleted cells become #REF!.
  std::u16string formula(std::u16string_view text, std::optional<uint32_t> homeSheetId) const;
  // A part carried through: a sheet's drawing with its anchors moved, a chart with its series
  // references moved, tables, notes and pivot sources moved; any other part as it is.
  PackagePart part(const PackagePart& kept) const;
  // Whether a carried part goes with its cells: a table or pivot table all of whose cells were
  // deleted.
  bool drops(const std::string& partName) const {
    return droppedParts_.count(partKey(partName)) > 0;
  }
  // A worksheet element as the file wrote it, on the sheet with this model id. Areas that were
  // deleted go; an empty string when nothing of the element is left.
  std::string sheetElement(std::string_view name, const std::string& xml, uint32_t sheetId) const;
  // The kept attributes of a sheet's rows (or columns) where those lines are now: whole-row (or
  // whole-column) deletes take them along, inserted lines have none.
  std::vector<KeptLineAttributes> lineAttributes(const SheetOrigin& sheet, uint32_t sheetId,
                                                 bool rows) const;

 private:
  PackagePart movedPart(const PackagePart& kept) const;
  // Space-separated areas without a sheet ("A1:B4 D2"): empty when every one was deleted.
  std::string areas(std::string_view list, uint32_t sheetId) const;
  // With the shifts [from, to) only.
  std::u16string shifted(std::u16string text, std::optional<uint32_t> homeSheetId, size_t from = 0,
                         size_t to = SIZE_MAX) const;
  // The areas of a conditional format or validation after the shifts and the copies: a copy adds
  // the pasted cells whose source they covered, and pasted cells leave the areas that covered
  // them before. `anchorMoved` adds how far the first area's top left moved by the pastes.
  std::string areasWithCopies(std::string_view list, uint32_t sheetId,
                              std::pair<int32_t, int32_t>& anchorMoved) const;
  // Where a cell is now; nullopt when it was deleted.
  std::optional<std::pair<int32_t, int32_t>> cell(int32_t row, int32_t column,
                                                  uint32_t sheetId) const;
  // Where a drawing's corner is now: one in deleted cells goes to where they were.
  std::pair<int32_t, int32_t> corner(int32_t row, int32_t column, uint32_t sheetId) const;
  std::string drawing(const std::string& xml, const std::string& partName, uint32_t sheetId) const;
  std::string chart(const std::string& xml, const std::string& partName) const;
  std::string table(const std::string& xml, const std::string& partName, uint32_t sheetId,
                    const KeptTable& table) const;
  void nameNewColumns(pugi::xml_node columns, const RangeRef& area, uint32_t sheetId) const;
  // Legacy notes, threaded comments and a pivot table's place: entries on deleted cells go.
  std::string cellEntries(const std::string& xml, const std::string& partName, uint32_t sheetId,
                          std::string_view entryName) const;
  std::string noteShapes(const std::string& xml, const std::string& partName,
                         uint32_t sheetId) const;
  std::string pivotSource(const std::string& xml, const std::string& partName) const;
  std::string sheetRelationships(const std::string& xml, const std::string& partName,
                                 uint32_t sheetId) const;
  std::string extensions(pugi::xml_node root, uint32_t sheetId) const;

  struct PartPlace {
    uint32_t sheetId = 0;
    std::string kind;  // drawing, table, comments, vmlDrawing, threadedComment, pivotTable, rels
    const KeptTable* table = nullptr;
  };
  const Workbook& workbook_;
  const XlsxOrigin& origin_;
  bool renamed_ = false;
  std::map<std::string, PartPlace> sheetParts_;  // part key -> the sheet it belongs to
  std::set<std::string> droppedParts_;           // part keys
  std::map<uint32_t, std::set<std::string>>
      droppedPartIds_;  // sheet -> relationship ids of tables gone
};

}  // namespace sx
