#include "io/xlsx_reader.h"

#include <map>
#include <set>
#include <stdexcept>

#include "formula/function_names.h"
#include "io/kept_tables.h"
#include "io/opc_package.h"
#include "io/xlsx_origin.h"
#include "io/xlsx_sheet_reader.h"
#include "io/xlsx_style_reader.h"
#include "io/xml_parse.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr size_t kMaxSharedStrings = size_t{16} << 20;

const Relationship* findRelationship(const std::vector<Relationship>& relationships,
                                     std::string_view kind) {
  for (const Relationship& rel : relationships) {
    if (!rel.external && relationshipKind(rel.type) == kind) return &rel;
  }
  return nullptr;
}

const Relationship* findRelationshipById(const std::vector<Relationship>& relationships,
                                         std::string_view id) {
  for (const Relationship& rel : relationships) {
    if (rel.id == id) return &rel;
  }
  return nullptr;
}

// Every <si> as text; the ones with runs or phonetic text keep their XML for the next save.
std::vector<std::u16string> readSharedStrings(const std::string& xml, const std::string& part,
                                              XlsxOrigin& origin) {
  const pugi::xml_document document = parseXmlPart(xml, part);
  std::vector<std::u16string> strings;
  for (pugi::xml_node item : document.document_element().children()) {
    if (localName(item) != "si" && localName(item) != "sstItem")
      continue;  // sstItem: Excel 2007 beta
    if (strings.size() == kMaxSharedStrings)
      throw std::runtime_error("the part " + part + " has too many strings");
    std::string text;
    bool rich = false;
    for (pugi::xml_node child : item.children()) {
      if (localName(child) == "t") {
        text += child.text().get();
      } else if (localName(child) == "r") {
        text += childNamed(child, "t").text().get();
        rich = true;
      } else if (child.type() == pugi::node_element) {
        rich = true;  // phonetic runs and properties
      }
    }
    strings.push_back(decodeXmlString(text));
    if (rich) origin.richStrings.emplace(strings.back(), xmlOf(item));
  }
  return strings;
}

XmlAttributes attributesExcept(const pugi::xml_node& node,
                               std::initializer_list<std::string_view> skip) {
  XmlAttributes out;
  for (pugi::xml_attribute attribute : node.attributes()) {
    bool skipped = false;
    for (std::string_view name : skip) skipped = skipped || localName(attribute) == name;
    if (!skipped) out.emplace_back(attribute.name(), attribute.value());
  }
  return out;
}

// What each <sheet> entry became: a model sheet (its id) or a kept entry of another kind.
struct SheetEntryTarget {
  uint32_t sheetId = 0;
  size_t otherEntry = 0;
};

// Names the application reserves for itself (print areas, filters, future functions).
bool isReservedName(std::u16string_view name) {
  return name.starts_with(u"_xlnm.") || name.starts_with(u"_xlfn.") || name.starts_with(u"_xlpm.");
}

void readDefinedNames(const pugi::xml_node& names, Workbook& workbook,
                      const std::vector<SheetEntryTarget>& entries, XlsxOrigin& origin) {
  size_t position = 0;
  for (pugi::xml_node node : names.children()) {
    if (localName(node) != "definedName") continue;
    ++position;
    const std::u16string name = fromUtf8(node.attribute("name").value());
    const std::u16string reference = fromUtf8(node.text().get());
    const pugi::xml_attribute scope = node.attribute("localSheetId");
    std::optional<SheetEntryTarget> target;
    if (scope) {
      const unsigned entry = scope.as_uint(UINT32_MAX);
      if (entry >= entries.size()) continue;  // its sheet is gone
      target = entries[entry];
    }
    const Sheet* scopeSheet =
        target && target->sheetId ? workbook.sheetById(target->sheetId) : nullptr;
    const bool held = (!target || scopeSheet) && Workbook::isValidDefinedName(name) &&
                      !isReservedName(name) && !reference.empty() &&
                      !workbook.findDefinedName(name, scopeSheet);
    if (held) {
      workbook.addDefinedName(name, formula::withoutFunctionPrefixes(reference), scopeSheet);
      XmlAttributes extra = attributesExcept(node, {"name", "localSheetId"});
      const std::pair key(scopeSheet ? scopeSheet->id() : 0, name);
      if (!extra.empty()) origin.nameAttributes.emplace(key, std::move(extra));
      origin.namePositions.emplace(key, position);
      continue;
    }
    KeptDefinedName kept{attributesExcept(node, {"localSheetId"}), std::nullopt, std::nullopt,
                         node.text().get(), position};
    if (target) {
      if (target->sheetId) {
        kept.scopeSheetId = target->sheetId;
      } else {
        kept.scopeOtherEntry = target->otherEntry;
      }
    }
    origin.keptNames.push_back(std::move(kept));
  }
}

// A table the formulas may name; one whose area and columns disagree is only carried through.
void readTable(const std::string& xml, const std::string& part, const Sheet& sheet,
               Workbook& workbook) {
  pugi::xml_document document;
  try {
    document = parseXmlPart(xml, part);
  } catch (const std::exception&) {
    return;  // a part that does not parse is carried through as the file had it
  }
  const pugi::xml_node table = document.document_element();
  TableDefinition definition;
  definition.sheetId = sheet.id();
  definition.name = fromUtf8(table.attribute("displayName").value());
  if (definition.name.empty()) definition.name = fromUtf8(table.attribute("name").value());
  try {
    definition.area = parseRangeRef(fromUtf8(table.attribute("ref").value()));
  } catch (const std::exception&) {
    return;
  }
  definition.headerRows = table.attribute("headerRowCount").as_int(1);
  definition.totalsRows = table.attribute("totalsRowCount").as_int(0);
  for (pugi::xml_node column : childNamed(table, "tableColumns").children()) {
    if (localName(column) == "tableColumn")
      definition.columns.push_back(fromUtf8(column.attribute("name").value()));
  }
  const bool sound =
      !definition.name.empty() && definition.area.shape == RangeRef::Shape::Cells &&
      definition.headerRows >= 0 && definition.totalsRows >= 0 &&
      definition.headerRows + definition.totalsRows <= definition.area.rowCount() &&
      static_cast<int32_t>(definition.columns.size()) == definition.area.columnCount() &&
      !workbook.findTable(definition.name);
  if (sound) workbook.addTable(std::move(definition));
}

// The file's active sheet when it is visible, else the first visible one. A workbook whose
// sheets are all hidden cannot be shown: its first sheet is shown.
void setActiveVisibleSheet(Workbook& workbook, Sheet* active) {
  if (active && active->settings().visibility == SheetVisibility::Visible) {
    workbook.setActiveSheet(*active);
    return;
  }
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    if (workbook.sheet(i).settings().visibility == SheetVisibility::Visible) {
      workbook.setActiveSheet(workbook.sheet(i));
      return;
    }
  }
  workbook.sheet(0).settings().visibility = SheetVisibility::Visible;
  workbook.setActiveSheet(workbook.sheet(0));
}

}  // namespace

std::unique_ptr<Workbook> readXlsxWorkbook(std::string_view bytes) {
  const OpcPackage package(readZipArchive(bytes));
  auto origin = std::make_shared<XlsxOrigin>();
  auto workbook = std::make_unique<Workbook>(false);

  const std::vector<Relationship> packageRelationships = package.relationships("");
  const Relationship* office = findRelationship(packageRelationships, "officeDocument");
  if (!office) throw std::runtime_error("the package names no workbook part");
  origin->workbookPart = resolveTarget("", office->target);
  origin->workbookXml = package.data(origin->workbookPart);
  origin->workbookRelationships = package.relationships(origin->workbookPart);
  const auto& relationships = origin->workbookRelationships;
  // Parts written anew on saving, by partKey: the package may name them in another case.
  std::set<std::string> rewritten = {partKey("[Content_Types].xml"), partKey(origin->workbookPart),
                                     partKey(relationshipsPartName(origin->workbookPart))};

  std::vector<uint32_t> styleMapping;
  if (const Relationship* styles = findRelationship(relationships, "styles")) {
    origin->styles.partName = resolveTarget(origin->workbookPart, styles->target);
    if (const std::string* xml = package.find(origin->styles.partName)) {
      styleMapping = readStyles(*xml, origin->styles, *workbook);
      rewritten.insert(partKey(origin->styles.partName));
    }
  }
  std::vector<std::u16string> sharedStrings;
  if (const Relationship* strings = findRelationship(relationships, "sharedStrings")) {
    origin->sharedStringsPart = resolveTarget(origin->workbookPart, strings->target);
    if (const std::string* xml = package.find(origin->sharedStringsPart)) {
      sharedStrings = readSharedStrings(*xml, origin->sharedStringsPart, *origin);
      rewritten.insert(partKey(origin->sharedStringsPart));
    }
  }
  // The calculation chain lists formula cells; edits make it stale, and the next application
  // rebuilds it.
  if (const Relationship* chain = findRelationship(relationships, "calcChain")) {
    rewritten.insert(partKey(resolveTarget(origin->workbookPart, chain->target)));
  }

  const pugi::xml_document document = parseXmlPart(origin->workbookXml, origin->workbookPart);
  const pugi::xml_node root = document.document_element();
  const SheetReadContext context{sharedStrings, styleMapping};
  std::vector<SheetEntryTarget> entries;  // per <sheet> entry
  uint32_t lastSheetId = 0;
  bool keepStringTable = false;
  std::map<std::string, std::string> sheetByPart;
  for (pugi::xml_node entry : childNamed(root, "sheets").children()) {
    if (localName(entry) != "sheet") continue;
    const std::string id = attributeNamed(entry, "id").value();
    const Relationship* rel = findRelationshipById(relationships, id);
    // An entry without a part (an old module sheet) is kept as it is, like the other kinds.
    if (!rel || rel->external || relationshipKind(rel->type) != "worksheet") {
      const std::string_view kind = rel ? relationshipKind(rel->type) : std::string_view();
      keepStringTable = keepStringTable || kind == "xlMacrosheet" || kind == "xlIntlMacrosheet" ||
                        kind == "dialogsheet";
      entries.push_back({0, origin->otherSheetEntries.size()});
      origin->otherSheetEntries.push_back({xmlOf(entry), lastSheetId});
      continue;
    }
    const std::string part = resolveTarget(origin->workbookPart, rel->target);
    // Saving writes each sheet to its own part; two sheets reading one part could not be saved.
    if (const auto [first, added] = sheetByPart.emplace(part, entry.attribute("name").value());
        !added) {
      throw std::runtime_error("the sheets \"" + first->second + "\" and \"" +
                               entry.attribute("name").value() + "\" share the part " + part +
                               " (each sheet needs a part of its own)");
    }
    Sheet& sheet = workbook->addSheet(fromUtf8(entry.attribute("name").value()));
    SheetOrigin& sheetOrigin = origin->sheets[sheet.id()];
    sheetOrigin.name = sheet.name();
    sheetOrigin.partName = part;
    sheetOrigin.relationshipId = id;
    sheetOrigin.sheetId = entry.attribute("sheetId").value();
    sheetOrigin.extraAttributes = attributesExcept(entry, {"name", "sheetId", "id", "state"});
    sheet.settings().visibility = sheetVisibilityFromName(entry.attribute("state").value());
    readWorksheet(package.data(part), part, sheet, context, sheetOrigin);
    for (const Relationship& related : package.relationships(part)) {
      if (related.external) continue;
      const std::string target = resolveTarget(part, related.target);
      const std::string kind(relationshipKind(related.type));
      sheetOrigin.parts.push_back({kind, target, related.id});
      const std::string* xml =
          kind == "table" || kind == "pivotTable" ? package.find(target) : nullptr;
      if (!xml) continue;
      if (auto table = kind == "table" ? readKeptTable(*xml, target, related.id)
                                       : readKeptPivotPlace(*xml, target, related.id)) {
        sheetOrigin.tables.push_back(std::move(*table));
      }
      if (kind == "table") readTable(*xml, target, sheet, *workbook);
    }
    rewritten.insert(partKey(part));
    entries.push_back({sheet.id(), 0});
    lastSheetId = sheet.id();
  }
  if (workbook->sheetCount() == 0) throw std::runtime_error("the workbook has no worksheet");
  if (keepStringTable) {
    for (const std::u16string& text : sharedStrings)
      origin->keptStringTable.push_back(workbook->strings().intern(text));
  }

  const unsigned activeTab =
      childNamed(childNamed(root, "bookViews"), "workbookView").attribute("activeTab").as_uint(0);
  const std::string_view date1904 = childNamed(root, "workbookPr").attribute("date1904").value();
  if (date1904 == "1" || date1904 == "true") workbook->setDateSystem(formula::DateSystem::From1904);
  const uint32_t activeId = activeTab < entries.size() ? entries[activeTab].sheetId : 0;
  setActiveVisibleSheet(*workbook, activeId ? workbook->sheetById(activeId) : nullptr);
  workbook->setCalculationMode(
      calculationModeFromName(childNamed(root, "calcPr").attribute("calcMode").value()));
  readDefinedNames(childNamed(root, "definedNames"), *workbook, entries, *origin);

  for (const ZipEntry& part : package.parts()) {
    if (rewritten.count(partKey(part.name))) continue;
    std::string type = package.contentType(part.name);
    // The package writer's own defaults cover .rels and .xml parts.
    if (type == "application/vnd.openxmlformats-package.relationships+xml" &&
        part.name.ends_with(".rels"))
      type.clear();
    if (type == "application/xml" && part.name.ends_with(".xml")) type.clear();
    origin->keptParts.push_back({part.name, type, part.data});
  }
  workbook->finishLoading();
  workbook->setOrigin(std::move(origin));
  return workbook;
}

}  // namespace sx
