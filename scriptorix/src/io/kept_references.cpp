#include "io/kept_references.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "core/sheet_name.h"
#include "core/text_case.h"
#include "core/utf.h"
#include "formula/reference_adjust.h"
#include "formula/reference_syntax.h"
#include "io/kept_tables.h"
#include "io/xml_parse.h"

namespace sx {
namespace {

bool isReferenceError(std::u16string_view text) {
  return text.find(u"#REF!") != std::u16string_view::npos;
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
    for (const SheetPart& part : sheet.parts)
      sheetParts_[partKey(part.partName)] = {id, part.kind, nullptr};
    sheetParts_[partKey(relationshipsPartName(sheet.partName))] = {id, "rels", nullptr};
    for (const KeptTable& table : sheet.tables) {
      sheetParts_[partKey(table.partName)].table = &table;
      try {
        if (tableNow(table, workbook.shifts(), id)) continue;
      } catch (const std::runtime_error&) {
        continue;  // shifts are checked before they are made; should one not fit, the table stays
                   // as read
      }
      droppedParts_.insert(partKey(table.partName));
      droppedParts_.insert(partKey(relationshipsPartName(table.partName)));
      droppedPartIds_[id].insert(table.relationshipId);
    }
  }
}

PackagePart KeptReferences::part(const PackagePart& kept) const {
  if (workbook_.shifts().empty() && !renamed_) return kept;
  try {
    return movedPart(kept);
  } catch (const std::runtime_error&) {
    return kept;  // a part that is not XML cannot follow the edits: it stays as the file had it
  }
}

PackagePart KeptReferences::movedPart(const PackagePart& kept) const {
  PackagePart moved = kept;
  const bool moves = !workbook_.shifts().empty();
  if (const auto place = sheetParts_.find(partKey(kept.name)); place != sheetParts_.end()) {
    const PartPlace& at = place->second;
    if (at.kind == "drawing" && moves) moved.data = drawing(kept.data, kept.name, at.sheetId);
    if (at.kind == "table" && at.table)
      moved.data = table(kept.data, kept.name, at.sheetId, *at.table);
    if (at.kind == "comments" && moves)
      moved.data = cellEntries(kept.data, kept.name, at.sheetId, "comment");
    if (at.kind == "threadedComment" && moves) {
      moved.data = cellEntries(kept.data, kept.name, at.sheetId, "threadedComment");
    }
    if (at.kind == "pivotTable" && moves)
      moved.data = cellEntries(kept.data, kept.name, at.sheetId, "location");
    if (at.kind == "vmlDrawing" && moves) moved.data = noteShapes(kept.data, kept.name, at.sheetId);
    if (at.kind == "rels" && droppedPartIds_.count(at.sheetId)) {
      moved.data = sheetRelationships(kept.data, kept.name, at.sheetId);
    }
  } else if (kept.contentType ==
             "application/vnd.openxmlformats-officedocument.drawingml.chart+xml") {
    moved.data = chart(kept.data, kept.name);
  } else if (kept.contentType ==
             "application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.pivotCacheDefinition+xml") {
    moved.data = pivotSource(kept.data, kept.name);
  }
  return moved;
}

std::optional<std::pair<int32_t, int32_t>> KeptReferences::cell(int32_t row, int32_t column,
                                                                uint32_t sheetId) const {
  const std::string moved =
      areas(toUtf8(columnLetters(column) + fromUtf8(std::to_string(row + 1))), sheetId);
  const auto parsed = formula::parseReferenceText(fromUtf8(moved));
  if (moved.empty() || !parsed) return std::nullopt;
  return std::pair{parsed->first.row, parsed->first.column};
}

std::pair<int32_t, int32_t> KeptReferences::corner(int32_t row, int32_t column,
                                                   uint32_t sheetId) const {
  const auto home = origin_.sheets.find(sheetId);
  if (home == origin_.sheets.end()) return {row, column};
  for (const RecordedShift& recorded : workbook_.shifts()) {
    if (recorded.sheetId != sheetId) continue;
    CellShift shift = recorded.shift;
    shift.sheet = home->second.name;
    const std::u16string cellName = columnLetters(column) + fromUtf8(std::to_string(row + 1));
    const std::u16string now = adjustFormulaForShift(cellName, home->second.name, shift);
    if (const auto parsed = formula::parseReferenceText(now)) {
      row = parsed->first.row;
      column = parsed->first.column;
    } else if (shift.deletes()) {
      const bool vertical = shift.kind == CellShift::Kind::DeleteUp;
      (vertical ? row : column) = vertical ? shift.firstRow : shift.firstColumn;
    }
  }
  return {row, column};
}

// Anchors move and size with their cells.
std::string KeptReferences::drawing(const std::string& xml, const std::string& partName,
                                    uint32_t sheetId) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node corner) {
    const std::string_view name = localName(corner);
    const std::string_view anchor = localName(corner.parent());
    if ((name != "from" && name != "to") ||
        (anchor != "twoCellAnchor" && anchor != "oneCellAnchor"))
      return;
    pugi::xml_node rowNode = childNamed(corner, "row");
    pugi::xml_node columnNode = childNamed(corner, "col");
    if (!rowNode || !columnNode) return;
    const int32_t row = rowNode.text().as_int(-1);
    const int32_t column = columnNode.text().as_int(-1);
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) return;
    const auto [rowNow, columnNow] = this->corner(row, column, sheetId);
    if (rowNow != row || columnNow != column) {
      rowNode.text().set(rowNow);
      columnNode.text().set(columnNow);
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

// The table's area, its autofilter and sort areas, and its columns: a column deleted from the
// table goes with its filter, one inserted inside it gets a name of its own.
std::string KeptReferences::table(const std::string& xml, const std::string& partName,
                                  uint32_t sheetId, const KeptTable& kept) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  pugi::xml_node root = document.document_element();
  pugi::xml_node columns = childNamed(root, "tableColumns");
  pugi::xml_node filter = childNamed(root, "autoFilter");
  RangeRef area = kept.area;
  for (const RecordedShift& recorded : workbook_.shifts()) {
    if (recorded.sheetId != sheetId) continue;
    const CellShift& shift = recorded.shift;
    std::optional<RangeRef> next;
    try {
      next = tableAfterShift(kept, area, shift);
    } catch (const std::runtime_error&) {
      return xml;
    }
    if (!next) return xml;  // the part is dropped
    const bool across =
        shift.kind == CellShift::Kind::DeleteLeft || shift.kind == CellShift::Kind::InsertRight;
    if (across && next->columnCount() != area.columnCount()) {
      std::vector<pugi::xml_node> entries;
      for (pugi::xml_node column : columns.children()) {
        if (localName(column) == "tableColumn") entries.push_back(column);
      }
      // The table's columns [at, at + count) go, or `count` new ones come in before `at`.
      const bool remove = shift.kind == CellShift::Kind::DeleteLeft;
      const int32_t at = std::max(shift.firstColumn, area.firstColumn) - area.firstColumn;
      const int32_t count = remove ? std::min(shift.lastColumn, area.lastColumn) -
                                         std::max(shift.firstColumn, area.firstColumn) + 1
                                   : shift.lastColumn - shift.firstColumn + 1;
      if (remove) {
        for (int32_t i = at; i < at + count && i < static_cast<int32_t>(entries.size()); ++i)
          columns.remove_child(entries[static_cast<size_t>(i)]);
      } else if (at < static_cast<int32_t>(entries.size())) {
        unsigned maxId = 0;
        for (pugi::xml_node column : entries)
          maxId = std::max(maxId, column.attribute("id").as_uint());
        const std::string qualified = entries.front().name();
        const std::string prefix = qualified.substr(
            0, qualified.find(':') == std::string::npos ? 0 : qualified.find(':') + 1);
        for (int32_t i = 0; i < count; ++i) {
          pugi::xml_node added = columns.insert_child_before((prefix + "tableColumn").c_str(),
                                                             entries[static_cast<size_t>(at)]);
          added.append_attribute("id") = ++maxId;
          added.append_attribute("name") = "";
        }
      }
      for (pugi::xml_node column = filter.first_child(); column;) {
        pugi::xml_node nextColumn = column.next_sibling();
        if (localName(column) == "filterColumn") {
          const int32_t id = column.attribute("colId").as_int(-1);
          if (remove && id >= at && id < at + count) {
            filter.remove_child(column);
          } else if (id >= at) {
            column.attribute("colId").set_value(remove ? id - count : id + count);
          }
        }
        column = nextColumn;
      }
      size_t left = 0;
      for (pugi::xml_node column : columns.children()) left += localName(column) == "tableColumn";
      if (pugi::xml_attribute number = columns.attribute("count"))
        number.set_value(static_cast<unsigned long long>(left));
    }
    area = *next;
  }
  root.attribute("ref").set_value(toUtf8(formatRangeRef(area, false)).c_str());
  nameNewColumns(columns, area, sheetId);
  if (filter) {
    RangeRef filtered = area;
    filtered.lastRow -= kept.totalsRows;
    if (pugi::xml_attribute ref = filter.attribute("ref"))
      ref.set_value(toUtf8(formatRangeRef(filtered, false)).c_str());
  }
  forEachElement(root, [&](pugi::xml_node node) {
    const std::string_view name = localName(node);
    if (name == "sortState" || name == "sortCondition") {
      if (pugi::xml_attribute ref = node.attribute("ref")) {
        const std::string now = areas(ref.value(), sheetId);
        if (!now.empty()) ref.set_value(now.c_str());
      }
    } else if (name == "calculatedColumnFormula" || name == "totalsRowFormula") {
      const std::u16string text = fromUtf8(node.text().get());
      const std::u16string now = formula(text, sheetId);
      if (now != text) node.text().set(toUtf8(now).c_str());
    }
  });
  return documentXml(document);
}

// Columns inserted inside a table take their header cell's text, which the insert set to a
// name no other column has; should a script have changed it since, a free "ColumnN" serves.
void KeptReferences::nameNewColumns(pugi::xml_node columns, const RangeRef& area,
                                    uint32_t sheetId) const {
  std::vector<pugi::xml_node> entries;
  std::vector<std::u16string> names;
  for (pugi::xml_node column : columns.children()) {
    if (localName(column) != "tableColumn") continue;
    entries.push_back(column);
    names.push_back(fromUtf8(column.attribute("name").value()));
  }
  auto taken = [&](const std::u16string& name) {
    return name.empty() || std::count_if(names.begin(), names.end(), [&](const auto& other) {
                             return equalsIgnoringCase(name, other);
                           }) > 0;
  };
  const Sheet* sheet = workbook_.sheetById(sheetId);
  int serial = 1;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!names[i].empty()) continue;
    std::u16string name;
    if (sheet) {
      const CellValue header =
          sheet->value(area.firstRow, area.firstColumn + static_cast<int32_t>(i));
      if (header.kind == CellValue::Kind::Text) name = header.text;
    }
    while (taken(name)) name = u"Column" + fromUtf8(std::to_string(serial++));
    names[i] = name;
    entries[i].attribute("name").set_value(toUtf8(name).c_str());
  }
}

// Entries placed on one cell by a ref attribute (a note, a threaded comment) or a pivot table's
// place: moved with their cells; those on deleted cells go (a pivot table wholly deleted goes
// with its part).
std::string KeptReferences::cellEntries(const std::string& xml, const std::string& partName,
                                        uint32_t sheetId, std::string_view entryName) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  std::vector<pugi::xml_node> gone;
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node entry) {
    if (localName(entry) != entryName) return;
    pugi::xml_attribute ref = entry.attribute("ref");
    if (!ref) return;
    const std::string now = areas(ref.value(), sheetId);
    if (now == ref.value()) return;
    changed = true;
    if (now.empty()) {
      gone.push_back(entry);
    } else {
      ref.set_value(now.c_str());
    }
  });
  for (pugi::xml_node entry : gone) entry.parent().remove_child(entry);
  return changed ? documentXml(document) : xml;
}

// The note boxes of the legacy drawing: each names its cell (x:Row, x:Column) and its corners
// (x:Anchor: column, offset, row, offset for the top left, then the bottom right).
std::string KeptReferences::noteShapes(const std::string& xml, const std::string& partName,
                                       uint32_t sheetId) const {
  pugi::xml_document document;
  try {
    document = parseXmlPart(xml, partName);
  } catch (const std::runtime_error&) {
    return xml;  // VML that is not XML stays as it was
  }
  std::vector<pugi::xml_node> gone;
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node data) {
    if (localName(data) != "ClientData" ||
        std::string_view(data.attribute("ObjectType").value()) != "Note")
      return;
    pugi::xml_node rowNode = childNamed(data, "Row");
    pugi::xml_node columnNode = childNamed(data, "Column");
    const int32_t row = rowNode.text().as_int(-1);
    const int32_t column = columnNode.text().as_int(-1);
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) return;
    const auto now = cell(row, column, sheetId);
    if (!now) {
      gone.push_back(data.parent());
      changed = true;
      return;
    }
    if (*now == std::pair{row, column}) return;
    rowNode.text().set(now->first);
    columnNode.text().set(now->second);
    changed = true;
    pugi::xml_node anchorNode = childNamed(data, "Anchor");
    std::vector<int32_t> values;
    std::string_view text = anchorNode.text().get();
    for (size_t at = 0; at <= text.size();) {
      const size_t comma = std::min(text.find(',', at), text.size());
      std::string_view item = text.substr(at, comma - at);
      while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
      values.push_back(static_cast<int32_t>(std::strtol(std::string(item).c_str(), nullptr, 10)));
      at = comma + 1;
    }
    if (values.size() != 8) return;
    for (const size_t first : {size_t{0}, size_t{4}}) {
      const auto [cornerRow, cornerColumn] =
          corner(std::clamp(values[first + 2], 0, kMaxRows - 1),
                 std::clamp(values[first], 0, kMaxColumns - 1), sheetId);
      values[first] = cornerColumn;
      values[first + 2] = cornerRow;
    }
    std::string anchor;
    for (const int32_t value : values)
      anchor += (anchor.empty() ? "" : ", ") + std::to_string(value);
    anchorNode.text().set(anchor.c_str());
  });
  for (pugi::xml_node shape : gone) shape.parent().remove_child(shape);
  return changed ? documentXml(document) : xml;
}

// A pivot cache reads a sheet's area by the sheet's name.
std::string KeptReferences::pivotSource(const std::string& xml, const std::string& partName) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  bool changed = false;
  forEachElement(document, [&](pugi::xml_node source) {
    if (localName(source) != "worksheetSource") return;
    pugi::xml_attribute sheetName = source.attribute("sheet");
    if (!sheetName) return;
    const std::u16string name = fromUtf8(sheetName.value());
    for (const auto& [id, sheet] : origin_.sheets) {
      if (!equalsIgnoringCase(sheet.name, name)) continue;
      if (pugi::xml_attribute ref = source.attribute("ref")) {
        const std::string now = areas(ref.value(), id);
        // Wholly deleted, the source stays as it was: the cache keeps its records.
        if (!now.empty() && now != ref.value()) {
          ref.set_value(now.c_str());
          changed = true;
        }
      }
      const Sheet* renamed = workbook_.sheetById(id);
      if (renamed && renamed->name() != sheet.name) {
        sheetName.set_value(toUtf8(renamed->name()).c_str());
        changed = true;
      }
      break;
    }
  });
  return changed ? documentXml(document) : xml;
}

std::string KeptReferences::sheetRelationships(const std::string& xml, const std::string& partName,
                                               uint32_t sheetId) const {
  pugi::xml_document document = parseXmlPart(xml, partName);
  pugi::xml_node root = document.document_element();
  const std::set<std::string>& gone = droppedPartIds_.at(sheetId);
  for (pugi::xml_node rel = root.first_child(); rel;) {
    pugi::xml_node next = rel.next_sibling();
    if (gone.count(rel.attribute("Id").value())) root.remove_child(rel);
    rel = next;
  }
  return documentXml(document);
}

// The x14 conditional formats, validations and sparklines: areas (xm:sqref) and formulas (xm:f).
std::string KeptReferences::extensions(pugi::xml_node root, uint32_t sheetId) const {
  static constexpr std::string_view kMoving[] = {"{78C0D931-6437-407d-A8EE-F0AAD7539E65}",
                                                 "{CCE6A557-97BC-4b89-ADB6-D9C93CAAB3DF}",
                                                 "{05C60535-1F16-4fd2-B633-F4F36F0B64E0}"};
  const bool moves = !workbook_.shifts().empty();
  for (pugi::xml_node ext = root.first_child(); ext;) {
    pugi::xml_node nextExt = ext.next_sibling();
    const std::string_view uri = ext.attribute("uri").value();
    if (localName(ext) != "ext" ||
        std::find(std::begin(kMoving), std::end(kMoving), uri) == std::end(kMoving)) {
      ext = nextExt;
      continue;
    }
    std::vector<pugi::xml_node> gone;
    forEachElement(ext, [&](pugi::xml_node node) {
      const std::string_view name = localName(node);
      if (name == "sqref" && moves) {
        const std::string now = areas(node.text().get(), sheetId);
        if (now.empty()) {
          gone.push_back(node.parent());
        } else {
          node.text().set(now.c_str());
        }
      } else if (name == "f") {
        const std::u16string text = fromUtf8(node.text().get());
        const std::u16string now = formula(text, sheetId);
        if (now != text) node.text().set(toUtf8(now).c_str());
      }
    });
    // An entry on deleted cells goes, and so does a group or a list left empty.
    for (pugi::xml_node entry : gone) {
      pugi::xml_node parent = entry.parent();
      parent.remove_child(entry);
      while (parent != ext && !parent.first_child()) {
        pugi::xml_node up = parent.parent();
        up.remove_child(parent);
        parent = up;
      }
      if (pugi::xml_attribute count = parent.attribute("count")) {
        size_t left = 0;
        for (pugi::xml_node child : parent.children()) left += child.type() == pugi::node_element;
        count.set_value(static_cast<unsigned long long>(left));
      }
    }
    if (!ext.first_child()) root.remove_child(ext);
    ext = nextExt;
  }
  return root.first_child() ? xmlOf(root) : "";
}

// Replays every Delete and Insert in order, with the sheets under the names the file gave them:
// the kept texts still use those names.
std::u16string KeptReferences::shifted(std::u16string text, std::optional<uint32_t> homeSheetId,
                                       size_t from, size_t to) const {
  std::u16string home;
  if (homeSheetId) {
    const auto found = origin_.sheets.find(*homeSheetId);
    if (found == origin_.sheets.end()) return text;
    home = found->second.name;
  }
  const std::vector<RecordedShift>& shifts = workbook_.shifts();
  for (size_t i = from; i < std::min(to, shifts.size()); ++i) {
    const RecordedShift& recorded = shifts[i];
    const auto sheet = origin_.sheets.find(recorded.sheetId);
    if (sheet == origin_.sheets.end()) continue;  // a sheet the file did not have
    CellShift shift = recorded.shift;
    shift.sheet = sheet->second.name;
    text = adjustFormulaForShift(text, home, shift);
  }
  return text;
}

namespace {

// What is left of `area` outside `cut`: up to four areas, above, below, left and right of it.
std::vector<RangeRef> areaWithout(const RangeRef& area, const RangeRef& cut) {
  if (!area.intersects(cut)) return {area};
  std::vector<RangeRef> left;
  auto add = [&](int32_t firstRow, int32_t firstColumn, int32_t lastRow, int32_t lastColumn) {
    if (firstRow <= lastRow && firstColumn <= lastColumn)
      left.push_back({firstRow, firstColumn, lastRow, lastColumn});
  };
  const int32_t top = std::max(area.firstRow, cut.firstRow),
                bottom = std::min(area.lastRow, cut.lastRow);
  add(area.firstRow, area.firstColumn, cut.firstRow - 1, area.lastColumn);
  add(top, area.firstColumn, bottom, cut.firstColumn - 1);
  add(top, cut.lastColumn + 1, bottom, area.lastColumn);
  add(cut.lastRow + 1, area.firstColumn, area.lastRow, area.lastColumn);
  return left;
}

}  // namespace

std::string KeptReferences::areasWithCopies(std::string_view list, uint32_t sheetId,
                                            std::pair<int32_t, int32_t>& anchorMoved) const {
  std::vector<RangeRef> current;
  for (size_t at = 0; at < list.size();) {
    const size_t end = std::min(list.find(' ', at), list.size());
    if (end > at) {
      try {
        current.push_back(parseRangeRef(fromUtf8(list.substr(at, end - at))));
      } catch (const std::exception&) {
        return areas(list, sheetId);  // not plain areas: they follow the shifts only
      }
    }
    at = end + 1;
  }
  size_t step = 0;
  auto replay = [&](size_t to) {
    std::vector<RangeRef> moved;
    for (const RangeRef& area : current) {
      const std::u16string now = shifted(formatRangeRef(area, false), sheetId, step, to);
      if (isReferenceError(now)) continue;
      try {
        moved.push_back(parseRangeRef(now));
      } catch (const std::exception&) {
      }
    }
    current = std::move(moved);
    step = to;
  };
  for (const RecordedCopy& copy : workbook_.copies()) {
    if (copy.targetSheetId != sheetId) continue;
    replay(copy.afterShifts);
    if (current.empty()) break;  // every area went with deleted cells
    const std::pair anchorBefore{current.front().firstRow, current.front().firstColumn};
    // Pasted cells take the source's formats: the areas leave them, and cover those whose
    // source they covered.
    std::vector<RangeRef> next;
    for (const RangeRef& area : current) {
      for (const RangeRef& piece : areaWithout(area, copy.destination)) next.push_back(piece);
    }
    for (const RangeRef& area : copy.sourceSheetId == sheetId ? current : std::vector<RangeRef>{}) {
      if (!area.intersects(copy.source)) continue;
      const int32_t rows = copy.destination.firstRow - copy.source.firstRow;
      const int32_t columns = copy.destination.firstColumn - copy.source.firstColumn;
      next.push_back({std::max(area.firstRow, copy.source.firstRow) + rows,
                      std::max(area.firstColumn, copy.source.firstColumn) + columns,
                      std::min(area.lastRow, copy.source.lastRow) + rows,
                      std::min(area.lastColumn, copy.source.lastColumn) + columns});
    }
    current = std::move(next);
    if (current.empty()) break;
    // Formulas are written for the top left cell of the first area.
    anchorMoved.first += current.front().firstRow - anchorBefore.first;
    anchorMoved.second += current.front().firstColumn - anchorBefore.second;
  }
  replay(workbook_.shifts().size());
  std::string kept;
  for (const RangeRef& area : current)
    kept += (kept.empty() ? "" : " ") + toUtf8(formatRangeRef(area, false));
  return kept;
}

std::u16string KeptReferences::formula(std::u16string_view text,
                                       std::optional<uint32_t> homeSheetId) const {
  std::u16string result = shifted(std::u16string(text), homeSheetId);
  if (!renamed_) return result;
  for (const auto& [id, sheet] : origin_.sheets) {
    const Sheet* now = workbook_.sheetById(id);
    if (now && now->name() != sheet.name)
      result = renameSheetInFormula(result, sheet.name, now->name());
  }
  return result;
}

std::vector<KeptLineAttributes> KeptReferences::lineAttributes(const SheetOrigin& sheet,
                                                               uint32_t sheetId, bool rows) const {
  std::vector<KeptLineAttributes> runs = rows ? sheet.rowAttributes : sheet.columnAttributes;
  const int32_t limit = rows ? kMaxRows : kMaxColumns;
  for (const RecordedShift& recorded : workbook_.shifts()) {
    const CellShift& shift = recorded.shift;
    const bool vertical = shift.vertical();
    const bool whole = rows ? shift.firstColumn == 0 && shift.lastColumn == kMaxColumns - 1
                            : shift.firstRow == 0 && shift.lastRow == kMaxRows - 1;
    if (recorded.sheetId != sheetId || vertical != rows || !whole) continue;
    const int32_t first = rows ? shift.firstRow : shift.firstColumn;
    const int32_t last = rows ? shift.lastRow : shift.lastColumn;
    const int32_t count = last - first + 1;
    std::vector<KeptLineAttributes> moved;
    for (KeptLineAttributes& run : runs) {
      // What lies before the band stays; what lies after it moves by the band's size.
      if (run.first < first)
        moved.push_back({run.first, std::min(run.last, first - 1), run.attributes});
      const int32_t after = shift.deletes() ? last + 1 : first;
      if (run.last < after) continue;
      const int32_t start = std::max(run.first, after) + (shift.deletes() ? -count : count);
      const int32_t end = std::min(run.last + (shift.deletes() ? -count : count), limit - 1);
      if (start <= end) moved.push_back({start, end, std::move(run.attributes)});
    }
    runs = std::move(moved);
  }
  return runs;
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

std::string KeptReferences::sheetElement(std::string_view name, const std::string& xml,
                                         uint32_t sheetId) const {
  const bool moves = !workbook_.shifts().empty();
  const bool pasted =
      !workbook_.copies().empty() && (name == "conditionalFormatting" || name == "dataValidations");
  if (!moves && !renamed_ && !pasted) return xml;
  if (name != "conditionalFormatting" && name != "dataValidations" && name != "hyperlinks" &&
      name != "autoFilter" && name != "extLst" && name != "tableParts") {
    return xml;
  }
  pugi::xml_document document = parseXmlPart(xml, "a worksheet element");
  pugi::xml_node root = document.document_element();
  if (name == "extLst") return extensions(root, sheetId);
  if (name == "tableParts") {
    const auto gone = droppedPartIds_.find(sheetId);
    if (gone == droppedPartIds_.end()) return xml;
    for (pugi::xml_node part = root.first_child(); part;) {
      pugi::xml_node next = part.next_sibling();
      if (gone->second.count(attributeNamed(part, "id").value())) root.remove_child(part);
      part = next;
    }
    size_t left = 0;
    for (pugi::xml_node part : root.children()) left += part.type() == pugi::node_element;
    if (left == 0) return "";
    if (pugi::xml_attribute count = root.attribute("count"))
      count.set_value(static_cast<unsigned long long>(left));
    return xmlOf(root);
  }
  // How far the first area's top left moved other than by shifts (a paste over it): the
  // formulas, written for that cell, move with it.
  std::pair<int32_t, int32_t> anchorMoved{0, 0};
  // Rewrites one area list in place; false when nothing of it is left.
  auto keepAreas = [&](pugi::xml_node node, const char* attributeName) {
    anchorMoved = {0, 0};
    pugi::xml_attribute attribute = attributeNamed(node, attributeName);
    if (!attribute || (!moves && !pasted)) return true;
    const std::string areasLeft = pasted ? areasWithCopies(attribute.value(), sheetId, anchorMoved)
                                         : areas(attribute.value(), sheetId);
    if (areasLeft.empty()) return false;
    attribute.set_value(areasLeft.c_str());
    return true;
  };
  auto rewriteFormula = [&](pugi::xml_node node) {
    if (!node) return;
    const std::u16string text = fromUtf8(node.text().get());
    std::u16string now = formula(text, sheetId);
    if (anchorMoved != std::pair{0, 0})
      now = translateFormula(now, anchorMoved.first, anchorMoved.second);
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
  if (pugi::xml_attribute count = root.attribute("count"))
    count.set_value(static_cast<unsigned long long>(left));
  return xmlOf(root);
}

}  // namespace sx
