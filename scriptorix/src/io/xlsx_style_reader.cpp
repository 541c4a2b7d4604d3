#include "io/xlsx_style_reader.h"

#include <charconv>
#include <stdexcept>

#include "io/xml_parse.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr size_t kMaxStyleEntries = 65536;

bool flag(const pugi::xml_node& node) {
  if (!node) return false;
  const pugi::xml_attribute val = node.attribute("val");
  return !val || val.as_bool();
}

Font readFont(const pugi::xml_node& node) {
  Font font;
  if (auto name = childNamed(node, "name")) font.name = fromUtf8(name.attribute("val").value());
  if (auto size = childNamed(node, "sz")) font.size = size.attribute("val").as_double(11);
  font.bold = flag(childNamed(node, "b"));
  font.italic = flag(childNamed(node, "i"));
  if (auto underline = childNamed(node, "u"))
    font.underline = fontUnderlineFromName(underline.attribute("val").value());
  font.strikethrough = flag(childNamed(node, "strike"));
  font.verticalAlign =
      fontVerticalAlignFromName(childNamed(node, "vertAlign").attribute("val").value());
  font.color = rgbColor(childNamed(node, "color"));
  return font;
}

std::optional<Color> readFill(const pugi::xml_node& node) {
  const pugi::xml_node pattern = childNamed(node, "patternFill");
  if (!pattern || std::string_view(pattern.attribute("patternType").value()) != "solid") {
    return std::nullopt;
  }
  return rgbColor(childNamed(pattern, "fgColor")).value_or(Color{});
}

BorderLineStyle lineStyle(std::string_view name) {
  for (int i = 0; i <= static_cast<int>(BorderLineStyle::SlantDashDot); ++i) {
    const auto style = static_cast<BorderLineStyle>(i);
    if (borderLineStyleName(style) == name) return style;
  }
  return BorderLineStyle::None;
}

BorderEdge readEdge(const pugi::xml_node& node) {
  BorderEdge edge;
  if (!node) return edge;
  edge.line = lineStyle(node.attribute("style").value());
  edge.color = rgbColor(childNamed(node, "color")).value_or(Color{});
  return edge;
}

Borders readBorders(const pugi::xml_node& node) {
  Borders borders;
  borders.left = readEdge(childNamed(node, "left"));
  borders.right = readEdge(childNamed(node, "right"));
  borders.top = readEdge(childNamed(node, "top"));
  borders.bottom = readEdge(childNamed(node, "bottom"));
  borders.diagonal = readEdge(childNamed(node, "diagonal"));
  borders.diagonalUp = node.attribute("diagonalUp").as_bool();
  borders.diagonalDown = node.attribute("diagonalDown").as_bool();
  return borders;
}

template <typename T, typename Read>
std::vector<T> readList(const pugi::xml_node& list, std::string_view element, Read read) {
  std::vector<T> out;
  for (pugi::xml_node child : list.children()) {
    const pugi::xml_node node = compatibleChoice(child);
    if (localName(node) != element) continue;
    if (out.size() == kMaxStyleEntries)
      throw std::runtime_error("the styles part has too many entries");
    out.push_back(read(node));
  }
  return out;
}

void readAlignment(const pugi::xml_node& node, Style& style) {
  if (!node) return;
  const std::string_view horizontal = node.attribute("horizontal").value();
  for (auto value : {HorizontalAlignment::Left, HorizontalAlignment::Center,
                     HorizontalAlignment::Right, HorizontalAlignment::Justify}) {
    if (horizontalAlignmentName(value) == horizontal) style.horizontal = value;
  }
  const std::string_view vertical = node.attribute("vertical").value();
  for (auto value : {VerticalAlignment::Top, VerticalAlignment::Center, VerticalAlignment::Justify,
                     VerticalAlignment::Distributed}) {
    if (verticalAlignmentName(value) == vertical) style.vertical = value;
  }
  style.wrap = node.attribute("wrapText").as_bool();
}

// A cell format naming an entry past the list shows the first entry, as spreadsheet
// applications show it; the file's own ids are written back unchanged.
template <typename T>
const T& entryAt(const std::vector<T>& list, uint32_t index) {
  return index < list.size() ? list[index] : list.front();
}

}  // namespace

std::optional<Color> rgbColor(const pugi::xml_node& node) {
  const std::string_view rgb = node.attribute("rgb").value();
  if (!node || rgb.size() != 8) return std::nullopt;
  unsigned value = 0;
  if (std::from_chars(rgb.data(), rgb.data() + 8, value, 16).ptr != rgb.data() + 8)
    return std::nullopt;
  return Color{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
               static_cast<uint8_t>(value)};
}

std::u16string builtInNumberFormat(int id) {
  switch (id) {
    case 1:
      return u"0";
    case 2:
      return u"0.00";
    case 3:
      return u"#,##0";
    case 4:
      return u"#,##0.00";
    case 9:
      return u"0%";
    case 10:
      return u"0.00%";
    case 11:
      return u"0.00E+00";
    case 12:
      return u"# ?/?";
    case 13:
      return u"# ?\?/??";
    case 14:
      return u"mm-dd-yy";
    case 15:
      return u"d-mmm-yy";
    case 16:
      return u"d-mmm";
    case 17:
      return u"mmm-yy";
    case 18:
      return u"h:mm AM/PM";
    case 19:
      return u"h:mm:ss AM/PM";
    case 20:
      return u"h:mm";
    case 21:
      return u"h:mm:ss";
    case 22:
      return u"m/d/yy h:mm";
    case 37:
      return u"#,##0 ;(#,##0)";
    case 38:
      return u"#,##0 ;[Red](#,##0)";
    case 39:
      return u"#,##0.00;(#,##0.00)";
    case 40:
      return u"#,##0.00;[Red](#,##0.00)";
    case 45:
      return u"mm:ss";
    case 46:
      return u"[h]:mm:ss";
    case 47:
      return u"mmss.0";
    case 48:
      return u"##0.0E+0";
    case 49:
      return u"@";
    default:
      return u"General";
  }
}

std::u16string decodeXmlString(std::string_view utf8) {
  std::u16string text = fromUtf8(utf8);
  if (text.find(u"_x") == std::u16string::npos) return text;
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
      unsigned code = 0;
      bool hex = true;
      for (size_t k = i + 2; k < i + 6; ++k) {
        const char16_t c = text[k];
        const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'a' && c <= u'f' ? c - u'a' + 10
                          : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                   : -1;
        if (digit < 0) hex = false;
        code = code * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
      }
      if (hex) {
        out += static_cast<char16_t>(code);
        i += 6;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<uint32_t> readStyles(const std::string& xml, StylesOrigin& origin, Workbook& workbook) {
  const pugi::xml_document document = parseXmlPart(xml, origin.partName);
  const pugi::xml_node root = document.document_element();
  origin.xml = xml;
  for (pugi::xml_node format : childNamed(root, "numFmts").children()) {
    if (localName(format) != "numFmt") continue;
    origin.numberFormats[format.attribute("numFmtId").as_int(-1)] =
        decodeXmlString(format.attribute("formatCode").value());
  }
  origin.fonts = readList<Font>(childNamed(root, "fonts"), "font", readFont);
  origin.fills = readList<std::optional<Color>>(childNamed(root, "fills"), "fill", readFill);
  origin.borders = readList<Borders>(childNamed(root, "borders"), "border", readBorders);

  std::vector<uint32_t> mapping;
  for (pugi::xml_node child : childNamed(root, "cellXfs").children()) {
    const pugi::xml_node xf = compatibleChoice(child);
    if (localName(xf) != "xf") continue;
    if (mapping.size() == kMaxStyleEntries)
      throw std::runtime_error("the styles part has too many entries");
    CellFormatIds ids{xf.attribute("numFmtId").as_int(0), xf.attribute("fontId").as_uint(0),
                      xf.attribute("fillId").as_uint(0), xf.attribute("borderId").as_uint(0)};
    Style style;
    auto custom = origin.numberFormats.find(ids.numberFormat);
    style.numberFormat = custom != origin.numberFormats.end()
                             ? custom->second
                             : builtInNumberFormat(ids.numberFormat);
    if (!origin.fonts.empty()) style.font = entryAt(origin.fonts, ids.font);
    if (!origin.fills.empty()) style.fill = entryAt(origin.fills, ids.fill);
    if (!origin.borders.empty()) style.borders = entryAt(origin.borders, ids.border);
    readAlignment(childNamed(xf, "alignment"), style);
    style.origin = static_cast<uint32_t>(mapping.size()) + 1;
    origin.cellFormats.push_back(style);
    origin.cellFormatIds.push_back(ids);
    // The first entry is every unformatted cell's: it stays the model's default.
    mapping.push_back(mapping.empty() ? 0 : workbook.styles().intern(style));
  }
  return mapping;
}

}  // namespace sx
