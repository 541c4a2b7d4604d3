#include "io/xlsx_sheet_objects.h"

#include "io/opc_package.h"
#include "io/xml_text.h"

namespace sx {

namespace {

const std::string kRelationshipBase =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kOfficeType = "application/vnd.openxmlformats-officedocument.";

}  // namespace

std::string numberedRelationshipsXml(
    const std::vector<std::pair<std::string, std::string>>& typeAndTarget) {
  std::vector<Relationship> relationships;
  for (const auto& [type, target] : typeAndTarget) {
    relationships.push_back({"rId" + std::to_string(relationships.size() + 1),
                             kRelationshipBase + type, target, false});
  }
  return relationshipsXml(relationships);
}

std::string ObjectPartNumbers::next(uint32_t& counter, const std::string& stem,
                                    const char* extension) {
  while (true) {
    std::string name = stem + std::to_string(++counter) + extension;
    if (taken.insert(partKey(name)).second) return name;
  }
}

namespace {

std::string drawingPartWithCharts(const Workbook& workbook, const SheetObjects& objects,
                                  ObjectPartNumbers& numbers, std::vector<PackagePart>& parts) {
  const std::string drawing = numbers.next(numbers.drawing, "xl/drawings/drawing", ".xml");
  std::vector<std::pair<std::string, std::string>> links;
  for (const SheetImage& image : objects.images) {
    const char* extension = image.type == ImageType::Png ? ".png" : ".jpeg";
    const std::string name = numbers.next(numbers.image, "xl/media/image", extension);
    parts.push_back({name, image.type == ImageType::Png ? "image/png" : "image/jpeg", image.bytes});
    links.emplace_back("image", pathFromPart(drawing, name));
  }
  for (const SheetChart& chart : objects.charts) {
    const std::string name = numbers.next(numbers.chart, "xl/charts/chart", ".xml");
    parts.push_back(
        {name, std::string(kOfficeType) + "drawingml.chart+xml", chartXml(workbook, chart)});
    links.emplace_back("chart", pathFromPart(drawing, name));
  }
  parts.push_back({drawing, std::string(kOfficeType) + "drawing+xml", drawingXml(objects)});
  parts.push_back({relationshipsPartName(drawing), "", numberedRelationshipsXml(links)});
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
    links.emplace_back(type, pathFromPart(worksheetPart, part));
    return "rId" + std::to_string(links.size());
  };
  if (objects.hasDrawing()) {
    const std::string drawing =
        drawingPartWithCharts(sheet.workbook(), objects, numbers, result.parts);
    result.worksheetElements += "<drawing r:id=\"" + link("drawing", drawing) + "\"/>";
  }
  if (!objects.notes.empty()) {
    const std::string vml = numbers.next(numbers.vml, "xl/drawings/vmlDrawing", ".vml");
    const std::string comments = numbers.next(numbers.comments, "xl/comments", ".xml");
    result.parts.push_back(
        {vml, std::string(kOfficeType) + "vmlDrawing", notesVmlXml(objects, numbers.vml)});
    result.parts.push_back(
        {comments, std::string(kOfficeType) + "spreadsheetml.comments+xml", commentsXml(objects)});
    result.worksheetElements += "<legacyDrawing r:id=\"" + link("vmlDrawing", vml) + "\"/>";
    link("comments", comments);
  }
  if (!objects.tables.empty()) {
    result.worksheetElements +=
        "<tableParts count=\"" + std::to_string(objects.tables.size()) + "\">";
    for (const SheetTable& table : objects.tables) {
      const std::string part = numbers.next(numbers.table, "xl/tables/table", ".xml");
      result.parts.push_back({part, std::string(kOfficeType) + "spreadsheetml.table+xml",
                              tableXml(table, ++numbers.tableId)});
      result.worksheetElements += "<tablePart r:id=\"" + link("table", part) + "\"/>";
    }
    result.worksheetElements += "</tableParts>";
  }
  result.parts.push_back(
      {relationshipsPartName(worksheetPart), "", numberedRelationshipsXml(links)});
  return result;
}

}  // namespace sx
