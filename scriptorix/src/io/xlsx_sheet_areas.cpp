#include "core/utf.h"
#include "io/xlsx_parts.h"
#include "io/xml_text.h"

namespace sx {

namespace {

std::string nameXml(const char* name, size_t localSheetId, bool hidden,
                    std::u16string_view reference) {
  return "<definedName name=\"" + std::string(name) + "\" localSheetId=\"" +
         std::to_string(localSheetId) + "\"" + (hidden ? " hidden=\"1\"" : "") + ">" +
         xmlPlainText(std::u16string(reference)) + "</definedName>";
}

}  // namespace

std::string autoFilterXml(const Sheet& sheet) {
  const std::optional<RangeRef>& area = sheet.areas().autoFilter;
  if (!area) return "";
  return "<autoFilter ref=\"" + toUtf8(formatRangeRef(*area, false)) + "\"/>";
}

std::optional<std::u16string> sheetAreaName(const Sheet& sheet, std::string_view name) {
  const SheetAreas& areas = sheet.areas();
  if (name == kFilterDatabaseName && areas.autoFilter)
    return formatExternalRef(sheet.name(), *areas.autoFilter, true);
  if (name == kPrintAreaName && areas.printArea)
    return formatExternalRef(sheet.name(), *areas.printArea, true);
  if (name == kPrintTitlesName && (areas.titleRows || areas.titleColumns)) {
    // Columns first, as the application writes them.
    std::u16string text;
    if (areas.titleColumns) text = formatExternalRef(sheet.name(), *areas.titleColumns, true);
    if (areas.titleRows)
      text += (text.empty() ? u"" : u",") + formatExternalRef(sheet.name(), *areas.titleRows, true);
    return text;
  }
  return std::nullopt;
}

std::string sheetAreaNamesXml(const Sheet& sheet, size_t localSheetId) {
  std::string xml;
  for (const char* name : {kFilterDatabaseName, kPrintAreaName, kPrintTitlesName}) {
    if (const auto reference = sheetAreaName(sheet, name)) {
      xml += nameXml(name, localSheetId, name == std::string_view(kFilterDatabaseName), *reference);
    }
  }
  return xml;
}

}  // namespace sx
