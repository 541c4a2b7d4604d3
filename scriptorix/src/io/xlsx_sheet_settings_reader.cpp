#include <charconv>

#include "io/xlsx_sheet_reader.h"
#include "io/xlsx_style_reader.h"
#include "io/xml_parse.h"

namespace sx {

void readSheetProperties(const pugi::xml_node& properties, Sheet& sheet) {
  sheet.settings().tabColor = rgbColor(childNamed(properties, "tabColor"));
}

void readSheetProtection(const pugi::xml_node& node, Sheet& sheet) {
  SheetProtection protection;
  protection.on = node.attribute("sheet").as_bool();
  if (!protection.on) {
    sheet.settings().protection = protection;
    return;
  }
  const std::string_view password = node.attribute("password").value();
  unsigned hash = 0;
  if (password.size() == 4 &&
      std::from_chars(password.data(), password.data() + 4, hash, 16).ptr == password.data() + 4) {
    protection.passwordHash = static_cast<uint16_t>(hash);
  }
  for (size_t i = 0; i < kSheetPermissionCount; ++i) {
    const auto permission = static_cast<SheetPermission>(i);
    const std::string attribute(sheetPermissionAttribute(permission));
    const bool locked = node.attribute(attribute.c_str()).as_bool(sheetPermissionLockedByDefault(permission));
    protection.allow(permission, !locked);
  }
  sheet.settings().protection = protection;
}

}  // namespace sx
