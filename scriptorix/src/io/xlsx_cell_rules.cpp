#include <algorithm>

#include "core/utf.h"
#include "formula/function_names.h"
#include "io/xlsx_parts.h"
#include "io/xml_parse.h"
#include "io/xml_text.h"

namespace sx {

namespace {

// Number formats of differential formats get ids of their own, clear of the cell formats'.
constexpr uint32_t kFirstDifferentialNumberFormatId = 400;

std::string attribute(const char* name, std::string_view value) {
  return " " + std::string(name) + "=\"" + std::string(value) + "\"";
}

std::string formulaElement(const char* element, std::u16string_view formula) {
  return "<" + std::string(element) + ">" +
         xmlPlainText(formula::withFunctionPrefixes(std::u16string(formula))) + "</" + element +
         ">";
}

bool usesDifferentialFormat(ConditionKind kind) {
  return kind != ConditionKind::ColorScale && kind != ConditionKind::DataBar &&
         kind != ConditionKind::IconSet;
}

// Thresholds of scales and icon sets: lowest, (middle,) highest, or equal shares of percent.
std::string thresholdsXml(const ConditionalFormat& rule) {
  if (rule.kind == ConditionKind::IconSet) {
    const int icons = rule.iconSet.empty() ? 3 : rule.iconSet[0] - u'0';
    std::string xml;
    for (int i = 0; i < icons; ++i) {
      xml += "<cfvo type=\"percent\" val=\"" + std::to_string(i * 100 / icons) + "\"/>";
    }
    return xml;
  }
  if (rule.colors.size() == 3)
    return "<cfvo type=\"min\"/><cfvo type=\"percentile\" val=\"50\"/><cfvo type=\"max\"/>";
  return "<cfvo type=\"min\"/><cfvo type=\"max\"/>";
}

std::string ruleXml(const ConditionalFormat& rule, uint32_t priority, const StyleMapping& styles) {
  std::string xml = "<cfRule" + attribute("type", conditionKindName(rule.kind));
  if (usesDifferentialFormat(rule.kind)) {
    xml += attribute("dxfId",
                     std::to_string(styles.dxfIndex.at(differentialFormatXml(rule.format, 0))));
  }
  xml += attribute("priority", std::to_string(priority));
  switch (rule.kind) {
    case ConditionKind::CellValue:
      xml += attribute("operator", comparisonOperatorName(rule.comparison));
      break;
    case ConditionKind::Top:
      xml += attribute("rank", std::to_string(rule.rank));
      if (rule.percent) xml += attribute("percent", "1");
      if (rule.bottom) xml += attribute("bottom", "1");
      break;
    case ConditionKind::AboveAverage:
      if (rule.below) xml += attribute("aboveAverage", "0");
      break;
    case ConditionKind::ContainsText:
      xml += attribute("operator", "containsText") + attribute("text", xmlText(rule.text));
      break;
    default:
      break;
  }
  std::string body;
  for (const std::u16string& formula : rule.formulas) body += formulaElement("formula", formula);
  if (rule.kind == ConditionKind::ContainsText) {
    // The application tests the rule through its formula; the text attribute is for its dialog.
    std::u16string quoted;
    for (char16_t c : rule.text) quoted += c == u'"' ? u"\"\"" : std::u16string(1, c);
    const std::u16string corner =
        columnLetters(rule.area.firstColumn) + fromUtf8(std::to_string(rule.area.firstRow + 1));
    body += formulaElement("formula", u"NOT(ISERROR(SEARCH(\"" + quoted + u"\"," + corner + u")))");
  } else if (rule.kind == ConditionKind::ColorScale) {
    body += "<colorScale>" + thresholdsXml(rule);
    for (const Color& color : rule.colors) body += colorXml("color", color);
    body += "</colorScale>";
  } else if (rule.kind == ConditionKind::DataBar) {
    body += "<dataBar>" + thresholdsXml(rule) + colorXml("color", rule.colors.at(0)) + "</dataBar>";
  } else if (rule.kind == ConditionKind::IconSet) {
    body += "<iconSet" + attribute("iconSet", toUtf8(rule.iconSet)) + ">" + thresholdsXml(rule) +
            "</iconSet>";
  }
  return body.empty() ? xml + "/>" : xml + ">" + body + "</cfRule>";
}

std::string optionalText(const char* name, const std::u16string& text) {
  return text.empty() ? std::string() : attribute(name, xmlText(text));
}

}  // namespace

std::string differentialFormatXml(const DifferentialFormat& format, uint32_t index) {
  std::string xml = "<dxf>";
  if (format.bold || format.italic || format.fontColor) {
    xml += "<font>";
    if (format.bold) xml += *format.bold ? "<b/>" : "<b val=\"0\"/>";
    if (format.italic) xml += *format.italic ? "<i/>" : "<i val=\"0\"/>";
    if (format.fontColor) xml += colorXml("color", *format.fontColor);
    xml += "</font>";
  }
  if (format.numberFormat) {
    xml += "<numFmt numFmtId=\"" + std::to_string(kFirstDifferentialNumberFormatId + index) +
           "\" formatCode=\"" + xmlText(*format.numberFormat) + "\"/>";
  }
  if (format.fill) {
    // A differential fill paints with its background colour; both are given for older readers.
    xml += "<fill><patternFill patternType=\"solid\">" + colorXml("fgColor", *format.fill) +
           colorXml("bgColor", *format.fill) + "</patternFill></fill>";
  }
  if (format.border) {
    std::string edge;
    if (format.border->line != BorderLineStyle::None) {
      edge = attribute("style", borderLineStyleName(format.border->line)) + ">" +
             colorXml("color", format.border->color);
    }
    xml += "<border>";
    for (const char* side : {"left", "right", "top", "bottom"}) {
      xml += edge.empty() ? "<" + std::string(side) + "/>"
                          : "<" + std::string(side) + edge + "</" + side + ">";
    }
    xml += "</border>";
  }
  return xml + "</dxf>";
}

std::vector<std::string> addDifferentialFormats(const Workbook& workbook, StyleMapping& mapping,
                                                uint32_t first) {
  std::vector<std::string> added;
  for (size_t i = 0; i < workbook.sheetCount(); ++i) {
    for (const ConditionalFormat& rule : workbook.sheet(i).conditionalFormats()) {
      if (!usesDifferentialFormat(rule.kind)) continue;
      const std::string key = differentialFormatXml(rule.format, 0);
      if (mapping.dxfIndex.count(key)) continue;
      const uint32_t index = first + static_cast<uint32_t>(added.size());
      mapping.dxfIndex.emplace(key, index);
      added.push_back(differentialFormatXml(rule.format, index));
    }
  }
  return added;
}

std::string conditionalFormattingXml(const Sheet& sheet, const StyleMapping& styles) {
  std::string xml;
  uint32_t priority = 0;
  for (const ConditionalFormat& rule : sheet.conditionalFormats()) {
    xml += "<conditionalFormatting sqref=\"" + toUtf8(formatRangeRef(rule.area, false)) + "\">" +
           ruleXml(rule, ++priority, styles) + "</conditionalFormatting>";
  }
  return xml;
}

std::string dataValidationEntriesXml(const Sheet& sheet) {
  std::string xml;
  for (const DataValidation& rule : sheet.validations()) {
    xml += "<dataValidation" + attribute("type", validationKindName(rule.kind));
    if (rule.errorStyle != ValidationErrorStyle::Stop)
      xml += attribute("errorStyle", validationErrorStyleName(rule.errorStyle));
    const bool compares = rule.kind != ValidationKind::List &&
                          rule.kind != ValidationKind::Custom && rule.kind != ValidationKind::Any;
    if (compares && rule.comparison != ComparisonOperator::Between) {
      xml += attribute("operator", comparisonOperatorName(rule.comparison));
    }
    if (rule.allowBlank) xml += attribute("allowBlank", "1");
    // The attribute's name says the opposite of what it does: 1 hides the arrow.
    if (rule.kind == ValidationKind::List && !rule.dropDown) xml += attribute("showDropDown", "1");
    if (!rule.inputTitle.empty() || !rule.inputMessage.empty())
      xml += attribute("showInputMessage", "1");
    xml += attribute("showErrorMessage", "1");
    xml += optionalText("errorTitle", rule.errorTitle) + optionalText("error", rule.errorMessage) +
           optionalText("promptTitle", rule.inputTitle) + optionalText("prompt", rule.inputMessage);
    xml += attribute("sqref", toUtf8(formatRangeRef(rule.area, false))) + ">";
    if (!rule.formulas.empty()) xml += formulaElement("formula1", rule.formulas[0]);
    if (rule.formulas.size() > 1) xml += formulaElement("formula2", rule.formulas[1]);
    xml += "</dataValidation>";
  }
  return xml;
}

std::string dataValidationsXml(const Sheet& sheet) {
  if (sheet.validations().empty()) return "";
  return "<dataValidations count=\"" + std::to_string(sheet.validations().size()) + "\">" +
         dataValidationEntriesXml(sheet) + "</dataValidations>";
}

namespace {

constexpr std::string_view kLinkIdPrefix = "rIdLink";

std::string linkRelationshipId(uint32_t number) {
  return std::string(kLinkIdPrefix) + std::to_string(number);
}

}  // namespace

uint32_t firstFreeLinkNumber(std::string_view relationships) {
  uint32_t next = 1;
  const std::string marker = "Id=\"" + std::string(kLinkIdPrefix);
  for (size_t at = relationships.find(marker); at != std::string_view::npos;
       at = relationships.find(marker, at + 1)) {
    uint32_t number = 0;
    size_t digit = at + marker.size();
    while (digit < relationships.size() && relationships[digit] >= '0' &&
           relationships[digit] <= '9' && number < 100000000) {
      number = number * 10 + static_cast<uint32_t>(relationships[digit++] - '0');
    }
    next = std::max(next, number + 1);
  }
  return next;
}

std::string hyperlinkEntriesXml(const Sheet& sheet, uint32_t firstLink) {
  std::string xml;
  uint32_t external = firstLink;
  for (const Hyperlink& link : sheet.hyperlinks()) {
    xml += "<hyperlink" + attribute("ref", toUtf8(formatRangeRef(link.area, false)));
    if (!link.address.empty()) xml += attribute("r:id", linkRelationshipId(external++));
    if (!link.formulas.empty()) xml += attribute("location", xmlText(link.formulas[0]));
    xml += optionalText("tooltip", link.tooltip) + optionalText("display", link.display) + "/>";
  }
  return xml;
}

std::string hyperlinksXml(const Sheet& sheet) {
  if (sheet.hyperlinks().empty()) return "";
  return "<hyperlinks>" + hyperlinkEntriesXml(sheet, 1) + "</hyperlinks>";
}

std::string hyperlinkRelationshipsXml(const Sheet& sheet, uint32_t firstLink) {
  std::string xml;
  uint32_t external = firstLink;
  for (const Hyperlink& link : sheet.hyperlinks()) {
    if (link.address.empty()) continue;
    xml +=
        "<Relationship Id=\"" + linkRelationshipId(external++) +
        "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" "
        "Target=\"" +
        xmlText(link.address) + "\" TargetMode=\"External\"/>";
  }
  return xml;
}

void addRelationshipEntries(std::vector<PackagePart>& parts, const std::string& name,
                            const std::string& entries) {
  for (PackagePart& part : parts) {
    if (part.name != name) continue;
    pugi::xml_document document = parseXmlPart(part.data, part.name);
    document.document_element().append_buffer(entries.data(), entries.size(), pugi::parse_default,
                                              pugi::encoding_utf8);
    part.data = documentXml(document);
    return;
  }
  parts.push_back({name, "",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                       entries + "</Relationships>"});
}

}  // namespace sx
