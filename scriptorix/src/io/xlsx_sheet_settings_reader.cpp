#include <algorithm>
#include <charconv>

#include "io/xlsx_sheet_reader.h"
#include "io/xlsx_style_reader.h"
#include "io/xml_parse.h"

namespace sx {

void readSheetProperties(const pugi::xml_node& properties, Sheet& sheet) {
  sheet.settings().tabColor = rgbColor(childNamed(properties, "tabColor"));
  sheet.settings().page.fitToPage =
      childNamed(properties, "pageSetUpPr").attribute("fitToPage").as_bool();
}

void readPageSetup(const pugi::xml_node& element, Sheet& sheet) {
  PageSetup& page = sheet.settings().page;
  const std::string_view name = localName(element);
  if (name == "pageMargins") {
    PageMargins& margins = page.margins;
    for (auto [attribute, value] :
         {std::pair{"left", &margins.left}, std::pair{"right", &margins.right},
          std::pair{"top", &margins.top}, std::pair{"bottom", &margins.bottom},
          std::pair{"header", &margins.header}, std::pair{"footer", &margins.footer}}) {
      const double inches = element.attribute(attribute).as_double(*value);
      if (inches >= 0 && inches < 50) *value = inches;
    }
  } else if (name == "pageSetup") {
    page.orientation = pageOrientationFromName(element.attribute("orientation").value());
    page.paperSize =
        static_cast<uint16_t>(std::min(element.attribute("paperSize").as_uint(0), 65535u));
    page.fitToWidth =
        static_cast<uint16_t>(std::min(element.attribute("fitToWidth").as_uint(1), 32767u));
    page.fitToHeight =
        static_cast<uint16_t>(std::min(element.attribute("fitToHeight").as_uint(1), 32767u));
  } else if (name == "headerFooter") {
    page.header = decodeXmlString(childNamed(element, "oddHeader").text().get());
    page.footer = decodeXmlString(childNamed(element, "oddFooter").text().get());
  }
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
    const bool locked =
        node.attribute(attribute.c_str()).as_bool(sheetPermissionLockedByDefault(permission));
    protection.allow(permission, !locked);
  }
  sheet.settings().protection = protection;
}

void readSheetView(const pugi::xml_node& views, Sheet& sheet) {
  const pugi::xml_node view = childNamed(views, "sheetView");
  const unsigned zoom = view.attribute("zoomScale").as_uint(100);
  sheet.settings().zoom = static_cast<uint16_t>(zoom >= 10 && zoom <= 400 ? zoom : 100);
  sheet.settings().showGridLines = view.attribute("showGridLines").as_bool(true);
}

void readSheetFormatProperties(const pugi::xml_node& properties, Sheet& sheet) {
  const double height = properties.attribute("defaultRowHeight").as_double(-1);
  if (properties.attribute("customHeight").as_bool() && height >= 0 && height <= 409) {
    sheet.settings().defaultRowHeight = height;
  }
}

}  // namespace sx
