#include "core/utf.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xml_text.h"

namespace sx {

std::string tableXml(const SheetTable& table, uint32_t id) {
  const std::string number = std::to_string(id);
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<table xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" id=\"" +
      number + "\" name=\"" + xmlText(table.name) + "\" displayName=\"" + xmlText(table.name) +
      "\" ref=\"" + toUtf8(formatRangeRef(table.range, false)) + "\"";
  if (!table.headerRow) xml += " headerRowCount=\"0\"";
  if (table.totalsRow) xml += " totalsRowCount=\"1\"";
  xml += ">";
  // The filter buttons sit in the header and cover the data, not the totals row.
  if (table.headerRow) {
    RangeRef filtered = table.range;
    if (table.totalsRow) --filtered.lastRow;
    xml += "<autoFilter ref=\"" + toUtf8(formatRangeRef(filtered, false)) + "\"/>";
  }
  xml += "<tableColumns count=\"" + std::to_string(table.columns.size()) + "\">";
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const TableColumn& column = table.columns[i];
    xml +=
        "<tableColumn id=\"" + std::to_string(i + 1) + "\" name=\"" + xmlText(column.name) + "\"";
    if (table.totalsRow && !column.totalsLabel.empty()) {
      xml += " totalsRowLabel=\"" + xmlText(column.totalsLabel) + "\"";
    } else if (table.totalsRow && column.totals != TotalsFunction::None) {
      xml += " totalsRowFunction=\"" + std::string(totalsFunctionName(column.totals)) + "\"";
    }
    xml += "/>";
  }
  xml += "</tableColumns><tableStyleInfo name=\"" + xmlText(table.style) +
         "\" showFirstColumn=\"0\" showLastColumn=\"0\" showRowStripes=\"" +
         (table.bandedRows ? "1" : "0") + "\" showColumnStripes=\"" +
         (table.bandedColumns ? "1" : "0") + "\"/>";
  return xml + "</table>";
}

}  // namespace sx
