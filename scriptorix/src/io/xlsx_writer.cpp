#include "io/xlsx_writer.h"

#include "formula/function_names.h"
#include "io/opc_package.h"
#include "io/xlsx_edit_writer.h"
#include "io/xlsx_parts.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xml_text.h"

namespace sx {

namespace {

constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kDocumentRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string packageRelationships() {
  return std::string(kXmlHead) + "<Relationships xmlns=\"" + kRelationshipsNamespace + "\">" +
         relationship("rId1", std::string(kDocumentRelationship) + "officeDocument",
                      "xl/workbook.xml") +
         relationship("rId2",
                      "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                      "core-properties",
                      "docProps/core.xml") +
         relationship("rId3", std::string(kDocumentRelationship) + "extended-properties",
                      "docProps/app.xml") +
         "</Relationships>";
}

std::string coreProperties() {
  return std::string(kXmlHead) +
         "<cp:coreProperties "
         "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
         "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
         "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
         "<dc:creator>scriptorix</dc:creator></cp:coreProperties>";
}

std::string appProperties() {
  return std::string(kXmlHead) +
         "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "extended-properties\" "
         "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
         "<Application>scriptorix</Application></Properties>";
}

// Worksheets take rId1..N in their order, then styles and strings; chart sheets follow.
std::string workbookXml(const Workbook& workbook) {
  const std::vector<SheetEntry> entries = sheetEntriesInOrder(workbook);
  const size_t active = writtenSheetPosition(workbook, workbook.activeSheet());
  std::string xml =
      std::string(kXmlHead) +
      "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  xml += workbook.dateSystem() == formula::DateSystem::From1904 ? "<workbookPr date1904=\"1\"/>"
                                                                : "<workbookPr/>";
  xml +=
      "<bookViews><workbookView activeTab=\"" + std::to_string(active) + "\"/></bookViews><sheets>";
  size_t worksheet = 0;
  for (const SheetEntry& entry : entries) {
    if (entry.chart) {
      xml += "<sheet name=\"" + xmlText(entry.chart->name) + "\" sheetId=\"" +
             std::to_string(entry.chart->id) + "\" r:id=\"rId" +
             std::to_string(workbook.sheetCount() + 3 +
                            static_cast<size_t>(entry.chart - workbook.chartSheets().data())) +
             "\"/>";
      continue;
    }
    const Sheet& sheet = *entry.sheet;
    xml += "<sheet name=\"" + xmlText(sheet.name()) + "\" sheetId=\"" + std::to_string(sheet.id()) +
           "\"" + sheetStateAttribute(sheet) + " r:id=\"rId" + std::to_string(++worksheet) + "\"/>";
  }
  xml += "</sheets>";
  std::string names;
  for (const DefinedName& name : workbook.definedNames()) {
    const Sheet* scope = name.scopeSheetId ? workbook.sheetById(name.scopeSheetId) : nullptr;
    names +=
        "<definedName name=\"" + xmlText(name.name) + "\"" +
        (scope ? " localSheetId=\"" + std::to_string(writtenSheetPosition(workbook, *scope)) + "\""
               : std::string()) +
        ">" + xmlPlainText(formula::withFunctionPrefixes(name.reference)) + "</definedName>";
  }
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    names +=
        sheetAreaNamesXml(workbook.sheet(i), writtenSheetPosition(workbook, workbook.sheet(i)));
  }
  if (!names.empty()) xml += "<definedNames>" + names + "</definedNames>";
  // The next application calculates every formula when it opens the file.
  xml +=
      "<calcPr calcId=\"191029\"" + calculationModeAttribute(workbook) + " fullCalcOnLoad=\"1\"/>";
  return xml + "</workbook>";
}

std::string workbookRelationships(size_t sheetCount, size_t chartsheetCount) {
  std::string xml =
      std::string(kXmlHead) + "<Relationships xmlns=\"" + kRelationshipsNamespace + "\">";
  for (size_t i = 0; i < sheetCount; ++i) {
    xml += relationship("rId" + std::to_string(i + 1),
                        std::string(kDocumentRelationship) + "worksheet",
                        "worksheets/sheet" + std::to_string(i + 1) + ".xml");
  }
  xml += relationship("rId" + std::to_string(sheetCount + 1),
                      std::string(kDocumentRelationship) + "styles", "styles.xml");
  xml += relationship("rId" + std::to_string(sheetCount + 2),
                      std::string(kDocumentRelationship) + "sharedStrings", "sharedStrings.xml");
  for (size_t i = 0; i < chartsheetCount; ++i) {
    xml += relationship("rId" + std::to_string(sheetCount + 3 + i),
                        std::string(kDocumentRelationship) + "chartsheet",
                        "chartsheets/sheet" + std::to_string(i + 1) + ".xml");
  }
  return xml + "</Relationships>";
}

}  // namespace

std::string workbookContentType(FileFormat format) {
  switch (format) {
    case FileFormat::Xlsm:
      return "application/vnd.ms-excel.sheet.macroEnabled.main+xml";
    case FileFormat::Xltx:
      return "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
    case FileFormat::Xlsx:
    case FileFormat::Csv:
      break;
  }
  return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
}

std::vector<PackagePart> buildWorkbookParts(const Workbook& workbook, FileFormat format) {
  if (const auto* origin = dynamic_cast<const XlsxOrigin*>(workbook.origin())) {
    return buildEditedWorkbookParts(workbook, format, *origin);
  }
  const std::string spreadsheetType =
      "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  StyleMapping styles;
  const std::string stylesPart = stylesXml(workbook, styles);
  SharedStrings strings;
  std::vector<PackagePart> worksheets;
  std::vector<PackagePart> objectParts;
  ObjectPartNumbers numbers;
  const Sheet& active = workbook.activeSheet();
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    const Sheet& sheet = workbook.sheet(i);
    const std::string name = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
    SheetObjectParts objects = buildSheetObjectParts(sheet, name, numbers);
    worksheets.push_back(
        {name, spreadsheetType + "worksheet+xml",
         worksheetXml(sheet, &sheet == &active, styles, strings, objects.worksheetElements)});
    for (PackagePart& part : objects.parts) objectParts.push_back(std::move(part));
    if (const std::string links = hyperlinkRelationshipsXml(sheet, 1); !links.empty()) {
      addRelationshipEntries(objectParts, relationshipsPartName(name), links);
    }
  }
  // Chart sheets are numbered in the order of the relationships above.
  for (size_t i = 0; i < workbook.chartSheets().size(); ++i) {
    for (PackagePart& part :
         buildChartsheetParts(workbook, workbook.chartSheets()[i],
                              "xl/chartsheets/sheet" + std::to_string(i + 1) + ".xml", numbers)) {
      objectParts.push_back(std::move(part));
    }
  }
  std::vector<PackagePart> parts;
  parts.push_back({"_rels/.rels", "", packageRelationships()});
  parts.push_back({"docProps/core.xml",
                   "application/vnd.openxmlformats-package.core-properties+xml", coreProperties()});
  parts.push_back({"docProps/app.xml",
                   "application/vnd.openxmlformats-officedocument.extended-properties+xml",
                   appProperties()});
  parts.push_back({"xl/workbook.xml", workbookContentType(format), workbookXml(workbook)});
  parts.push_back({"xl/_rels/workbook.xml.rels", "",
                   workbookRelationships(workbook.sheetCount(), workbook.chartSheets().size())});
  parts.push_back({"xl/styles.xml", spreadsheetType + "styles+xml", stylesPart});
  parts.push_back({"xl/sharedStrings.xml", spreadsheetType + "sharedStrings+xml",
                   sharedStringsXml(workbook, strings)});
  for (PackagePart& sheet : worksheets) parts.push_back(std::move(sheet));
  for (PackagePart& part : objectParts) parts.push_back(std::move(part));
  return parts;
}

}  // namespace sx
