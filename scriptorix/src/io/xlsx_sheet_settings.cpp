#include <cstdio>

#include "io/xlsx_parts.h"
#include "io/xml_text.h"

namespace sx {

std::string sheetPropertiesXml(const Sheet& sheet) {
  const SheetSettings& settings = sheet.settings();
  if (!settings.tabColor && !settings.page.fitToPage) return "";
  std::string xml = "<sheetPr>";
  if (settings.tabColor) xml += colorXml("tabColor", *settings.tabColor);
  if (settings.page.fitToPage) xml += "<pageSetUpPr fitToPage=\"1\"/>";
  return xml + "</sheetPr>";
}

std::string pageMarginsXml(const PageMargins& margins) {
  return "<pageMargins left=\"" + xmlNumber(margins.left) + "\" right=\"" +
         xmlNumber(margins.right) + "\" top=\"" + xmlNumber(margins.top) + "\" bottom=\"" +
         xmlNumber(margins.bottom) + "\" header=\"" + xmlNumber(margins.header) + "\" footer=\"" +
         xmlNumber(margins.footer) + "\"/>";
}

std::vector<std::pair<std::string, std::optional<std::string>>> pageSetupAttributes(
    const PageSetup& page) {
  const auto number = [](uint16_t value) {
    return std::optional<std::string>(std::to_string(value));
  };
  return {
      {"paperSize", page.paperSize ? number(page.paperSize) : std::nullopt},
      {"orientation", page.orientation == PageOrientation::Default
                          ? std::nullopt
                          : std::optional<std::string>(pageOrientationName(page.orientation))},
      {"fitToWidth", page.fitToPage ? number(page.fitToWidth) : std::nullopt},
      {"fitToHeight", page.fitToPage ? number(page.fitToHeight) : std::nullopt},
  };
}

std::string pageSetupXml(const PageSetup& page) {
  std::string attributes;
  for (const auto& [name, value] : pageSetupAttributes(page)) {
    if (value) attributes += " " + name + "=\"" + *value + "\"";
  }
  return attributes.empty() ? "" : "<pageSetup" + attributes + "/>";
}

std::string headerFooterXml(const PageSetup& page) {
  if (page.header.empty() && page.footer.empty()) return "";
  std::string xml = "<headerFooter>";
  if (!page.header.empty()) xml += "<oddHeader>" + xmlText(page.header) + "</oddHeader>";
  if (!page.footer.empty()) xml += "<oddFooter>" + xmlText(page.footer) + "</oddFooter>";
  return xml + "</headerFooter>";
}

std::string sheetProtectionXml(const SheetProtection& protection) {
  if (!protection.on) return "";
  std::string xml = "<sheetProtection";
  if (protection.passwordHash != 0) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", protection.passwordHash);
    xml += " password=\"" + std::string(hex) + "\"";
  }
  xml += " sheet=\"1\"";
  // Each attribute says "locked"; only those that differ from the schema's default are written.
  for (size_t i = 0; i < kSheetPermissionCount; ++i) {
    const auto permission = static_cast<SheetPermission>(i);
    const bool locked = !protection.allows(permission);
    if (locked != sheetPermissionLockedByDefault(permission)) {
      xml += " " + std::string(sheetPermissionAttribute(permission)) + "=\"" +
             (locked ? "1" : "0") + "\"";
    }
  }
  return xml + "/>";
}

std::string sheetFormatPropertiesXml(const Sheet& sheet) {
  const SheetSettings& settings = sheet.settings();
  std::string xml = "<sheetFormatPr defaultRowHeight=\"" +
                    xmlNumber(settings.defaultRowHeight.value_or(15)) + "\"";
  if (settings.defaultRowHeight) xml += " customHeight=\"1\"";
  if (const uint8_t rows = sheet.rowOutlineDepth())
    xml += " outlineLevelRow=\"" + std::to_string(rows) + "\"";
  if (const uint8_t columns = sheet.columnOutlineDepth())
    xml += " outlineLevelCol=\"" + std::to_string(columns) + "\"";
  return xml + "/>";
}

std::string printOptionsXml(const SheetSettings& settings) {
  return settings.printGridLines ? "<printOptions gridLines=\"1\"/>" : "";
}

std::string sheetViewAttributes(const SheetSettings& settings) {
  std::string xml;
  if (!settings.showGridLines) xml += " showGridLines=\"0\"";
  if (settings.zoom != 100) xml += " zoomScale=\"" + std::to_string(settings.zoom) + "\"";
  return xml;
}

std::string sheetStateAttribute(const Sheet& sheet) {
  const SheetVisibility visibility = sheet.settings().visibility;
  if (visibility == SheetVisibility::Visible) return "";
  return " state=\"" + std::string(sheetVisibilityName(visibility)) + "\"";
}

std::string calculationModeAttribute(const Workbook& workbook) {
  const CalculationMode mode = workbook.calculationMode();
  if (mode == CalculationMode::Auto) return "";
  return " calcMode=\"" + std::string(calculationModeName(mode)) + "\"";
}

}  // namespace sx
