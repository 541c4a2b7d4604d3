#include "io/kept_tables.h"

#include <pugixml.hpp>

#include <algorithm>
#include <stdexcept>

#include "core/text_case.h"
#include "core/utf.h"
#include "io/xml_parse.h"

namespace sx {
namespace {

[[noreturn]] void refuse(const KeptTable& table, const std::string& why) {
  throw std::runtime_error("Cannot shift cells: " + why + " of the " +
                           (table.pivot ? "pivot table" : "table") + " \"" + toUtf8(table.name) +
                           "\"");
}

std::optional<pugi::xml_document> parsedOrNothing(std::string_view xml,
                                                  const std::string& partName) {
  try {
    return parseXmlPart(xml, partName);
  } catch (const std::runtime_error&) {
    return std::nullopt;  // carried through as it is, as before any edit
  }
}

}  // namespace

KeptTables keptTables(const XlsxOrigin& origin) {
  KeptTables tables;
  for (const PackagePart& part : origin.keptParts) {
    if (!part.contentType.ends_with("spreadsheetml.table+xml")) continue;
    pugi::xml_document document;
    if (!document.load_buffer(part.data.data(), part.data.size())) continue;
    const pugi::xml_node table = document.document_element();
    tables.largestId = std::max(tables.largestId, table.attribute("id").as_uint());
    for (const char* attribute : {"name", "displayName"}) {
      if (const char* name = table.attribute(attribute).value(); *name)
        tables.names.push_back(fromUtf8(name));
    }
  }
  return tables;
}

std::optional<KeptTable> readKeptTable(std::string_view xml, const std::string& partName,
                                       const std::string& relationshipId) {
  const std::optional<pugi::xml_document> document = parsedOrNothing(xml, partName);
  if (!document) return std::nullopt;
  const pugi::xml_node root = document->document_element();
  KeptTable table;
  table.partName = partName;
  table.relationshipId = relationshipId;
  table.name = fromUtf8(root.attribute("displayName").value());
  if (table.name.empty()) table.name = fromUtf8(root.attribute("name").value());
  table.headerRows = root.attribute("headerRowCount").as_int(1) ? 1 : 0;
  table.totalsRows = root.attribute("totalsRowCount").as_int(0) ? 1 : 0;
  try {
    table.area = parseRangeRef(fromUtf8(root.attribute("ref").value()));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (table.area.shape != RangeRef::Shape::Cells) return std::nullopt;
  return table;
}

std::optional<KeptTable> readKeptPivotPlace(std::string_view xml, const std::string& partName,
                                            const std::string& relationshipId) {
  const std::optional<pugi::xml_document> document = parsedOrNothing(xml, partName);
  if (!document) return std::nullopt;
  const pugi::xml_node root = document->document_element();
  KeptTable pivot;
  pivot.partName = partName;
  pivot.relationshipId = relationshipId;
  pivot.name = fromUtf8(root.attribute("name").value());
  pivot.pivot = true;
  try {
    pivot.area = parseRangeRef(fromUtf8(childNamed(root, "location").attribute("ref").value()));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (pivot.area.shape != RangeRef::Shape::Cells) return std::nullopt;
  return pivot;
}

std::optional<RangeRef> tableAfterShift(const KeptTable& table, const RangeRef& area,
                                        const CellShift& shift) {
  if (shiftTears(area, shift)) refuse(table, "it would move part");
  const bool vertical = shift.vertical();
  const bool remove = shift.deletes();
  const auto [first, last, acrossFirst, acrossLast, bandFirst, bandLast, bandAcrossFirst,
              bandAcrossLast] =
      shiftAxes(shift, area.firstRow, area.firstColumn, area.lastRow, area.lastColumn);
  if (acrossLast < bandAcrossFirst || acrossFirst > bandAcrossLast || last < bandFirst) return area;
  const int32_t count = bandLast - bandFirst + 1;
  int32_t newFirst = first, newLast = last;
  if (remove) {
    if (bandLast < first) {
      newFirst -= count;
      newLast -= count;
    } else {
      if (bandFirst <= first && bandLast >= last) return std::nullopt;
      if (table.pivot) refuse(table, "it would delete part");
      if (vertical && table.headerRows && bandFirst <= first)
        refuse(table, "it would delete the header row");
      if (vertical && table.totalsRows && bandLast >= last)
        refuse(table, "it would delete the totals row");
      if (vertical && bandFirst <= first + table.headerRows &&
          bandLast >= last - table.totalsRows) {
        refuse(table, "it would delete every data row");
      }
      newFirst = std::min(first, bandFirst);
      newLast = last > bandLast ? last - count : bandFirst - 1;
    }
  } else {
    if (bandFirst <= first) newFirst += count;
    if (table.pivot && bandFirst > first) refuse(table, "it would insert cells inside");
    newLast += count;
    if (newLast >= (vertical ? kMaxRows : kMaxColumns))
      refuse(table, "it would push the end off the sheet");
  }
  RangeRef moved = area;
  (vertical ? moved.firstRow : moved.firstColumn) = newFirst;
  (vertical ? moved.lastRow : moved.lastColumn) = newLast;
  return moved;
}

std::optional<RangeRef> tableNow(const KeptTable& table, const std::vector<RecordedShift>& shifts,
                                 uint32_t sheetId) {
  std::optional<RangeRef> area = table.area;
  for (const RecordedShift& recorded : shifts) {
    if (recorded.sheetId != sheetId) continue;
    area = tableAfterShift(table, *area, recorded.shift);
    if (!area) break;
  }
  return area;
}

std::vector<ShiftedInText> XlsxOrigin::checkShift(const Workbook& workbook, uint32_t sheetId,
                                                  const CellShift& shift) const {
  const auto sheet = sheets.find(sheetId);
  const Sheet* now = workbook.sheetById(sheetId);
  if (sheet == sheets.end() || !now) return {};
  std::vector<ShiftedInText> added;
  for (const KeptTable& table : sheet->second.tables) {
    const std::optional<RangeRef> area = tableNow(table, workbook.shifts(), sheetId);
    if (!area) continue;
    const std::optional<RangeRef> after = tableAfterShift(table, *area, shift);
    if (shift.kind != CellShift::Kind::InsertRight || table.pivot || !table.headerRows || !after ||
        after->columnCount() == area->columnCount()) {
      continue;
    }
    // Columns inserted inside a table are named as the application names them: "Column" and
    // the lowest number no header of the table has.
    std::vector<std::u16string> names;
    for (int32_t column = area->firstColumn; column <= area->lastColumn; ++column) {
      const CellValue header = now->value(area->firstRow, column);
      if (header.kind == CellValue::Kind::Text) names.push_back(header.text);
    }
    int serial = 1;
    for (int32_t column = shift.firstColumn; column <= shift.lastColumn; ++column) {
      std::u16string name;
      do name = u"Column" + fromUtf8(std::to_string(serial++));
      while (std::any_of(names.begin(), names.end(),
                         [&](const auto& other) { return equalsIgnoringCase(name, other); }));
      names.push_back(name);
      added.push_back({area->firstRow, column, std::move(name)});
    }
  }
  return added;
}

}  // namespace sx
