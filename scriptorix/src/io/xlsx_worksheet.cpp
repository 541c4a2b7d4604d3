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

std::string columnsXml(const Sheet& sheet, const StyleMapping& styles) {
  std::string xml;
  const auto& formats = sheet.columnFormats();
  for (auto it = formats.begin(); it != formats.end();) {
    // Neighbouring columns with equal formats share one <col> element.
    auto last = it;
    auto next = std::next(it);
    while (next != formats.end() && next->first == last->first + 1 && next->second == it->second) {
      last = next++;
    }
    const ColumnFormat& format = it->second;
    xml += "<col min=\"" + std::to_string(it->first + 1) + "\" max=\"" +
           std::to_string(last->first + 1) + "\" width=\"" + xmlNumber(format.width.value_or(9.140625)) + "\"";
    if (format.style != 0) xml += " style=\"" + std::to_string(styles.at(format.style)) + "\"";
    if (format.hidden) xml += " hidden=\"1\"";
    if (format.width) xml += " customWidth=\"1\"";
    if (format.outlineLevel) xml += " outlineLevel=\"" + std::to_string(format.outlineLevel) + "\"";
    if (format.collapsed) xml += " collapsed=\"1\"";
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
    xml += "<f>" + xmlPlainText(formula::withFunctionPrefixes(workbook.strings().at(cell.formula))) + "</f>";
  }
  if (cell.kind != CellValue::Kind::Empty) xml += "<v>" + value + "</v>";
  xml += "</c>";
}

void appendRowStart(std::string& xml, int32_t row, const RowFormat* format,
                    const StyleMapping& styles) {
  xml += "<row r=\"" + std::to_string(row + 1) + "\"";
  if (format) {
    if (format->style != 0) {
      xml += " s=\"" + std::to_string(styles.at(format->style)) + "\" customFormat=\"1\"";
    }
    if (format->height) xml += " ht=\"" + xmlNumber(*format->height) + "\" customHeight=\"1\"";
    if (format->hidden) xml += " hidden=\"1\"";
    if (format->outlineLevel) xml += " outlineLevel=\"" + std::to_string(format->outlineLevel) + "\"";
    if (format->collapsed) xml += " collapsed=\"1\"";
  }
  xml += ">";
}

}  // namespace

std::string xmlNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
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
  for (uint32_t id : strings.order) {
    xml += "<si><t xml:space=\"preserve\">" + xmlText(workbook.strings().at(id)) + "</t></si>";
  }
  return xml + "</sst>";
}

std::string worksheetXml(const Sheet& sheet, bool active, const StyleMapping& styles,
                         SharedStrings& strings, std::string_view objectElements) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml += "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  xml += sheetPropertiesXml(sheet);
  xml += "<dimension ref=\"" + areaName(sheet.usedRange()) + "\"/>";
  xml += sheetViewXml(sheet, active);
  xml += sheetFormatPropertiesXml(sheet);
  xml += columnsXml(sheet, styles);
  xml += "<sheetData>";
  const auto& rowFormats = sheet.rowFormats();
  auto format = rowFormats.begin();
  int32_t row = 0;
  while (true) {
    // Rows with cells and rows with only a format, in order.
    while (row < sheet.rowLimit() && sheet.rowCells(row).empty()) ++row;
    const bool cellsLeft = row < sheet.rowLimit();
    const bool formatsLeft = format != rowFormats.end();
    if (!cellsLeft && !formatsLeft) break;
    if (formatsLeft && (!cellsLeft || format->first < row)) {
      appendRowStart(xml, format->first, &format->second, styles);
      xml += "</row>";
      ++format;
      continue;
    }
    const RowFormat* rowFormat = nullptr;
    if (formatsLeft && format->first == row) rowFormat = &(format++)->second;
    appendRowStart(xml, row, rowFormat, styles);
    for (const StoredCell& cell : sheet.rowCells(row)) appendCell(xml, sheet, row, cell, styles, strings);
    xml += "</row>";
    ++row;
  }
  xml += "</sheetData>";
  xml += sheetProtectionXml(sheet.settings().protection);
  if (!sheet.merges().empty()) {
    xml += "<mergeCells count=\"" + std::to_string(sheet.merges().size()) + "\">";
    for (const RangeRef& merge : sheet.merges()) xml += "<mergeCell ref=\"" + areaName(merge) + "\"/>";
    xml += "</mergeCells>";
  }
  xml += printOptionsXml(sheet.settings());
  xml += pageMarginsXml(sheet.settings().page.margins);
  xml += pageSetupXml(sheet.settings().page);
  xml += headerFooterXml(sheet.settings().page);
  xml += objectElements;
  return xml + "</worksheet>";
}

}  // namespace sx
