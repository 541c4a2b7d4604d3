#include "io/xlsx_edit_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>

#include "formula/function_names.h"
#include "formula/reference_adjust.h"
#include "io/kept_tables.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xlsx_writer.h"
#include "io/xml_parse.h"
#include "io/xml_text.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr const char* kDocumentRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr std::string_view kStrictRelationships =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";
constexpr const char* kSpreadsheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.";

// The children of <workbook> in schema order, up to where definedNames and calcPr go.
constexpr const char* kWorkbookOrder[] = {
    "fileVersion", "fileSharing",    "workbookPr",         "workbookProtection", "bookViews",
    "sheets",      "functionGroups", "externalReferences", "definedNames",       "calcPr"};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string folderOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// Names and ids handed out for parts the opened package did not have.
class FreshNames {
 public:
  explicit FreshNames(const XlsxOrigin& origin) {
    for (const PackagePart& part : origin.keptParts) parts_.insert(lower(part.name));
    for (const auto& [id, sheet] : origin.sheets) parts_.insert(lower(sheet.partName));
    parts_.insert(lower(origin.styles.partName));
    parts_.insert(lower(origin.sharedStringsPart));
    for (const Relationship& rel : origin.workbookRelationships) ids_.insert(rel.id);
  }
  std::string part(const std::string& folder, const std::string& stem,
                   const std::string& extension) {
    for (int n = 1;; ++n) {
      std::string name = folder + stem + std::to_string(n) + extension;
      if (parts_.insert(lower(name)).second) return name;
    }
  }
  std::string fixedPart(const std::string& name) {
    if (parts_.insert(lower(name)).second) return name;
    const size_t slash = name.rfind('/') + 1;
    const size_t dot = name.rfind('.');
    return part(name.substr(0, slash), name.substr(slash, dot - slash), name.substr(dot));
  }
  std::string id() {
    for (int n = 1;; ++n) {
      std::string candidate = "rId" + std::to_string(n);
      if (ids_.insert(candidate).second) return candidate;
    }
  }

 private:
  std::set<std::string> parts_;
  std::set<std::string> ids_;
};

struct SheetPlacement {
  std::string partName;
  std::string relationshipId;
  std::string sheetId;
};

pugi::xml_node placeInOrder(pugi::xml_node root, std::string_view name) {
  if (pugi::xml_node found = childNamed(root, name)) return found;
  pugi::xml_node after;
  for (const char* element : kWorkbookOrder) {
    if (element == name) break;
    if (pugi::xml_node present = childNamed(root, element)) after = present;
  }
  const std::string_view rootName = root.name();
  const size_t colon = rootName.find(':');
  const std::string full =
      (colon == std::string_view::npos ? std::string()
                                       : std::string(rootName.substr(0, colon + 1))) +
      std::string(name);
  return after ? root.insert_child_after(full.c_str(), after) : root.prepend_child(full.c_str());
}

// The prefix the workbook part uses for the relationships namespace (Transitional or Strict),
// declared when missing under a prefix the part does not use yet.
std::string relationshipsPrefix(pugi::xml_node root) {
  const std::string uri =
      std::string(kDocumentRelationship).substr(0, std::string(kDocumentRelationship).size() - 1);
  for (pugi::xml_attribute attribute : root.attributes()) {
    const std::string_view name = attribute.name();
    const std::string_view value = attribute.value();
    if (name.starts_with("xmlns:") && (value == uri || value == kStrictRelationships)) {
      return std::string(name.substr(6));
    }
  }
  std::string prefix = "r";
  while (root.attribute(("xmlns:" + prefix).c_str())) prefix += "r";
  root.append_attribute(("xmlns:" + prefix).c_str()) = uri.c_str();
  return prefix;
}

void clearChildren(pugi::xml_node node) {
  while (node.first_child()) node.remove_child(node.first_child());
}

void appendXml(pugi::xml_node parent, const std::string& xml) {
  parent.append_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
}

void setCalculationMode(pugi::xml_node calc, CalculationMode mode) {
  calc.remove_attribute("calcMode");
  if (mode != CalculationMode::Auto)
    calc.append_attribute("calcMode") = std::string(calculationModeName(mode)).c_str();
}

// The <sheets> list as written: the model's sheets in their order, each kept entry of another
// kind right after the worksheet it followed (at the end when that sheet is gone).
struct SheetEntrySlot {
  size_t modelIndex = SIZE_MAX;
  const OtherSheetEntry* other = nullptr;
};

std::vector<SheetEntrySlot> sheetEntrySlots(const Workbook& workbook, const XlsxOrigin& origin) {
  std::vector<SheetEntrySlot> slots;
  std::vector<bool> placed(origin.otherSheetEntries.size(), false);
  auto placeAfter = [&](uint32_t sheetId) {
    for (size_t k = 0; k < origin.otherSheetEntries.size(); ++k) {
      if (!placed[k] && origin.otherSheetEntries[k].afterSheetId == sheetId) {
        slots.push_back({SIZE_MAX, &origin.otherSheetEntries[k]});
        placed[k] = true;
      }
    }
  };
  placeAfter(0);
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    slots.push_back({i, nullptr});
    placeAfter(workbook.sheet(i).id());
  }
  for (size_t k = 0; k < placed.size(); ++k) {
    if (!placed[k]) slots.push_back({SIZE_MAX, &origin.otherSheetEntries[k]});
  }
  return slots;
}

size_t slotOfSheet(const std::vector<SheetEntrySlot>& slots, size_t modelIndex) {
  for (size_t k = 0; k < slots.size(); ++k) {
    if (slots[k].modelIndex == modelIndex) return k;
  }
  return 0;
}

size_t slotOfOther(const std::vector<SheetEntrySlot>& slots, const OtherSheetEntry* other) {
  for (size_t k = 0; k < slots.size(); ++k) {
    if (slots[k].other == other) return k;
  }
  return 0;
}

// A file's filter, print area or print titles name that the script set anew on its sheet.
bool replacedByModel(const Sheet& sheet, const KeptDefinedName& name) {
  for (const auto& [attribute, value] : name.attributes) {
    if (attribute == "name") return sheetAreaName(sheet, value).has_value();
  }
  return false;
}

std::string workbookPartXml(const Workbook& workbook, const XlsxOrigin& origin,
                            const std::vector<SheetPlacement>& placements,
                            const KeptReferences& references) {
  pugi::xml_document document = parseXmlPart(origin.workbookXml, origin.workbookPart);
  pugi::xml_node root = document.document_element();
  const std::string prefix = relationshipsPrefix(root);

  pugi::xml_node sheets = placeInOrder(root, "sheets");
  clearChildren(sheets);
  const std::vector<SheetEntrySlot> slots = sheetEntrySlots(workbook, origin);
  for (const SheetEntrySlot& slot : slots) {
    if (slot.other) {
      appendXml(sheets, slot.other->xml);
      continue;
    }
    const size_t i = slot.modelIndex;
    const Sheet& sheet = workbook.sheet(i);
    pugi::xml_node entry = sheets.append_child("sheet");
    entry.append_attribute("name") = toUtf8(sheet.name()).c_str();
    entry.append_attribute("sheetId") = placements[i].sheetId.c_str();
    if (auto kept = origin.sheets.find(sheet.id()); kept != origin.sheets.end()) {
      for (const auto& [name, value] : kept->second.extraAttributes)
        entry.append_attribute(name.c_str()) = value.c_str();
    }
    if (sheet.settings().visibility != SheetVisibility::Visible) {
      entry.append_attribute("state") =
          std::string(sheetVisibilityName(sheet.settings().visibility)).c_str();
    }
    entry.append_attribute((prefix + ":id").c_str()) = placements[i].relationshipId.c_str();
  }

  const size_t active = slotOfSheet(slots, workbook.sheetIndex(workbook.activeSheet()));
  pugi::xml_node views = placeInOrder(root, "bookViews");
  pugi::xml_node view = childNamed(views, "workbookView");
  if (!view) view = views.append_child("workbookView");
  view.remove_attribute("activeTab");
  view.append_attribute("activeTab") = static_cast<unsigned long long>(active);
  if (view.attribute("firstSheet").as_ullong() > active) view.remove_attribute("firstSheet");

  if (pugi::xml_node names = childNamed(root, "definedNames")) root.remove_child(names);
  // Each entry with its place among the file's names; new names (position 0) go last.
  std::vector<std::pair<size_t, std::string>> nameEntries;
  for (const DefinedName& name : workbook.definedNames()) {
    std::string entry = "<definedName name=\"" + xmlText(name.name) + "\"";
    const std::pair key(name.scopeSheetId, name.name);
    if (auto extra = origin.nameAttributes.find(key); extra != origin.nameAttributes.end()) {
      for (const auto& [attribute, value] : extra->second)
        entry += " " + attribute + "=\"" + xmlAttribute(value) + "\"";
    }
    // Removing a sheet removes its own names, so the scope is always there.
    if (const Sheet* scope = name.scopeSheetId ? workbook.sheetById(name.scopeSheetId) : nullptr) {
      entry += " localSheetId=\"" +
               std::to_string(slotOfSheet(slots, workbook.sheetIndex(*scope))) + "\"";
    }
    const auto position = origin.namePositions.find(key);
    nameEntries.emplace_back(position == origin.namePositions.end() ? 0 : position->second,
                             entry + ">" +
                                 xmlPlainText(formula::withFunctionPrefixes(name.reference)) +
                                 "</definedName>");
  }
  for (const KeptDefinedName& name : origin.keptNames) {
    std::string entry = "<definedName";
    for (const auto& [attribute, value] : name.attributes)
      entry += " " + attribute + "=\"" + xmlAttribute(value) + "\"";
    if (name.scopeSheetId) {
      const Sheet* scope = workbook.sheetById(*name.scopeSheetId);
      if (!scope || replacedByModel(*scope, name)) continue;
      entry += " localSheetId=\"" +
               std::to_string(slotOfSheet(slots, workbook.sheetIndex(*scope))) + "\"";
    } else if (name.scopeOtherEntry) {
      const OtherSheetEntry* scope = &origin.otherSheetEntries[*name.scopeOtherEntry];
      entry += " localSheetId=\"" + std::to_string(slotOfOther(slots, scope)) + "\"";
    }
    nameEntries.emplace_back(
        name.position, entry + ">" +
                           xmlPlainText(references.formula(fromUtf8(name.text), std::nullopt)) +
                           "</definedName>");
  }
  std::stable_sort(nameEntries.begin(), nameEntries.end(), [](const auto& a, const auto& b) {
    return (a.first == 0 ? SIZE_MAX : a.first) < (b.first == 0 ? SIZE_MAX : b.first);
  });
  std::string namesXml;
  for (const auto& entry : nameEntries) namesXml += entry.second;
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    namesXml += sheetAreaNamesXml(workbook.sheet(i), slotOfSheet(slots, i));
  }
  if (!namesXml.empty()) appendXml(placeInOrder(root, "definedNames"), namesXml);

  // The next application calculates every formula when it opens the file.
  pugi::xml_node calc = placeInOrder(root, "calcPr");
  calc.remove_attribute("fullCalcOnLoad");
  calc.append_attribute("fullCalcOnLoad") = "1";
  setCalculationMode(calc, workbook.calculationMode());
  return documentXml(document);
}

}  // namespace

std::vector<PackagePart> buildEditedWorkbookParts(const Workbook& workbook, FileFormat format,
                                                  const XlsxOrigin& origin) {
  FreshNames fresh(origin);
  const std::string folder = folderOf(origin.workbookPart);
  std::vector<SheetPlacement> placements;
  uint64_t maxSheetId = 0;
  for (const auto& [id, sheet] : origin.sheets)
    maxSheetId = std::max<uint64_t>(maxSheetId, std::strtoull(sheet.sheetId.c_str(), nullptr, 10));
  for (const OtherSheetEntry& other : origin.otherSheetEntries) {
    pugi::xml_document entry;
    entry.load_buffer(other.xml.data(), other.xml.size());
    maxSheetId =
        std::max<uint64_t>(maxSheetId, entry.document_element().attribute("sheetId").as_ullong());
  }
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    const Sheet& sheet = workbook.sheet(i);
    if (auto kept = origin.sheets.find(sheet.id()); kept != origin.sheets.end()) {
      placements.push_back(
          {kept->second.partName, kept->second.relationshipId, kept->second.sheetId});
    } else {
      placements.push_back({fresh.part(folder + "worksheets/", "sheet", ".xml"), fresh.id(),
                            std::to_string(++maxSheetId)});
    }
  }

  StyleMapping styles;
  std::string stylesPart = origin.styles.partName;
  std::string stylesXmlText;
  if (origin.styles.xml.empty()) {
    stylesPart = fresh.fixedPart(folder + "styles.xml");
    stylesXmlText = stylesXml(workbook, styles);
  } else {
    stylesXmlText = editedStylesXml(workbook, origin.styles, styles);
  }
  SharedStrings strings;
  for (uint32_t id : origin.keptStringTable) {
    strings.index.emplace(id, static_cast<uint32_t>(strings.order.size()));
    strings.order.push_back(id);
  }
  const KeptReferences keptReferences(workbook, origin);
  std::vector<PackagePart> worksheets;
  // The model's links to addresses join each sheet's relationships part (made when it had none).
  std::map<std::string, std::string> linkRelationships;  // part name -> <Relationship> entries
  // Sheets the script added may hold notes, pictures, charts and tables: their parts take
  // names and table ids the package does not use.
  ObjectPartNumbers numbers;
  for (const PackagePart& part : origin.keptParts) numbers.taken.insert(partKey(part.name));
  for (const SheetPlacement& placement : placements)
    numbers.taken.insert(partKey(placement.partName));
  numbers.tableId = keptTables(origin).largestId;
  std::vector<PackagePart> objectParts;
  const Sheet& active = workbook.activeSheet();
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    const Sheet& sheet = workbook.sheet(i);
    auto kept = origin.sheets.find(sheet.id());
    const std::string relationshipsPart = relationshipsPartName(placements[i].partName);
    uint32_t firstLink = 1;
    for (const PackagePart& part : origin.keptParts) {
      if (part.name == relationshipsPart) firstLink = firstFreeLinkNumber(part.data);
    }
    std::string xml;
    if (kept != origin.sheets.end()) {
      xml = editedWorksheetXml(sheet, &sheet == &active, kept->second, keptReferences, styles,
                               strings, firstLink);
    } else {
      SheetObjectParts objects = buildSheetObjectParts(sheet, placements[i].partName, numbers);
      xml = worksheetXml(sheet, &sheet == &active, styles, strings, objects.worksheetElements);
      for (PackagePart& part : objects.parts) objectParts.push_back(std::move(part));
    }
    worksheets.push_back(
        {placements[i].partName, std::string(kSpreadsheetType) + "worksheet+xml", std::move(xml)});
    if (std::string links = hyperlinkRelationshipsXml(sheet, firstLink); !links.empty()) {
      linkRelationships.emplace(relationshipsPart, std::move(links));
    }
  }
  const std::string stringsPart = origin.sharedStringsPart.empty()
                                      ? fresh.fixedPart(folder + "sharedStrings.xml")
                                      : origin.sharedStringsPart;

  // Relationships: the sheets, styles and strings as written now, then the rest as they were.
  std::set<std::string> replaced;
  for (const auto& [id, sheet] : origin.sheets) replaced.insert(sheet.relationshipId);
  std::vector<Relationship> relationships;
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    relationships.push_back({placements[i].relationshipId,
                             std::string(kDocumentRelationship) + "worksheet",
                             relativeTarget(origin.workbookPart, placements[i].partName), false});
  }
  std::string stylesId, stringsId;
  for (const Relationship& rel : origin.workbookRelationships) {
    const std::string_view kind = relationshipKind(rel.type);
    if (kind == "styles" && stylesId.empty()) stylesId = rel.id;
    if (kind == "sharedStrings" && stringsId.empty()) stringsId = rel.id;
  }
  if (stylesId.empty()) stylesId = fresh.id();
  if (stringsId.empty()) stringsId = fresh.id();
  relationships.push_back({stylesId, std::string(kDocumentRelationship) + "styles",
                           relativeTarget(origin.workbookPart, stylesPart), false});
  relationships.push_back({stringsId, std::string(kDocumentRelationship) + "sharedStrings",
                           relativeTarget(origin.workbookPart, stringsPart), false});
  // A workbook saved without macros leaves its VBA project out, as a macro-free file must.
  std::set<std::string> dropped;
  for (const Relationship& rel : origin.workbookRelationships) {
    const std::string_view kind = relationshipKind(rel.type);
    if (replaced.count(rel.id) || rel.id == stylesId || rel.id == stringsId || kind == "calcChain")
      continue;
    if (kind == "vbaProject" && format != FileFormat::Xlsm) {
      const std::string part = resolveTarget(origin.workbookPart, rel.target);
      dropped.insert(part);
      dropped.insert(relationshipsPartName(part));
      continue;
    }
    relationships.push_back(rel);
  }

  // A deleted sheet's own relationships go with it (the parts they point at stay, unreferenced).
  for (const auto& [id, sheet] : origin.sheets) {
    if (!workbook.sheetById(id)) dropped.insert(relationshipsPartName(sheet.partName));
  }

  std::vector<PackagePart> parts;
  parts.push_back({origin.workbookPart, workbookContentType(format),
                   workbookPartXml(workbook, origin, placements, keptReferences)});
  parts.push_back(
      {relationshipsPartName(origin.workbookPart), "", relationshipsXml(relationships)});
  parts.push_back(
      {stylesPart, std::string(kSpreadsheetType) + "styles+xml", std::move(stylesXmlText)});
  parts.push_back({stringsPart, std::string(kSpreadsheetType) + "sharedStrings+xml",
                   editedSharedStringsXml(workbook, strings, origin.richStrings)});
  for (PackagePart& sheet : worksheets) parts.push_back(std::move(sheet));
  for (PackagePart& part : objectParts) parts.push_back(std::move(part));
  for (const PackagePart& part : origin.keptParts) {
    if (dropped.count(part.name) || keptReferences.drops(part.name)) continue;
    parts.push_back(keptReferences.part(part));
    if (auto links = linkRelationships.find(part.name); links != linkRelationships.end()) {
      addRelationshipEntries(parts, part.name, links->second);
      linkRelationships.erase(links);
    }
  }
  // A new sheet's links join the relationships of its notes, pictures and tables.
  for (const auto& [name, links] : linkRelationships) addRelationshipEntries(parts, name, links);
  return parts;
}

}  // namespace sx
