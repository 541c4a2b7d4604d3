#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

#include "io/xlsx_edit_writer.h"
#include "io/xml_parse.h"
#include "io/xml_text.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The children of <worksheet> in the order the schema requires.
constexpr const char* kWorksheetOrder[] = {"sheetPr",
                                           "dimension",
                                           "sheetViews",
                                           "sheetFormatPr",
                                           "cols",
                                           "sheetData",
                                           "sheetCalcPr",
                                           "sheetProtection",
                                           "protectedRanges",
                                           "scenarios",
                                           "autoFilter",
                                           "sortState",
                                           "dataConsolidate",
                                           "customSheetViews",
                                           "mergeCells",
                                           "phoneticPr",
                                           "conditionalFormatting",
                                           "dataValidations",
                                           "hyperlinks",
                                           "printOptions",
                                           "pageMargins",
                                           "pageSetup",
                                           "headerFooter",
                                           "rowBreaks",
                                           "colBreaks",
                                           "customProperties",
                                           "cellWatches",
                                           "ignoredErrors",
                                           "smartTags",
                                           "drawing",
                                           "legacyDrawing",
                                           "legacyDrawingHF",
                                           "drawingHF",
                                           "picture",
                                           "oleObjects",
                                           "controls",
                                           "webPublishItems",
                                           "tableParts",
                                           "extLst"};

int schemaRank(std::string_view name) {
  for (size_t i = 0; i < std::size(kWorksheetOrder); ++i) {
    if (name == kWorksheetOrder[i]) return static_cast<int>(i);
  }
  return -1;
}

// Elements where the file's own version wins over the model's default one (the model's
// settings are patched into it).
bool fileVersionWins(std::string_view name) {
  return name == "sheetFormatPr" || name == "pageMargins" || name == "printOptions" ||
         name == "pageSetup" || name == "headerFooter";
}

// Attribute values to set, or to remove (nullopt).
using AttributeEdits = std::vector<std::pair<std::string, std::optional<std::string>>>;

void editAttributes(pugi::xml_node node, const AttributeEdits& edits) {
  for (const auto& [name, value] : edits) {
    node.remove_attribute(name.c_str());
    if (value) node.append_attribute(name.c_str()) = value->c_str();
  }
}

std::string withAttributes(const std::string& xml, const AttributeEdits& edits) {
  pugi::xml_document document = parseXmlPart(xml, "a worksheet element");
  editAttributes(document.document_element(), edits);
  return xmlOf(document.document_element());
}

std::optional<std::string> levelText(uint8_t level) {
  return level ? std::optional<std::string>(std::to_string(level)) : std::nullopt;
}

// The file's format properties with the model's outline depths and, when the script changed
// it, its default row height.
std::string formatPropertiesFor(const Sheet& sheet, const SheetOrigin& origin,
                                const std::string& xml) {
  AttributeEdits edits = {{"outlineLevelRow", levelText(sheet.rowOutlineDepth())},
                          {"outlineLevelCol", levelText(sheet.columnOutlineDepth())}};
  const std::optional<double> height = sheet.settings().defaultRowHeight;
  if (height != origin.settings.defaultRowHeight && height) {
    edits.push_back({"defaultRowHeight", xmlNumber(*height)});
    edits.push_back({"customHeight", "1"});
  }
  return withAttributes(xml, edits);
}

// The file's <sheetPr> with its tab colour and fit-to-page flag as the model has them now;
// the rest (code name, outline properties) stays.
std::string sheetPropertiesFor(const std::string& properties, const SheetSettings& now,
                               const SheetSettings& read) {
  pugi::xml_document document = parseXmlPart(properties, "the sheet properties");
  pugi::xml_node root = document.document_element();
  const std::string_view rootName = root.name();
  const std::string prefix(rootName.substr(
      0, rootName.find(':') == std::string_view::npos ? 0 : rootName.find(':') + 1));
  if (now.page.fitToPage != read.page.fitToPage) {
    pugi::xml_node setup = childNamed(root, "pageSetUpPr");
    if (!setup) setup = root.append_child((prefix + "pageSetUpPr").c_str());
    setup.remove_attribute("fitToPage");
    if (now.page.fitToPage) setup.append_attribute("fitToPage") = "1";
  }
  if (now.tabColor == read.tabColor) return xmlOf(root);
  const std::optional<Color>& color = now.tabColor;
  if (pugi::xml_node old = childNamed(root, "tabColor")) root.remove_child(old);
  if (color) {
    const std::string xml = colorXml("tabColor", *color);
    pugi::xml_document fresh;
    fresh.load_buffer(xml.data(), xml.size());
    root.prepend_copy(fresh.document_element()).set_name((prefix + "tabColor").c_str());
  }
  return xmlOf(root);
}

struct Piece {
  int rank;
  std::string xml;
};

std::map<std::string, std::string> elementsOf(std::string_view xml) {
  std::map<std::string, std::string> out;
  const pugi::xml_document fragment = parseXmlFragment(xml, "the written worksheet");
  for (pugi::xml_node node : fragment.children()) {
    if (node.type() == pugi::node_element) out[std::string(localName(node))] += xmlOf(node);
  }
  return out;
}

// The file's views with the tab selected as the model has it, and the zoom and grid lines of
// the first view when the script changed them.
std::string selectTab(const std::string& views, bool active, const SheetSettings& now,
                      const SheetSettings& read) {
  pugi::xml_document document = parseXmlPart(views, "the sheet views");
  bool first = true;
  for (pugi::xml_node view : document.document_element().children()) {
    if (localName(view) != "sheetView") continue;
    view.remove_attribute("tabSelected");
    if (first && active) view.prepend_attribute("tabSelected") = "1";
    if (first && (now.zoom != read.zoom || now.showGridLines != read.showGridLines)) {
      editAttributes(
          view,
          {{"showGridLines", now.showGridLines ? std::nullopt : std::optional<std::string>("0")},
           {"zoomScale", now.zoom == 100 ? std::nullopt
                                         : std::optional<std::string>(std::to_string(now.zoom))}});
    }
    first = false;
  }
  return xmlOf(document.document_element());
}

// Array formulas the file had go back as arrays, as long as their cell kept the formula.
std::string restoreArrayFormulas(const Sheet& sheet, std::string_view rows,
                                 std::vector<ArrayFormulaOrigin> arrays) {
  std::erase_if(arrays, [&](const ArrayFormulaOrigin& array) {
    return sheet.formula(array.row, array.column) != array.formula;
  });
  std::sort(arrays.begin(), arrays.end(), [](const auto& a, const auto& b) {
    return std::pair(a.row, a.column) < std::pair(b.row, b.column);
  });
  std::string out;
  size_t copied = 0;
  for (const ArrayFormulaOrigin& array : arrays) {
    const std::string cell =
        "<c r=\"" + toUtf8(columnLetters(array.column)) + std::to_string(array.row + 1) + "\"";
    const size_t at = rows.find(cell, copied);
    if (at == std::string_view::npos) continue;
    const size_t formula = rows.find("<f>", at);
    const size_t cellEnd = rows.find("</c>", at);
    if (formula == std::string_view::npos || formula > cellEnd) continue;
    out.append(rows.substr(copied, formula - copied));
    out += "<f t=\"array\" ref=\"" + xmlAttribute(array.ref) + "\">";
    copied = formula + 3;
  }
  out.append(rows.substr(copied));
  return out;
}

// The highest priority among the rules of a file's <conditionalFormatting>.
uint32_t highestPriority(const std::string& xml) {
  pugi::xml_document document = parseXmlPart(xml, "a worksheet element");
  uint32_t highest = 0;
  for (pugi::xml_node rule : document.document_element().children()) {
    if (localName(rule) == "cfRule")
      highest = std::max(highest, attributeNamed(rule, "priority").as_uint());
  }
  return highest;
}

// The model's conditional formats rank after the file's, each priority once on the sheet.
std::string priorityAfter(const std::string& xml, uint32_t offset) {
  if (offset == 0) return xml;
  std::string out;
  const pugi::xml_document fragment = parseXmlFragment(xml, "the written conditional formats");
  for (pugi::xml_node node : fragment.children()) {
    for (pugi::xml_node rule : node.children()) {
      pugi::xml_attribute priority = rule.attribute("priority");
      priority.set_value(priority.as_uint() + offset);
    }
    out += xmlOf(node);
  }
  return out;
}

// A file's list element (<dataValidations>, <hyperlinks>) with the model's entries after its
// own: one list per sheet.
std::string withEntries(const std::string& xml, const std::string& entries,
                        std::string_view entryName) {
  if (entries.empty()) return xml;
  pugi::xml_document document = parseXmlPart(xml, "a worksheet element");
  pugi::xml_node root = document.document_element();
  root.append_buffer(entries.data(), entries.size(), pugi::parse_default, pugi::encoding_utf8);
  if (root.attribute("count")) {
    size_t count = 0;
    for (pugi::xml_node entry : root.children()) count += localName(entry) == entryName;
    root.attribute("count").set_value(static_cast<unsigned long long>(count));
  }
  return xmlOf(root);
}

}  // namespace

std::string editedWorksheetXml(const Sheet& sheet, bool active, const SheetOrigin& origin,
                               const KeptReferences& kept, const StyleMapping& styles,
                               SharedStrings& strings, uint32_t firstLink) {
  const std::string written = worksheetXml(sheet, active, styles, strings, {},
                                           kept.lineAttributes(origin, sheet.id(), true),
                                           kept.lineAttributes(origin, sheet.id(), false));
  const size_t rootEnd = written.find('>', written.find("<worksheet"));
  size_t dataStart = written.find("<sheetData");
  const size_t rootClose = written.rfind("</worksheet>");
  if (rootEnd == std::string::npos || dataStart == std::string::npos ||
      rootClose == std::string::npos) {
    throw std::logic_error("the worksheet writer gave an unexpected shape");
  }
  size_t dataEnd = written.find("</sheetData>", dataStart);
  dataEnd = dataEnd == std::string::npos ? written.find('>', dataStart) + 1 : dataEnd + 12;

  std::map<std::string, std::string> model =
      elementsOf(std::string_view(written).substr(rootEnd + 1, dataStart - rootEnd - 1));
  for (auto& [name, xml] :
       elementsOf(std::string_view(written).substr(dataEnd, rootClose - dataEnd))) {
    model[name] += xml;
  }
  // The file's views (zoom, selection, grid lines) stay unless the frozen panes changed; so do
  // its sheet properties and protection (which may hold a hash the model cannot make) unless
  // the tab colour or the protection changed.
  const bool keepViews = sheet.freezePanes() == origin.freeze;
  const SheetSettings& settings = sheet.settings();
  const bool propertiesChanged = settings.tabColor != origin.settings.tabColor ||
                                 settings.page.fitToPage != origin.settings.page.fitToPage;
  const PageSetup& page = settings.page;
  const PageSetup& pageRead = origin.settings.page;
  const bool headerFooterChanged = page.header != pageRead.header || page.footer != pageRead.footer;
  const bool pageSetupChanged =
      page.orientation != pageRead.orientation || page.paperSize != pageRead.paperSize ||
      page.fitToPage != pageRead.fitToPage || page.fitToWidth != pageRead.fitToWidth ||
      page.fitToHeight != pageRead.fitToHeight;
  const bool protectionChanged = !(settings.protection == origin.settings.protection);

  std::vector<Piece> pieces;
  uint32_t filePriorities = 0;
  bool validationsMerged = false, linksMerged = false;
  int rank = -1;
  std::map<std::string, bool> fromFile;
  for (const auto& [name, xml] : origin.elements) {
    const int known = schemaRank(name);
    if (known >= 0) rank = known;
    const bool fileWins = fileVersionWins(name) || (name == "sheetViews" && keepViews);
    const bool modelOwned =
        name == "dimension" || name == "cols" || name == "mergeCells" ||
        (name == "sheetProtection" && protectionChanged) ||
        (name == "pageMargins" && page.margins != pageRead.margins) ||
        (name == "headerFooter" && headerFooterChanged) ||
        (model.count(name) && !fileWins && name != "sheetPr" && name != "sheetProtection" &&
         name != "conditionalFormatting" && name != "dataValidations" && name != "hyperlinks");
    if (modelOwned) continue;
    fromFile[name] = true;
    if (name == "sheetViews") {
      pieces.push_back({rank, selectTab(xml, active, settings, origin.settings)});
    } else if (name == "sheetFormatPr") {
      pieces.push_back({rank, formatPropertiesFor(sheet, origin, xml)});
    } else if (name == "printOptions" &&
               settings.printGridLines != origin.settings.printGridLines) {
      pieces.push_back(
          {rank, withAttributes(
                     xml, {{"gridLines", settings.printGridLines ? std::optional<std::string>("1")
                                                                 : std::nullopt}})});
    } else if (name == "sheetPr" && propertiesChanged) {
      pieces.push_back({rank, sheetPropertiesFor(xml, settings, origin.settings)});
    } else if (name == "pageSetup" && pageSetupChanged) {
      pieces.push_back({rank, withAttributes(xml, pageSetupAttributes(page))});
    } else if (std::string moved = kept.sheetElement(name, xml, sheet.id()); !moved.empty()) {
      if (name == "conditionalFormatting")
        filePriorities = std::max(filePriorities, highestPriority(moved));
      if (name == "dataValidations" && !validationsMerged) {
        moved = withEntries(moved, dataValidationEntriesXml(sheet), "dataValidation");
        validationsMerged = true;
      }
      if (name == "hyperlinks" && !linksMerged) {
        moved = withEntries(moved, hyperlinkEntriesXml(sheet, firstLink), "hyperlink");
        linksMerged = true;
      }
      pieces.push_back({rank, std::move(moved)});
    }
  }
  for (const auto& [name, xml] : model) {
    if (name == "conditionalFormatting") {
      pieces.push_back({schemaRank(name), priorityAfter(xml, filePriorities)});
    } else if (name == "dataValidations") {
      if (!validationsMerged) pieces.push_back({schemaRank(name), xml});
    } else if (name == "hyperlinks") {
      if (!linksMerged)
        pieces.push_back({schemaRank(name), "<hyperlinks>" + hyperlinkEntriesXml(sheet, firstLink) +
                                                "</hyperlinks>"});
    } else if (!fromFile.count(name)) {
      pieces.push_back({schemaRank(name), xml});
    }
  }
  std::string rows = written.substr(dataStart, dataEnd - dataStart);
  if (!origin.arrays.empty()) rows = restoreArrayFormulas(sheet, rows, origin.arrays);
  pieces.push_back({schemaRank("sheetData"), std::move(rows)});
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const Piece& a, const Piece& b) { return a.rank < b.rank; });

  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet";
  bool hasMain = false, hasRelationships = false;
  for (const auto& [name, value] : origin.rootAttributes) {
    if (name == "xmlns") {
      hasMain = true;
      xml += " xmlns=\"" + std::string(kMainNamespace) + "\"";
      continue;
    }
    if (name == "xmlns:r") hasRelationships = true;
    xml += " " + name + "=\"" + xmlAttribute(value) + "\"";
  }
  if (!hasMain) xml += " xmlns=\"" + std::string(kMainNamespace) + "\"";
  if (!hasRelationships) xml += " xmlns:r=\"" + std::string(kRelationshipsNamespace) + "\"";
  xml += ">";
  for (const Piece& piece : pieces) xml += piece.xml;
  return xml + "</worksheet>";
}

std::string editedSharedStringsXml(const Workbook& workbook, const SharedStrings& strings,
                                   const std::map<std::u16string, std::string>& richStrings) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml += "<sst xmlns=\"" + std::string(kMainNamespace) + "\" count=\"" +
         std::to_string(strings.references) + "\" uniqueCount=\"" +
         std::to_string(strings.order.size()) + "\">";
  for (size_t i = 0; i < strings.order.size(); ++i) {
    const uint32_t id = strings.order[i];
    if (id == SharedStrings::kRichEntry) {
      xml += strings.richItems.at(static_cast<uint32_t>(i));
      continue;
    }
    const std::u16string& text = workbook.strings().at(id);
    if (auto rich = richStrings.find(text); rich != richStrings.end()) {
      xml += rich->second;
    } else {
      xml += "<si><t xml:space=\"preserve\">" + xmlText(text) + "</t></si>";
    }
  }
  return xml + "</sst>";
}

}  // namespace sx
