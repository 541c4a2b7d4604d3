#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/xlsx_origin.h"
#include "model/workbook.h"

namespace sx {

// Reads a styles part into `origin` and interns every cell format into the workbook's style
// table; the result maps each cellXfs index to a style-table index (entry 0 to the default).
std::vector<uint32_t> readStyles(const std::string& xml, StylesOrigin& origin, Workbook& workbook);

// The code of a built-in number format id, or "General" for an unknown id.
std::u16string builtInNumberFormat(int id);

// The ARGB colour of a colour element (alpha dropped); nullopt for a missing element or a theme
// or indexed colour.
std::optional<Color> rgbColor(const pugi::xml_node& node);

// Text of an Office Open XML string value, with _xHHHH_ escapes decoded.
std::u16string decodeXmlString(std::string_view utf8);

}  // namespace sx
