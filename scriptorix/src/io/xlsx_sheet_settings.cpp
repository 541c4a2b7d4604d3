#include <cstdio>

#include "io/xlsx_parts.h"

namespace sx {

std::string sheetPropertiesXml(const Sheet& sheet) {
  const SheetSettings& settings = sheet.settings();
  if (!settings.tabColor) return "";
  return "<sheetPr>" + colorXml("tabColor", *settings.tabColor) + "</sheetPr>";
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
      xml += " " + std::string(sheetPermissionAttribute(permission)) + "=\"" + (locked ? "1" : "0") + "\"";
    }
  }
  return xml + "/>";
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
