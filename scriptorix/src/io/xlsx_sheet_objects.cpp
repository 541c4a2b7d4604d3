#include "io/xlsx_sheet_objects.h"

#include "io/xml_text.h"

namespace sx {

namespace {

constexpr const char* kRelationshipBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kOfficeType = "application/vnd.openxmlformats-officedocument.";

// "xl/worksheets/sheet1.xml" -> "xl/worksheets/_rels/sheet1.xml.rels"
std::string relationshipsPartOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

std::string numbered(const char* stem, uint32_t number, const char* extension) {
  return stem + std::to_string(number) + extension;
}

}  // namespace

std::string relationshipsXml(const std::vector<std::pair<std::string, std::string>>& typeAndTarget) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (size_t i = 0; i < typeAndTarget.size(); ++i) {
    xml += "<Relationship Id=\"rId" + std::to_string(i + 1) + "\" Type=\"" + kRelationshipBase +
           typeAndTarget[i].first + "\" Target=\"" + xmlAttribute(typeAndTarget[i].second) + "\"/>";
  }
  return xml + "</Relationships>";
}

namespace {

std::string drawingPartWithCharts(const Workbook& workbook, const SheetObjects& objects,
                                  ObjectPartNumbers& numbers, std::vector<PackagePart>& parts) {
  const std::string drawing = numbered("xl/drawings/drawing", ++numbers.drawing, ".xml");
  std::vector<std::pair<std::string, std::string>> links;
  for (const SheetImage& image : objects.images) {
    const char* extension = image.type == ImageType::Png ? ".png" : ".jpeg";
    const std::string name = numbered("media/image", ++numbers.image, extension);
    parts.push_back({"xl/" + name, image.type == ImageType::Png ? "image/png" : "image/jpeg", image.bytes});
    links.emplace_back("image", "../" + name);
  }
  for (const SheetChart& chart : objects.charts) {
    const std::string name = numbered("charts/chart", ++numbers.chart, ".xml");
    parts.push_back({"xl/" + name, std::string(kOfficeType) + "drawingml.chart+xml", chartXml(workbook, chart)});
    links.emplace_back("chart", "../" + name);
  }
  parts.push_back({drawing, std::string(kOfficeType) + "drawing+xml", drawingXml(objects)});
  parts.push_back({relationshipsPartOf(drawing), "", relationshipsXml(links)});
  return drawing;
}

}  // namespace

SheetObjectParts buildSheetObjectParts(const Sheet& sheet, const std::string& worksheetPart,
                                       ObjectPartNumbers& numbers) {
  SheetObjectParts result;
  const SheetObjects& objects = sheet.objects();
  if (objects.empty()) return result;
  std::vector<std::pair<std::string, std::string>> links;
  auto link = [&](const char* type, const std::string& part) {
    links.emplace_back(type, "../" + part.substr(3));  // parts under xl/, seen from xl/worksheets/
    return "rId" + std::to_string(links.size());
  };
  if (objects.hasDrawing()) {
    const std::string drawing = drawingPartWithCharts(sheet.workbook(), objects, numbers, result.parts);
    result.worksheetElements += "<drawing r:id=\"" + link("drawing", drawing) + "\"/>";
  }
  if (!objects.notes.empty()) {
    const uint32_t vmlNumber = ++numbers.vml;
    const std::string vml = numbered("xl/drawings/vmlDrawing", vmlNumber, ".vml");
    const std::string comments = numbered("xl/comments", ++numbers.comments, ".xml");
    result.parts.push_back({vml, std::string(kOfficeType) + "vmlDrawing", notesVmlXml(objects, vmlNumber)});
    result.parts.push_back({comments, std::string(kOfficeType) + "spreadsheetml.comments+xml", commentsXml(objects)});
    result.worksheetElements += "<legacyDrawing r:id=\"" + link("vmlDrawing", vml) + "\"/>";
    link("comments", comments);
  }
  if (!objects.tables.empty()) {
    result.worksheetElements += "<tableParts count=\"" + std::to_string(objects.tables.size()) + "\">";
    for (const SheetTable& table : objects.tables) {
      const std::string part = numbered("xl/tables/table", ++numbers.table, ".xml");
      result.parts.push_back({part, std::string(kOfficeType) + "spreadsheetml.table+xml", tableXml(table, numbers.table)});
      result.worksheetElements += "<tablePart r:id=\"" + link("table", part) + "\"/>";
    }
    result.worksheetElements += "</tableParts>";
  }
  result.parts.push_back({relationshipsPartOf(worksheetPart), "", relationshipsXml(links)});
  return result;
}

}  // namespace sx
