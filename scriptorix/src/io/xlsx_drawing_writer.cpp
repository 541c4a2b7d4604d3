#include <algorithm>

#include "core/sheet_limits.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xml_text.h"

namespace sx {

namespace {

constexpr uint64_t kEmuPerPixel = 9525;

std::string marker(const char* element, int32_t column, int32_t row) {
  return std::string("<xdr:") + element + "><xdr:col>" + std::to_string(column) +
         "</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" + std::to_string(row) +
         "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:" + element + ">";
}

// A two-cell anchor covers its cells whole: it ends at the start of the next row and column
// (at the sheet's last ones, at their start).
std::string anchorStart(const DrawingAnchor& anchor) {
  const RangeRef& cells = anchor.cells;
  if (anchor.oneCell) {
    return "<xdr:oneCellAnchor>" + marker("from", cells.firstColumn, cells.firstRow) +
           "<xdr:ext cx=\"" + std::to_string(anchor.width * kEmuPerPixel) + "\" cy=\"" +
           std::to_string(anchor.height * kEmuPerPixel) + "\"/>";
  }
  return "<xdr:twoCellAnchor editAs=\"oneCell\">" +
         marker("from", cells.firstColumn, cells.firstRow) +
         marker("to", std::min(cells.lastColumn + 1, kMaxColumns - 1),
                std::min(cells.lastRow + 1, kMaxRows - 1));
}

std::string anchorEnd(const DrawingAnchor& anchor) {
  return anchor.oneCell ? "<xdr:clientData/></xdr:oneCellAnchor>"
                        : "<xdr:clientData/></xdr:twoCellAnchor>";
}

}  // namespace

std::string drawingXml(const SheetObjects& objects) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
      "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">";
  size_t relationship = 1;
  size_t shape = 2;
  for (const SheetImage& image : objects.images) {
    const std::string id = std::to_string(shape++);
    xml += anchorStart(image.anchor) + "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"" + id +
           "\" name=\"Picture " + id +
           "\"/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr>"
           "</xdr:nvPicPr><xdr:blipFill><a:blip r:embed=\"rId" +
           std::to_string(relationship++) +
           "\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr><a:xfrm><a:off "
           "x=\"0\" y=\"0\"/>"
           "<a:ext cx=\"" +
           std::to_string(image.anchor.width * kEmuPerPixel) + "\" cy=\"" +
           std::to_string(image.anchor.height * kEmuPerPixel) +
           "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>" +
           anchorEnd(image.anchor);
  }
  for (const SheetChart& chart : objects.charts) {
    const std::string id = std::to_string(shape++);
    xml += anchorStart(chart.anchor) +
           "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"" + id +
           "\" name=\"Chart " + id +
           "\"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr>"
           "<xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm><a:graphic>"
           "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
           "<c:chart r:id=\"rId" +
           std::to_string(relationship++) + "\"/></a:graphicData></a:graphic></xdr:graphicFrame>" +
           anchorEnd(chart.anchor);
  }
  return xml + "</xdr:wsDr>";
}

}  // namespace sx
