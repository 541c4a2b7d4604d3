#include <algorithm>
#include <charconv>
#include <map>

#include "formula/function_names.h"
#include "io/xlsx_parts.h"
#include "io/xml_text.h"
#include "core/utf.h"

namespace sx {

namespace {

std::string cellName(int32_t row, int32_t column) {
  return toUtf8(columnLetters(column)) + std::to_string(row + 1);
}

// Merged areas and the dimension need explicit corners even for whole rows or columns.
std::string areaName(const RangeRef& range) {
  const std::string first = cellName(range.firstRow, range.firstColumn);
  if (range.isSingleCell()) return first;
  return first + ":" + cellName(range.lastRow, range.lastColumn);
}

std::string sheetViewXml(const Sheet& sheet, bool active) {
  std::string xml = "<sheetViews><sheetView";
  if (active) xml += " tabSelected=\"1\"";
  xml += sheetViewAttributes(sheet.settings());
  xml += " workbookViewId=\"0\"";
  const FreezePanes panes = sheet.freezePanes();
  if (panes.rows == 0 && panes.columns == 0) return xml + "/></sheetViews>";
  const char* pane = panes.rows > 0 && panes.columns > 0 ? "bottomRight"
                     : panes.rows > 0                    ? "bottomLeft"
                                                         : "topRight";
  xml += "><pane";
  if (panes.columns > 0) xml += " xSplit=\"" + std::to_string(panes.columns) + "\"";
  if (panes.rows > 0) xml += " ySplit=\"" + std::to_string(panes.rows) + "\"";
  xml += " topLeftCell=\"" + cellName(panes.rows, panes.columns) + "\" activePane=\"" + pane +
         "\" state=\"frozen\"/><selection pane=\"" + pane + "\"/></sheetView></sheetViews>";
  return xml;
}

// Walks runs of kept attributes in line order: what a line has, and the next line that has any.
class KeptLineCursor {
 public:
  explicit KeptLineCursor(const std::vector<KeptLineAttributes>& runs) : runs_(runs) {}
  const XmlAttributes* at(int32_t line) {
    skipBefore(line);
    return next_ < runs_.size() && runs_[next_].first <= line ? &runs_[next_].attributes : nullptr;
  }
  int32_t nextFrom(int32_t line) {
    skipBefore(line);
    return next_ < runs_.size() ? std::max(runs_[next_].first, line) : kMaxRows;
  }

 private:
  void skipBefore(int32_t line) {
    while (next_ < runs_.size() && runs_[next_].last < line) ++next_;
  }
  const std::vector<KeptLineAttributes>& runs_;
  size_t next_ = 0;
};

// The kept attributes whose names the model did not write itself.
void appendKeptAttributes(std::string& xml, const XmlAttributes* kept,
                          const std::vector<std::string_view>& written) {
  if (!kept) return;
  for (const auto& [name, value] : *kept) {
    if (std::find(written.begin(), written.end(), name) == written.end()) {
      xml += " " + name + "=\"" + xmlAttribute(value) + "\"";
    }
  }
}

bool hasAttribute(const XmlAttributes* attributes, std::string_view name) {
  return attributes && std::any_of(attributes->begin(), attributes->end(),
                                   [&](const auto& attribute) { return attribute.first == name; });
}

std::string columnsXml(const Sheet& sheet, const StyleMapping& styles,
                       const std::vector<KeptLineAttributes>& keptRuns) {
  // Every column with a format or kept attributes, each with both.
  std::map<int32_t, std::pair<const ColumnFormat*, const XmlAttributes*>> columns;
  for (const auto& [column, format] : sheet.columnFormats()) columns[column].first = &format;
  for (const KeptLineAttributes& run : keptRuns) {
    for (int32_t column = run.first; column <= run.last && column < kMaxColumns; ++column) {
      columns[column].second = &run.attributes;
    }
  }
  auto same = [](const auto& a, const auto& b) {
    const bool formats = a.first && b.first ? *a.first == *b.first : a.first == b.first;
    const bool kept = a.second && b.second ? *a.second == *b.second : a.second == b.second;
    return formats && kept;
  };
  std::string xml;
  for (auto it = columns.begin(); it != columns.end();) {
    // Neighbouring columns with equal formats share one <col> element.
    auto last = it;
    auto next = std::next(it);
    while (next != columns.end() && next->first == last->first + 1 &&
           same(next->second, it->second)) {
      last = next++;
    }
    static const ColumnFormat kNoFormat;
    const ColumnFormat& format = it->second.first ? *it->second.first : kNoFormat;
    const XmlAttributes* kept = it->second.second;
    std::vector<std::string_view> written = {"min", "max"};
    xml += "<col min=\"" + std::to_string(it->first + 1) + "\" max=\"" +
           std::to_string(last->first + 1) + "\"";
    if (format.width || !hasAttribute(kept, "width")) {
      xml += " width=\"" + xmlNumber(format.width.value_or(9.140625)) + "\"";
      written.push_back("width");
    }
    if (format.style != 0) xml += " style=\"" + std::to_string(styles.at(format.style)) + "\"";
    if (format.hidden) xml += " hidden=\"1\"";
    if (format.width) xml += " customWidth=\"1\"";
    if (format.outlineLevel) xml += " outlineLevel=\"" + std::to_string(format.outlineLevel) + "\"";
    if (format.collapsed) xml += " collapsed=\"1\"";
    if (format.style != 0) written.push_back("style");
    if (format.width) written.push_back("customWidth");
    appendKeptAttributes(xml, kept, written);
    xml += "/>";
    it = next;
  }
  return xml.empty() ? xml : "<cols>" + xml + "</cols>";
}

void appendCell(std::string& xml, const Sheet& sheet, int32_t row, const StoredCell& cell,
                const StyleMapping& styles, SharedStrings& strings) {
  const Workbook& workbook = sheet.workbook();
  xml += "<c r=\"" + cellName(row, cell.column) + "\"";
  if (cell.style != 0) xml += " s=\"" + std::to_string(styles.at(cell.style)) + "\"";
  std::string value;
  switch (cell.kind) {
    case CellValue::Kind::Number:
      value = xmlNumber(cell.number);
      break;
    case CellValue::Kind::Boolean:
      xml += " t=\"b\"";
      value = cell.boolean ? "1" : "0";
      break;
    case CellValue::Kind::Error:
      xml += " t=\"e\"";
      value = xmlText(workbook.strings().at(cell.text));
      break;
    case CellValue::Kind::Text:
      if (cell.hasFormula()) {
        xml += " t=\"str\"";
        value = xmlText(workbook.strings().at(cell.text));
      } else if (const std::vector<TextRun>* runs = sheet.richText(row, cell.column)) {
        xml += " t=\"s\"";
        value = std::to_string(strings.addRich(richTextItemXml(*runs)));
      } else {
        xml += " t=\"s\"";
        value = std::to_string(strings.add(cell.text));
      }
      break;
    case CellValue::Kind::Empty:
      break;
  }
  if (!cell.hasFormula() && cell.kind == CellValue::Kind::Empty) {
    xml += "/>";
    return;
  }
  xml += ">";
  if (cell.hasFormula()) {
    xml += "<f>" +
           xmlPlainText(formula::withFunctionPrefixes(workbook.strings().at(cell.formula))) +
           "</f>";
  }
  if (cell.kind != CellValue::Kind::Empty) xml += "<v>" + value + "</v>";
  xml += "</c>";
}

void appendRowStart(std::string& xml, int32_t row, const RowFormat* format,
                    const StyleMapping& styles, const XmlAttributes* kept) {
  xml += "<row r=\"" + std::to_string(row + 1) + "\"";
  std::vector<std::string_view> written = {"r"};
  if (format) {
    if (format->style != 0) {
      xml += " s=\"" + std::to_string(styles.at(format->style)) + "\" customFormat=\"1\"";
      written.push_back("s");
    }
    if (format->height) {
      xml += " ht=\"" + xmlNumber(*format->height) + "\" customHeight=\"1\"";
      written.push_back("ht");
    }
    if (format->hidden) xml += " hidden=\"1\"";
    if (format->outlineLevel)
      xml += " outlineLevel=\"" + std::to_string(format->outlineLevel) + "\"";
    if (format->collapsed) xml += " collapsed=\"1\"";
  }
  appendKeptAttributes(xml, kept, written);
  xml += ">";
}

}  // namespace

std::string xmlNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

uint32_t SharedStrings::addRich(const std::string& item) {
  ++references;
  auto [it, added] = richIndex.emplace(item, static_cast<uint32_t>(order.size()));
  if (added) {
    richItems.emplace(it->second, item);
    order.push_back(kRichEntry);
  }
  return it->second;
}

std::string richTextItemXml(const std::vector<TextRun>& runs) {
  std::string xml = "<si>";
  for (const TextRun& run : runs) {
    xml += "<r>";
    std::string properties;
    if (run.fontName) properties += "<rFont val=\"" + xmlText(*run.fontName) + "\"/>";
    if (run.bold) properties += *run.bold ? "<b/>" : "<b val=\"0\"/>";
    if (run.italic) properties += *run.italic ? "<i/>" : "<i val=\"0\"/>";
    if (run.strikethrough) properties += *run.strikethrough ? "<strike/>" : "<strike val=\"0\"/>";
    if (run.color) properties += colorXml("color", *run.color);
    if (run.size) properties += "<sz val=\"" + xmlNumber(*run.size) + "\"/>";
    if (run.underline) properties += *run.underline ? "<u/>" : "<u val=\"none\"/>";
    if (!properties.empty()) xml += "<rPr>" + properties + "</rPr>";
    xml += "<t xml:space=\"preserve\">" + xmlText(run.text) + "</t></r>";
  }
  return xml + "</si>";
}

uint32_t SharedStrings::add(uint32_t poolId) {
  ++references;
  auto [it, added] = index.emplace(poolId, static_cast<uint32_t>(order.size()));
  if (added) order.push_back(poolId);
  return it->second;
}

std::string sharedStringsXml(const Workbook& workbook, const SharedStrings& strings) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml += "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"" +
         std::to_string(strings.references) + "\" uniqueCount=\"" +
         std::to_string(strings.order.size()) + "\">";
  for (size_t i = 0; i < strings.order.size(); ++i) {
    const uint32_t id = strings.order[i];
    if (id == SharedStrings::kRichEntry) {
      xml += strings.richItems.at(static_cast<uint32_t>(i));
      continue;
    }
    xml += "<si><t xml:space=\"preserve\">" + xmlText(workbook.strings().at(id)) + "</t></si>";
  }
  return xml + "</sst>";
}

std::string worksheetXml(const Sheet& sheet, bool active, const StyleMapping& styles,
                         SharedStrings& strings, std::string_view objectElements,
                         const std::vector<KeptLineAttributes>& keptRows,
                         const std::vector<KeptLineAttributes>& keptColumns) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml +=
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  xml += sheetPropertiesXml(sheet);
  xml += "<dimension ref=\"" + areaName(sheet.usedRange()) + "\"/>";
  xml += sheetViewXml(sheet, active);
  xml += sheetFormatPropertiesXml(sheet);
  xml += columnsXml(sheet, styles, keptColumns);
  xml += "<sheetData>";
  const auto& rowFormats = sheet.rowFormats();
  auto format = rowFormats.begin();
  KeptLineCursor kept(keptRows);
  int32_t cellRow = 0;
  for (int32_t from = 0;;) {
    // Rows with cells, rows with only a format and rows with only kept attributes, in order.
    cellRow = std::max(cellRow, from);
    while (cellRow < sheet.rowLimit() && sheet.rowCells(cellRow).empty()) ++cellRow;
    int32_t row = std::min(cellRow < sheet.rowLimit() ? cellRow : kMaxRows, kept.nextFrom(from));
    if (format != rowFormats.end()) row = std::min(row, format->first);
    if (row >= kMaxRows) break;
    const RowFormat* rowFormat = nullptr;
    if (format != rowFormats.end() && format->first == row) rowFormat = &(format++)->second;
    appendRowStart(xml, row, rowFormat, styles, kept.at(row));
    if (row == cellRow) {
      for (const StoredCell& cell : sheet.rowCells(row))
        appendCell(xml, sheet, row, cell, styles, strings);
    }
    xml += "</row>";
    from = row + 1;
  }
  xml += "</sheetData>";
  xml += sheetProtectionXml(sheet.settings().protection);
  xml += autoFilterXml(sheet);
  if (!sheet.merges().empty()) {
    xml += "<mergeCells count=\"" + std::to_string(sheet.merges().size()) + "\">";
    for (const RangeRef& merge : sheet.merges())
      xml += "<mergeCell ref=\"" + areaName(merge) + "\"/>";
    xml += "</mergeCells>";
  }
  xml += conditionalFormattingXml(sheet, styles);
  xml += dataValidationsXml(sheet);
  xml += hyperlinksXml(sheet);
  xml += printOptionsXml(sheet.settings());
  xml += pageMarginsXml(sheet.settings().page.margins);
  xml += pageSetupXml(sheet.settings().page);
  xml += headerFooterXml(sheet.settings().page);
  xml += objectElements;
  return xml + "</worksheet>";
}

}  // namespace sx
