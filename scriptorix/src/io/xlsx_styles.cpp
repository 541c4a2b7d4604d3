#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "io/xlsx_parts.h"
#include "io/xml_text.h"
#include "core/text_case.h"
#include "core/utf.h"

namespace sx {

namespace {

// Codes with a built-in id that means the same in every locale.
const std::map<std::u16string, int>& builtInFormats() {
  static const std::map<std::u16string, int> formats = {
      {u"General", 0}, {u"0", 1},      {u"0.00", 2},      {u"#,##0", 3}, {u"#,##0.00", 4},
      {u"0%", 9},      {u"0.00%", 10}, {u"0.00E+00", 11}, {u"@", 49},
  };
  return formats;
}

// Items in order of first use; the index of each.
class UniqueList {
 public:
  uint32_t add(const std::string& xml) {
    auto [it, added] = index_.emplace(xml, static_cast<uint32_t>(items_.size()));
    if (added) items_.push_back(xml);
    return it->second;
  }
  std::string xml(const char* element) const {
    std::string out =
        "<" + std::string(element) + " count=\"" + std::to_string(items_.size()) + "\">";
    for (const std::string& item : items_) out += item;
    return out + "</" + element + ">";
  }

 private:
  std::vector<std::string> items_;
  std::map<std::string, uint32_t> index_;
};

}  // namespace

std::set<uint32_t> stylesInUse(const Workbook& workbook) {
  std::set<uint32_t> used = {0};
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    const Sheet& sheet = workbook.sheet(i);
    for (int32_t row = 0; row < sheet.rowLimit(); ++row) {
      for (const StoredCell& cell : sheet.rowCells(row)) used.insert(cell.style);
    }
    for (const auto& [row, format] : sheet.rowFormats()) used.insert(format.style);
    for (const auto& [column, format] : sheet.columnFormats()) used.insert(format.style);
  }
  return used;
}

std::string colorXml(const char* element, const Color& color) {
  char rgb[16];
  std::snprintf(rgb, sizeof rgb, "FF%02X%02X%02X", color.red, color.green, color.blue);
  return "<" + std::string(element) + " rgb=\"" + rgb + "\"/>";
}

std::string fontXml(const Font& font) {
  std::string xml = "<font>";
  if (font.bold) xml += "<b/>";
  if (font.italic) xml += "<i/>";
  if (font.strikethrough) xml += "<strike/>";
  if (font.underline == FontUnderline::Single) xml += "<u/>";
  if (font.underline != FontUnderline::None && font.underline != FontUnderline::Single) {
    xml += "<u val=\"" + std::string(fontUnderlineName(font.underline)) + "\"/>";
  }
  if (font.verticalAlign != FontVerticalAlign::Baseline) {
    xml += "<vertAlign val=\"" + std::string(fontVerticalAlignName(font.verticalAlign)) + "\"/>";
  }
  xml += "<sz val=\"" + xmlNumber(font.size) + "\"/>";
  if (font.color) xml += colorXml("color", *font.color);
  xml += "<name val=\"" + xmlText(font.name) + "\"/><family val=\"2\"/>";
  if (font.name == u"Calibri") xml += "<scheme val=\"minor\"/>";
  return xml + "</font>";
}

std::string fillXml(const std::optional<Color>& fill) {
  if (!fill) return "<fill><patternFill patternType=\"none\"/></fill>";
  return "<fill><patternFill patternType=\"solid\">" + colorXml("fgColor", *fill) +
         "<bgColor indexed=\"64\"/></patternFill></fill>";
}

static std::string edgeXml(const char* element, const BorderEdge& edge) {
  if (edge.line == BorderLineStyle::None) return "<" + std::string(element) + "/>";
  return "<" + std::string(element) + " style=\"" + std::string(borderLineStyleName(edge.line)) +
         "\">" + colorXml("color", edge.color) + "</" + element + ">";
}

std::string borderXml(const Borders& borders) {
  std::string xml = "<border";
  if (borders.diagonalUp) xml += " diagonalUp=\"1\"";
  if (borders.diagonalDown) xml += " diagonalDown=\"1\"";
  xml += ">" + edgeXml("left", borders.left) + edgeXml("right", borders.right) +
         edgeXml("top", borders.top) + edgeXml("bottom", borders.bottom) +
         edgeXml("diagonal", borders.diagonal);
  return xml + "</border>";
}

std::string stylesXml(const Workbook& workbook, StyleMapping& mapping) {
  UniqueList fonts, fills, borders;
  fills.add(fillXml(std::nullopt));
  fills.add("<fill><patternFill patternType=\"gray125\"/></fill>");  // both fills are mandatory
  fonts.add(fontXml(Font{}));
  borders.add(borderXml(Borders{}));
  std::map<std::u16string, int> customFormats;
  std::string numberFormats;
  std::string cellXfs;
  uint32_t xfCount = 0;
  for (uint32_t index : stylesInUse(workbook)) {
    const Style& style = workbook.styles().at(index);
    int formatId = 0;
    if (auto builtIn = builtInFormats().find(style.numberFormat);
        builtIn != builtInFormats().end()) {
      formatId = builtIn->second;
    } else if (equalsAsciiIgnoringCase(style.numberFormat, "general")) {
      formatId = 0;
    } else if (auto known = customFormats.find(style.numberFormat); known != customFormats.end()) {
      formatId = known->second;
    } else {
      formatId = 164 + static_cast<int>(customFormats.size());
      customFormats.emplace(style.numberFormat, formatId);
      numberFormats += "<numFmt numFmtId=\"" + std::to_string(formatId) + "\" formatCode=\"" +
                       xmlText(style.numberFormat) + "\"/>";
    }
    const uint32_t font = fonts.add(fontXml(style.font));
    const uint32_t fill = fills.add(fillXml(style.fill));
    const uint32_t border = borders.add(borderXml(style.borders));
    cellXfs += "<xf numFmtId=\"" + std::to_string(formatId) + "\" fontId=\"" +
               std::to_string(font) + "\" fillId=\"" + std::to_string(fill) + "\" borderId=\"" +
               std::to_string(border) + "\" xfId=\"0\"";
    if (formatId != 0) cellXfs += " applyNumberFormat=\"1\"";
    if (font != 0) cellXfs += " applyFont=\"1\"";
    if (fill != 0) cellXfs += " applyFill=\"1\"";
    if (border != 0) cellXfs += " applyBorder=\"1\"";
    const bool aligned = style.horizontal != HorizontalAlignment::General ||
                         style.vertical != VerticalAlignment::Bottom || style.wrap;
    if (aligned) {
      cellXfs += " applyAlignment=\"1\"><alignment";
      if (style.horizontal != HorizontalAlignment::General) {
        cellXfs += " horizontal=\"" + std::string(horizontalAlignmentName(style.horizontal)) + "\"";
      }
      if (style.vertical != VerticalAlignment::Bottom) {
        cellXfs += " vertical=\"" + std::string(verticalAlignmentName(style.vertical)) + "\"";
      }
      if (style.wrap) cellXfs += " wrapText=\"1\"";
      cellXfs += "/></xf>";
    } else {
      cellXfs += "/>";
    }
    mapping.xfIndex.emplace(index, xfCount++);
  }

  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml += "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  if (!customFormats.empty()) {
    xml += "<numFmts count=\"" + std::to_string(customFormats.size()) + "\">" + numberFormats +
           "</numFmts>";
  }
  xml += fonts.xml("fonts") + fills.xml("fills") + borders.xml("borders");
  xml +=
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
      "</cellStyleXfs>";
  xml += "<cellXfs count=\"" + std::to_string(xfCount) + "\">" + cellXfs + "</cellXfs>";
  xml +=
      "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
      "builtinId=\"0\"/></cellStyles>";
  const std::vector<std::string> dxfs = addDifferentialFormats(workbook, mapping, 0);
  if (dxfs.empty()) {
    xml += "<dxfs count=\"0\"/>";
  } else {
    xml += "<dxfs count=\"" + std::to_string(dxfs.size()) + "\">";
    for (const std::string& dxf : dxfs) xml += dxf;
    xml += "</dxfs>";
  }
  xml += "<tableStyles count=\"0\"/>";
  return xml + "</styleSheet>";
}

}  // namespace sx
