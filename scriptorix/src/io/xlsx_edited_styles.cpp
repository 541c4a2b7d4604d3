#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "io/xlsx_edit_writer.h"
#include "io/xlsx_style_reader.h"
#include "io/xml_parse.h"
#include "io/xml_text.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr const char* kStyleSheetOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                            "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                            "tableStyles",  "colors",  "extLst"};

// The list element `name` of the style sheet, made in schema order when the file had none.
pugi::xml_node listElement(pugi::xml_node root, std::string_view name) {
  if (pugi::xml_node found = childNamed(root, name)) return found;
  pugi::xml_node after;
  for (const char* element : kStyleSheetOrder) {
    if (element == name) break;
    if (pugi::xml_node present = childNamed(root, element)) after = present;
  }
  const std::string prefix = [&] {
    const std::string_view rootName = root.name();
    const size_t colon = rootName.find(':');
    return colon == std::string_view::npos ? std::string()
                                           : std::string(rootName.substr(0, colon + 1));
  }();
  const std::string full = prefix + std::string(name);
  return after ? root.insert_child_after(full.c_str(), after) : root.prepend_child(full.c_str());
}

// Entries of the list; one wrapped in markup-compatibility alternatives counts as one.
size_t elementCount(const pugi::xml_node& list, std::string_view element) {
  size_t count = 0;
  for (pugi::xml_node child : list.children())
    count += localName(compatibleChoice(child)) == element;
  return count;
}

void appendXml(pugi::xml_node list, const std::string& xml) {
  list.append_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
}

// Entries the save adds to one list of the style sheet, after the ones the file had.
class AddedEntries {
 public:
  explicit AddedEntries(size_t firstIndex) : next_(firstIndex) {}
  uint32_t add(const std::string& xml) {
    auto [it, added] = index_.emplace(xml, static_cast<uint32_t>(next_));
    if (added) {
      items_.push_back(xml);
      ++next_;
    }
    return it->second;
  }
  const std::vector<std::string>& items() const { return items_; }

 private:
  size_t next_;
  std::vector<std::string> items_;
  std::map<std::string, uint32_t> index_;
};

template <typename T>
uint32_t componentId(const T& wanted, const uint32_t* base, const std::vector<T>& read,
                     AddedEntries& added, const std::string& xml) {
  if (base && *base < read.size() && read[*base] == wanted) return *base;
  auto it = std::find(read.begin(), read.end(), wanted);
  if (it != read.end()) return static_cast<uint32_t>(it - read.begin());
  return added.add(xml);
}

void setAlignment(pugi::xml_node xf, const Style& style) {
  pugi::xml_node alignment = childNamed(xf, "alignment");
  if (!alignment) alignment = xf.prepend_child("alignment");
  auto set = [&](const char* name, bool present, std::string_view value) {
    alignment.remove_attribute(name);
    if (present) alignment.append_attribute(name).set_value(std::string(value).c_str());
  };
  set("horizontal", style.horizontal != HorizontalAlignment::General,
      horizontalAlignmentName(style.horizontal));
  set("vertical", style.vertical != VerticalAlignment::Bottom,
      verticalAlignmentName(style.vertical));
  set("wrapText", style.wrap, "1");
  if (!alignment.first_attribute()) xf.remove_child(alignment);
}

void setAttribute(pugi::xml_node node, const char* name, const std::string& value) {
  pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) attribute = node.append_attribute(name);
  attribute.set_value(value.c_str());
}

}  // namespace

std::string editedStylesXml(const Workbook& workbook, const StylesOrigin& origin,
                            StyleMapping& mapping) {
  pugi::xml_document document = parseXmlPart(origin.xml, origin.partName);
  pugi::xml_node root = document.document_element();
  pugi::xml_node fonts = listElement(root, "fonts");
  pugi::xml_node fills = listElement(root, "fills");
  pugi::xml_node borders = listElement(root, "borders");
  pugi::xml_node cellXfs = listElement(root, "cellXfs");
  std::vector<pugi::xml_node> formats;
  for (pugi::xml_node child : cellXfs.children()) {
    const pugi::xml_node xf = compatibleChoice(child);
    if (localName(xf) == "xf") formats.push_back(xf);
  }
  if (formats.empty()) {  // every package has a default cell format
    formats.push_back(cellXfs.append_child("xf"));
    for (const char* name : {"numFmtId", "fontId", "fillId", "borderId"})
      formats.back().append_attribute(name) = 0;
  }

  AddedEntries addedFonts(elementCount(fonts, "font"));
  AddedEntries addedFills(elementCount(fills, "fill"));
  AddedEntries addedBorders(elementCount(borders, "border"));
  AddedEntries addedFormats(formats.size());
  std::map<std::u16string, int> codes;  // number format code -> id, the file's first
  for (const auto& [id, code] : origin.numberFormats) codes.emplace(code, id);
  for (int id = 0; id < 50; ++id) {
    if (builtInNumberFormat(id) != u"General" || id == 0)
      codes.emplace(builtInNumberFormat(id), id);
  }
  int nextFormatId = 164;
  for (const auto& [id, code] : origin.numberFormats) nextFormatId = std::max(nextFormatId, id + 1);
  std::string addedCodes;

  for (uint32_t index : stylesInUse(workbook)) {
    const Style& style = workbook.styles().at(index);
    const bool fromFile = style.origin > 0 && style.origin <= origin.cellFormats.size();
    const size_t base = fromFile ? style.origin - 1 : 0;
    if (index == 0 || (fromFile && origin.cellFormats[base] == style)) {
      mapping.xfIndex.emplace(index, static_cast<uint32_t>(index == 0 ? 0 : base));
      continue;
    }
    // A changed or new style: the file's entry it came from (or the default) with the model's
    // parts put in, so that what the model does not hold stays as it was.
    const CellFormatIds* ids = fromFile ? &origin.cellFormatIds[base] : nullptr;
    const uint32_t font = componentId(style.font, ids ? &ids->font : nullptr, origin.fonts,
                                      addedFonts, fontXml(style.font));
    const uint32_t fill = componentId(style.fill, ids ? &ids->fill : nullptr, origin.fills,
                                      addedFills, fillXml(style.fill));
    const uint32_t border = componentId(style.borders, ids ? &ids->border : nullptr, origin.borders,
                                        addedBorders, borderXml(style.borders));
    int formatId = 0;
    if (fromFile && origin.cellFormats[base].numberFormat == style.numberFormat) {
      formatId = origin.cellFormatIds[base].numberFormat;
    } else if (auto known = codes.find(style.numberFormat); known != codes.end()) {
      formatId = known->second;
    } else {
      formatId = nextFormatId++;
      codes.emplace(style.numberFormat, formatId);
      addedCodes += "<numFmt numFmtId=\"" + std::to_string(formatId) + "\" formatCode=\"" +
                    xmlText(style.numberFormat) + "\"/>";
    }
    pugi::xml_document scratch;
    pugi::xml_node xf = fromFile ? scratch.append_copy(formats[base]) : scratch.append_child("xf");
    setAttribute(xf, "numFmtId", std::to_string(formatId));
    setAttribute(xf, "fontId", std::to_string(font));
    setAttribute(xf, "fillId", std::to_string(fill));
    setAttribute(xf, "borderId", std::to_string(border));
    if (!xf.attribute("xfId")) setAttribute(xf, "xfId", "0");
    for (const char* apply :
         {"applyNumberFormat", "applyFont", "applyFill", "applyBorder", "applyAlignment"}) {
      setAttribute(xf, apply, "1");
    }
    setAlignment(xf, style);
    mapping.xfIndex.emplace(index, addedFormats.add(xmlOf(xf)));
  }

  // The file's conditional formats point at its own entries: the new ones follow them.
  const pugi::xml_node fileDxfs = childNamed(root, "dxfs");
  const auto firstDxf = static_cast<uint32_t>(fileDxfs ? elementCount(fileDxfs, "dxf") : 0);
  if (const std::vector<std::string> dxfs = addDifferentialFormats(workbook, mapping, firstDxf);
      !dxfs.empty()) {
    pugi::xml_node list = listElement(root, "dxfs");
    for (const std::string& xml : dxfs) appendXml(list, xml);
    setAttribute(list, "count", std::to_string(elementCount(list, "dxf")));
  }
  if (!addedCodes.empty()) {
    pugi::xml_node numFmts = listElement(root, "numFmts");
    appendXml(numFmts, addedCodes);
    setAttribute(numFmts, "count", std::to_string(elementCount(numFmts, "numFmt")));
  }
  const std::pair<pugi::xml_node, const AddedEntries*> lists[] = {{fonts, &addedFonts},
                                                                  {fills, &addedFills},
                                                                  {borders, &addedBorders},
                                                                  {cellXfs, &addedFormats}};
  for (const auto& [list, added] : lists) {
    for (const std::string& xml : added->items()) appendXml(list, xml);
    size_t count = 0;
    for (pugi::xml_node child : list.children()) count += child.type() == pugi::node_element;
    setAttribute(list, "count", std::to_string(count));
  }
  return documentXml(document);
}

}  // namespace sx
