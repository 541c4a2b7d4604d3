#include "io/kept_references.h"

#include <algorithm>

#include "core/sheet_name.h"
#include "core/utf.h"
#include "formula/reference_adjust.h"
#include "formula/reference_syntax.h"
#include "io/xml_parse.h"

namespace sx {
namespace {

bool isReferenceError(std::u16string_view text) { return text.find(u"#REF!") != std::u16string_view::npos; }

bool isDelete(CellShift::Kind kind) {
  return kind == CellShift::Kind::DeleteUp || kind == CellShift::Kind::DeleteLeft;
}

// Calls `visit` on every element below `node` (anchors may sit inside mc:AlternateContent).
template <typename Visit>
void forEachElement(pugi::xml_node node, const Visit& visit) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    visit(child);
    forEachElement(child, visit);
  }
}

}  // namespace

KeptReferences::KeptReferences(const Workbook& workbook, const XlsxOrigin& origin)
    : workbook_(workbook), origin_(origin) {
  for (const auto& [id, sheet] : origin.sheets) {
    const Sheet* now = workbook.sheetById(id);
    if (now && now->name() != sheet.name) renamed_ = true;
    for (const std::string& drawing : sheet.drawingParts) drawingSheets_[partKey(drawing)] = id;
  }
}

PackagePart KeptReferences::part(const PackagePart& kept) const {
  if (workbook_.shifts().empty() && !renamed_) return kept;
  PackagePart moved = kept;
  if (const auto sheet = drawingSheets_.find(partKey(kept.name)); sheet != drawingSheets_.end()) {
    if (!workbook_.shifts().empty()) moved.data = drawing(kept.data, kept.name, sheet->second);
  } else if (kept.contentType == "application/vnd.openxmlformats-officedocument.drawingml.chart+xml") {
    moved.data = chart(kept.data, kept.name);
  }
  return moved;
}

// Anchors move and size with their cells: a corner in deleted cells goes to where they were.
std::string KeptReferences::drawing(const std::string& xml, const std::string& partName, uint32_t sheetId) const {
  const auto home = origin_.sheets.find(sheetId);
  if (home == origin_.sheets.end()) return xml;
  pugi::xml_document document = parseXmlPart(xml, partName);
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node corner) {
    const std::string_view name = localName(corner);
    const std::string_view anchor = localName(corner.parent());
    if ((name != "from" && name != "to") || (anchor != "twoCellAnchor" && anchor != "oneCellAnchor")) return;
    pugi::xml_node rowNode = childNamed(corner, "row");
    pugi::xml_node columnNode = childNamed(corner, "col");
    if (!rowNode || !columnNode) return;
    int32_t row = rowNode.text().as_int(-1);
    int32_t column = columnNode.text().as_int(-1);
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) return;
    const int32_t rowBefore = row, columnBefore = column;
    for (const RecordedShift& recorded : workbook_.shifts()) {
      if (recorded.sheetId != sheetId) continue;
      CellShift shift = recorded.shift;
      shift.sheet = home->second.name;
      const std::u16string cell = columnLetters(column) + fromUtf8(std::to_string(row + 1));
      const std::u16string now = adjustFormulaForShift(cell, home->second.name, shift);
      if (const auto parsed = formula::parseReferenceText(now)) {
        row = parsed->first.row;
        column = parsed->first.column;
      } else if (isDelete(shift.kind)) {
        const bool vertical = shift.kind == CellShift::Kind::DeleteUp;
        (vertical ? row : column) = vertical ? shift.firstRow : shift.firstColumn;
      }
    }
    if (row != rowBefore || column != columnBefore) {
      rowNode.text().set(row);
      columnNode.text().set(column);
      changed = true;
    }
  });
  return changed ? documentXml(document) : xml;
}

// Series and category references name their sheet, as workbook-level names do.
std::string KeptReferences::chart(const std::string& xml, const std::string& partName) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node node) {
    if (localName(node) != "f") return;
    const std::u16string text = fromUtf8(node.text().get());
    const std::u16string now = formula(text, std::nullopt);
    if (now == text) return;
    node.text().set(toUtf8(now).c_str());
    changed = true;
  });
  return changed ? documentXml(document) : xml;
}

// Replays every Delete and Insert in order, with the sheets under the names the file gave them:
// the kept texts still use those names.
std::u16string KeptReferences::shifted(std::u16string text, std::optional<uint32_t> homeSheetId) const {
  std::u16string home;
  if (homeSheetId) {
    const auto found = origin_.sheets.find(*homeSheetId);
    if (found == origin_.sheets.end()) return text;
    home = found->second.name;
  }
  for (const RecordedShift& recorded : workbook_.shifts()) {
    const auto sheet = origin_.sheets.find(recorded.sheetId);
    if (sheet == origin_.sheets.end()) continue;  // a sheet the file did not have
    CellShift shift = recorded.shift;
    shift.sheet = sheet->second.name;
    text = adjustFormulaForShift(text, home, shift);
  }
  return text;
}

std::u16string KeptReferences::formula(std::u16string_view text, std::optional<uint32_t> homeSheetId) const {
  std::u16string result = shifted(std::u16string(text), homeSheetId);
  if (!renamed_) return result;
  for (const auto& [id, sheet] : origin_.sheets) {
    const Sheet* now = workbook_.sheetById(id);
    if (now && now->name() != sheet.name) result = renameSheetInFormula(result, sheet.name, now->name());
  }
  return result;
}

std::string KeptReferences::areas(std::string_view list, uint32_t sheetId) const {
  std::string kept;
  size_t at = 0;
  while (at < list.size()) {
    const size_t end = std::min(list.find(' ', at), list.size());
    if (end > at) {
      const std::u16string area = shifted(fromUtf8(list.substr(at, end - at)), sheetId);
      if (!isReferenceError(area)) kept += (kept.empty() ? "" : " ") + toUtf8(area);
    }
    at = end + 1;
  }
  return kept;
}

std::string KeptReferences::sheetElement(std::string_view name, const std::string& xml, uint32_t sheetId) const {
  const bool moves = !workbook_.shifts().empty();
  if (!moves && !renamed_) return xml;
  if (name != "conditionalFormatting" && name != "dataValidations" && name != "hyperlinks" && name != "autoFilter") {
    return xml;
  }
  pugi::xml_document document = parseXmlPart(xml, "a worksheet element");
  pugi::xml_node root = document.document_element();
  // Rewrites one area list in place; false when nothing of it is left.
  auto keepAreas = [&](pugi::xml_node node, const char* attributeName) {
    pugi::xml_attribute attribute = attributeNamed(node, attributeName);
    if (!attribute || !moves) return true;
    const std::string areasLeft = areas(attribute.value(), sheetId);
    if (areasLeft.empty()) return false;
    attribute.set_value(areasLeft.c_str());
    return true;
  };
  auto rewriteFormula = [&](pugi::xml_node node) {
    if (!node) return;
    const std::u16string text = fromUtf8(node.text().get());
    const std::u16string now = formula(text, sheetId);
    if (now != text) node.text().set(toUtf8(now).c_str());
  };

  if (name == "conditionalFormatting" || name == "autoFilter") {
    if (!keepAreas(root, name == "autoFilter" ? "ref" : "sqref")) return "";
    for (pugi::xml_node rule : root.children()) {
      if (localName(rule) != "cfRule") continue;
      for (pugi::xml_node part : rule.children()) {
        if (localName(part) == "formula") rewriteFormula(part);
      }
    }
    return xmlOf(root);
  }
  // dataValidations and hyperlinks: lists whose entries each hold areas of their own.
  const std::string_view entryName = name == "hyperlinks" ? "hyperlink" : "dataValidation";
  for (pugi::xml_node entry = root.first_child(); entry;) {
    pugi::xml_node next = entry.next_sibling();
    if (localName(entry) == entryName) {
      if (!keepAreas(entry, entryName == "hyperlink" ? "ref" : "sqref")) {
        root.remove_child(entry);
      } else {
        rewriteFormula(childNamed(entry, "formula1"));
        rewriteFormula(childNamed(entry, "formula2"));
      }
    }
    entry = next;
  }
  size_t left = 0;
  for (pugi::xml_node entry : root.children()) left += localName(entry) == entryName;
  if (left == 0) return "";
  if (pugi::xml_attribute count = root.attribute("count")) count.set_value(static_cast<unsigned long long>(left));
  return xmlOf(root);
}

}  // namespace sx
