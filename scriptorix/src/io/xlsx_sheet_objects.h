#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "io/package_writer.h"
#include "model/workbook.h"

namespace sx {

// Part numbers already given out in one package, so that every sheet's notes, drawings,
// charts, pictures and tables get names of their own.
struct ObjectPartNumbers {
  // Part keys (partKey) an opened package already has: new parts take other numbers.
  std::set<std::string> taken;
  uint32_t comments = 0;
  uint32_t vml = 0;
  uint32_t drawing = 0;
  uint32_t chart = 0;
  uint32_t image = 0;
  uint32_t table = 0;
  uint32_t tableId = 0;  // the last table id given out; ids are unique in the workbook

  // "xl/charts/chart" + the next number whose part is free + ".xml"
  std::string next(uint32_t& counter, const std::string& stem, const char* extension);
};

// The parts a sheet's notes, pictures, charts and tables need, the worksheet's relationships
// part, and the elements that point at them (<drawing>, <legacyDrawing>, <tableParts>), which
// go at the end of the worksheet in that order.
struct SheetObjectParts {
  std::vector<PackagePart> parts;
  std::string worksheetElements;
};
SheetObjectParts buildSheetObjectParts(const Sheet& sheet, const std::string& worksheetPart,
                                       ObjectPartNumbers& numbers);

// Worksheets and chart sheets in the order the workbook lists them.
struct SheetEntry {
  const Sheet* sheet = nullptr;       // a worksheet, or
  const ChartSheet* chart = nullptr;  // a chart sheet
};
std::vector<SheetEntry> sheetEntriesInOrder(const Workbook& workbook);
// A worksheet's position in that list: what activeTab and a sheet-scoped name's localSheetId
// count, chart sheets included.
size_t writtenSheetPosition(const Workbook& workbook, const Sheet& sheet);
// A chart sheet's part (named `partName`), its drawing, its chart and their relationships.
std::vector<PackagePart> buildChartsheetParts(const Workbook& workbook, const ChartSheet& sheet,
                                              const std::string& partName,
                                              ObjectPartNumbers& numbers);

// One writer per part.
std::string commentsXml(const SheetObjects& objects);
// `number` is the drawing's number in the package, which keeps shape ids apart.
std::string notesVmlXml(const SheetObjects& objects, uint32_t number);
// Pictures first (relationship ids rId1...), then charts (after the pictures' ids).
std::string drawingXml(const SheetObjects& objects);
std::string chartXml(const Workbook& workbook, const SheetChart& chart);
// `id` is unique in the workbook.
std::string tableXml(const SheetTable& table, uint32_t id);
// A relationships part whose entries get ids rId1, rId2, ... in order: {type, target} each,
// the type's last segment only ("drawing").
std::string numberedRelationshipsXml(
    const std::vector<std::pair<std::string, std::string>>& typeAndTarget);

}  // namespace sx
