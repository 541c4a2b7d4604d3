#include "io/opc_package.h"
#include "io/xlsx_sheet_objects.h"

namespace sx {

std::vector<SheetEntry> sheetEntriesInOrder(const Workbook& workbook) {
  std::vector<SheetEntry> entries;
  std::vector<bool> placed(workbook.chartSheets().size(), false);
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    const Sheet& sheet = workbook.sheet(i);
    entries.push_back({&sheet, nullptr});
    for (size_t c = 0; c < placed.size(); ++c) {
      if (workbook.chartSheets()[c].afterSheetId == sheet.id()) {
        entries.push_back({nullptr, &workbook.chartSheets()[c]});
        placed[c] = true;
      }
    }
  }
  for (size_t c = 0; c < placed.size(); ++c) {
    if (!placed[c]) entries.push_back({nullptr, &workbook.chartSheets()[c]});
  }
  return entries;
}

size_t writtenSheetPosition(const Workbook& workbook, const Sheet& sheet) {
  const std::vector<SheetEntry> entries = sheetEntriesInOrder(workbook);
  size_t position = 0;
  while (position < entries.size() && entries[position].sheet != &sheet) ++position;
  return position;
}

std::string chartsheetXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<chartsheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheetPr/><sheetViews><sheetView zoomToFit=\"1\" workbookViewId=\"0\"/></sheetViews>"
         "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
         "footer=\"0.3\"/>"
         "<drawing r:id=\"rId1\"/></chartsheet>";
}

// The chart fills the sheet: an absolute anchor the size of a landscape page at screen scale.
std::string chartsheetDrawingXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<xdr:wsDr "
         "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
         "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
         "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
         "<xdr:absoluteAnchor><xdr:pos x=\"0\" y=\"0\"/><xdr:ext cx=\"9290000\" cy=\"6060000\"/>"
         "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"2\" name=\"Chart 1\"/>"
         "<xdr:cNvGraphicFramePr><a:graphicFrameLocks "
         "noGrp=\"1\"/></xdr:cNvGraphicFramePr></xdr:nvGraphicFramePr>"
         "<xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm><a:graphic>"
         "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
         "<c:chart r:id=\"rId1\"/></a:graphicData></a:graphic></xdr:graphicFrame>"
         "<xdr:clientData/></xdr:absoluteAnchor></xdr:wsDr>";
}

std::vector<PackagePart> buildChartsheetParts(const Workbook& workbook, const ChartSheet& sheet,
                                              const std::string& partName,
                                              ObjectPartNumbers& numbers) {
  const std::string officeType = "application/vnd.openxmlformats-officedocument.";
  const std::string drawing = numbers.next(numbers.drawing, "xl/drawings/drawing", ".xml");
  const std::string chart = numbers.next(numbers.chart, "xl/charts/chart", ".xml");
  return {
      {partName, officeType + "spreadsheetml.chartsheet+xml", chartsheetXml()},
      {relationshipsPartName(partName), "",
       numberedRelationshipsXml({{"drawing", pathFromPart(partName, drawing)}})},
      {drawing, officeType + "drawing+xml", chartsheetDrawingXml()},
      {relationshipsPartName(drawing), "",
       numberedRelationshipsXml({{"chart", pathFromPart(drawing, chart)}})},
      {chart, officeType + "drawingml.chart+xml", chartXml(workbook, sheet.chart)},
  };
}

}  // namespace sx
