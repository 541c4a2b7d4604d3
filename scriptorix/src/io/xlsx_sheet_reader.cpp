#include "io/xlsx_sheet_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <map>
#include <stdexcept>

#include "formula/function_names.h"
#include "formula/reference_adjust.h"
#include "io/xlsx_style_reader.h"
#include "io/xml_parse.h"
#include "core/utf.h"

namespace sx {

namespace {

constexpr size_t kSliceBytes = size_t{4} << 20;
// Each cell of a shared formula holds its own translated copy, so a long formula shared by many
// cells multiplies in memory. The copies may come to this base plus this many characters per
// byte of the worksheet's XML: a real sheet stays below (a 50-byte cell would need a
// 400-character formula), while a small part cannot expand into gigabytes.
constexpr size_t kSharedFormulaBaseChars = size_t{4} << 20;
constexpr size_t kSharedFormulaCharsPerByte = 8;

[[noreturn]] void fail(const std::string& part, const std::string& why) {
  throw std::runtime_error("the part " + part + " " + why);
}

bool isNameEnd(char c) {
  return c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\r' || c == '\n';
}

// Position of the next "<prefix:name" start tag at or after `from`.
size_t findTag(std::string_view xml, std::string_view tag, size_t from) {
  while (true) {
    const size_t at = xml.find(tag, from);
    if (at == std::string_view::npos || at + tag.size() >= xml.size())
      return std::string_view::npos;
    if (isNameEnd(xml[at + tag.size()])) return at;
    from = at + 1;
  }
}

int32_t parseIndex(std::string_view text, int32_t limit, const std::string& part,
                   const char* what) {
  int64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < 1 ||
      value > limit) {
    fail(part, std::string("has a ") + what + " outside the sheet (\"" + std::string(text) + "\")");
  }
  return static_cast<int32_t>(value - 1);
}

double parseNumber(std::string_view text, const std::string& part) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(value)) {
    fail(part,
         "has a cell whose number cannot be read (\"" + std::string(text.substr(0, 40)) + "\")");
  }
  return value;
}

// An ISO 8601 date-time ("2024-02-29T12:00:00") as a 1900-system serial.
double isoDateSerial(std::string_view text, const std::string& part) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0;
  auto number = [&](size_t at, size_t length, int& out) {
    return at + length <= text.size() &&
           std::from_chars(text.data() + at, text.data() + at + length, out).ptr ==
               text.data() + at + length;
  };
  // A time alone ("10:10:10", as xsd:time) is a time of day: its fraction of serial 0.
  if (text.size() >= 5 && text[2] == ':' && number(0, 2, hour) && number(3, 2, minute) &&
      hour < 24 && minute < 60) {
    if (text.size() >= 8 && text[5] == ':')
      std::from_chars(text.data() + 6, text.data() + text.size(), second);
    return (hour * 3600 + minute * 60 + second) / 86400.0;
  }
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || month < 1 ||
      month > 12 || day < 1 || day > 31 || year < 1900) {
    fail(part, "has a date cell that cannot be read (\"" + std::string(text.substr(0, 40)) + "\")");
  }
  if (text.size() >= 16 && text[10] == 'T' && number(11, 2, hour) && number(14, 2, minute) &&
      text.size() >= 19) {
    std::from_chars(text.data() + 17, text.data() + text.size(), second);
  }
  // Days from the civil date (counted from 0000-03-01), then as a serial.
  const int y = month <= 2 ? year - 1 : year;
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  // 1970-01-01 is day 719468 from 0000-03-01 and serial 25569; serials below 61 lie before the
  // phantom 1900-02-29 and so one day lower.
  int64_t days = int64_t{era} * 146097 + doe - 693899;
  if (days < 61) --days;
  const double serial = static_cast<double>(days);
  return serial + (hour * 3600 + minute * 60 + second) / 86400.0;
}

// A row's or column's grouping depth; the schema allows 0 to 7.
uint8_t outlineLevel(const pugi::xml_node& node) {
  return static_cast<uint8_t>(
      std::min(node.attribute("outlineLevel").as_uint(0), unsigned{kMaxOutlineLevel}));
}

// The text of an <is> or <si>: its <t>, or the runs' <t> joined; phonetic runs left out.
std::u16string stringItemText(const pugi::xml_node& item) {
  std::string text;
  for (pugi::xml_node child : item.children()) {
    if (localName(child) == "t") {
      text += child.text().get();
    } else if (localName(child) == "r") {
      text += childNamed(child, "t").text().get();
    }
  }
  return decodeXmlString(text);
}

// The attributes of a <row> or <col> other than those in `held`, which the model reads.
XmlAttributes attributesNotIn(const pugi::xml_node& node,
                              std::initializer_list<std::string_view> held) {
  XmlAttributes kept;
  for (pugi::xml_attribute attribute : node.attributes()) {
    const std::string_view name = attribute.name();
    if (std::find(held.begin(), held.end(), name) == held.end())
      kept.emplace_back(name, attribute.value());
  }
  return kept;
}

// Neighbouring lines with equal attributes share one run.
void keepLineAttributes(std::vector<KeptLineAttributes>& runs, int32_t first, int32_t last,
                        XmlAttributes attributes) {
  if (attributes.empty()) return;
  if (!runs.empty() && runs.back().last + 1 == first && runs.back().attributes == attributes) {
    runs.back().last = last;
    return;
  }
  runs.push_back({first, last, std::move(attributes)});
}

struct SharedFormula {
  std::u16string formula;
  int32_t row = 0;
  int32_t column = 0;
};

class SheetDataReader {
 public:
  SheetDataReader(const std::string& part, Sheet& sheet, const SheetReadContext& context,
                  SheetOrigin& origin, size_t partBytes)
      : part_(part),
        sheet_(sheet),
        context_(context),
        origin_(origin),
        sharedCharsLimit_(kSharedFormulaBaseChars + kSharedFormulaCharsPerByte * partBytes) {}

  void readRow(const pugi::xml_node& row) {
    if (auto r = row.attribute("r")) {
      row_ = parseIndex(r.value(), kMaxRows, part_, "row");
    } else if (auto first = childNamed(row, "c").attribute("r")) {
      // A row without its number is the row its first cell names.
      int32_t column = 0;
      parseCellName(first.value(), row_, column);
    } else {
      ++row_;
      if (row_ >= kMaxRows) fail(part_, "has more rows than a sheet holds");
    }
    RowFormat format;
    if (row.attribute("customHeight").as_bool()) format.height = row.attribute("ht").as_double();
    if (format.height &&
        (!std::isfinite(*format.height) || *format.height < 0 || *format.height > 409.5)) {
      format.height.reset();
    }
    format.hidden = row.attribute("hidden").as_bool();
    format.outlineLevel = outlineLevel(row);
    format.collapsed = row.attribute("collapsed").as_bool();
    if (row.attribute("customFormat").as_bool()) format.style = style(row.attribute("s"));
    if (!(format == RowFormat{})) sheet_.setRowFormat(row_, format);
    // spans is only a hint for readers and goes stale as cells change, so it is not kept; s
    // counts only with customFormat.
    keepLineAttributes(origin_.rowAttributes, row_, row_,
                       attributesNotIn(row, {"r", "spans", "s", "hidden", "outlineLevel",
                                             "collapsed", "customFormat", "customHeight",
                                             format.height ? "ht" : "customHeight"}));
    column_ = -1;
    for (pugi::xml_node cell : row.children()) {
      if (cell.type() == pugi::node_element && localName(cell) == "c") readCell(cell);
    }
  }

 private:
  uint32_t style(const pugi::xml_attribute& attribute) const {
    if (!attribute) return 0;
    const unsigned index = attribute.as_uint(UINT32_MAX);
    if (index >= context_.styleMapping.size()) {
      if (index == 0 && context_.styleMapping.empty()) return 0;
      fail(part_, "names a cell format that the styles part does not have");
    }
    return context_.styleMapping[index];
  }

  void readCell(const pugi::xml_node& cell) {
    if (auto r = cell.attribute("r")) {
      int32_t row = 0;
      parseCellName(r.value(), row, column_);
      if (row != row_)
        fail(part_, "has a cell outside its row (\"" + std::string(r.value()) + "\")");
    } else if (++column_ >= kMaxColumns) {
      fail(part_, "has more cells in a row than a sheet holds");
    }
    const std::string_view type = cell.attribute("t").value();
    const pugi::xml_node valueNode = childNamed(cell, "v");
    const std::string_view raw = valueNode.text().get();
    const bool blank = raw.find_first_not_of(" \t\r\n") == std::string_view::npos;
    CellValue value;
    if (type == "inlineStr") {
      std::u16string text = stringItemText(childNamed(cell, "is"));
      if (!text.empty()) value = CellValue::fromText(std::move(text));
    } else if (type == "str" && valueNode) {
      value = CellValue::fromText(decodeXmlString(raw));  // a formula's text, possibly ""
    } else if (blank) {
      // no value (some writers leave an empty <v> for a formula they did not calculate)
    } else if (type == "s") {
      const double at = parseNumber(raw, part_);
      if (at < 0 || at != std::floor(at)) fail(part_, "names a shared string that does not exist");
      // An index past the table holds nothing (applications show an empty cell).
      if (at < static_cast<double>(context_.sharedStrings.size())) {
        value = CellValue::fromText(context_.sharedStrings[static_cast<size_t>(at)]);
      }
    } else if (type == "b") {
      value = CellValue::fromBoolean(raw == "1" || raw == "true");
    } else if (type == "e") {
      value = CellValue::fromError(fromUtf8(raw));
    } else if (type == "d") {
      value = CellValue::fromNumber(isoDateSerial(raw, part_));
    } else {
      value = CellValue::fromNumber(parseNumber(raw, part_));
    }
    const std::u16string formula = formulaOf(childNamed(cell, "f"));
    const RangeRef at = cellRef(row_, column_);
    if (!formula.empty()) {
      sheet_.setFormula(at, formula);
      sheet_.setCachedValue(row_, column_, value);
    } else if (!value.isEmpty()) {
      sheet_.setValue(at, value);
    }
    const uint32_t styleIndex = style(cell.attribute("s"));
    if (styleIndex != 0 || !formula.empty() || !value.isEmpty()) {
      sheet_.setStyleIndex(row_, column_, styleIndex);
    }
  }

  std::u16string formulaOf(const pugi::xml_node& node) {
    if (!node) return {};
    const std::string_view type = node.attribute("t").value();
    std::u16string text = formula::withoutFunctionPrefixes(decodeXmlString(node.text().get()));
    if (type == "shared") {
      const std::string si = node.attribute("si").value();
      if (!text.empty()) {
        shared_[si] = {text, row_, column_};
        return text;
      }
      auto master = shared_.find(si);
      if (master == shared_.end()) return {};  // the master was lost: keep the cached value
      std::u16string copy = translateFormula(master->second.formula, row_ - master->second.row,
                                             column_ - master->second.column);
      sharedChars_ += copy.size();
      if (sharedChars_ > sharedCharsLimit_) {
        fail(part_,
             "has shared formulas that expand to more formula text than this engine holds (over " +
                 std::to_string(sharedCharsLimit_) + " characters for this part)");
      }
      return copy;
    }
    if (type == "array" && !text.empty()) {
      origin_.arrays.push_back({row_, column_, node.attribute("ref").value(), text});
    }
    if (type == "dataTable") return {};  // what-if tables are recalculated by their owner
    return text;
  }

  const std::string& part_;
  Sheet& sheet_;
  const SheetReadContext& context_;
  SheetOrigin& origin_;
  int32_t row_ = -1;
  int32_t column_ = -1;
  std::map<std::string, SharedFormula> shared_;
  const size_t sharedCharsLimit_;
  size_t sharedChars_ = 0;
};

void readColumns(const pugi::xml_node& cols, Sheet& sheet, const SheetReadContext& context,
                 const std::string& part, SheetOrigin& origin) {
  int64_t span = 0;
  for (pugi::xml_node col : cols.children()) {
    if (localName(col) != "col") continue;
    const int32_t first = parseIndex(col.attribute("min").value(), kMaxColumns, part, "column");
    const int32_t last = parseIndex(col.attribute("max").value(), kMaxColumns, part, "column");
    if (last < first) fail(part, "has a column range that ends before it starts");
    // Column ranges may not overlap, so all of them together cover the width at most once.
    span += last - first + 1;
    if (span > kMaxColumns) fail(part, "has overlapping column ranges");
    ColumnFormat format;
    const double width = col.attribute("width").as_double(-1);
    if (col.attribute("customWidth").as_bool() && width >= 0 && width <= 255) format.width = width;
    format.hidden = col.attribute("hidden").as_bool();
    format.outlineLevel = outlineLevel(col);
    format.collapsed = col.attribute("collapsed").as_bool();
    if (auto s = col.attribute("style")) {
      const unsigned index = s.as_uint(UINT32_MAX);
      if (index >= context.styleMapping.size())
        fail(part, "names a cell format that does not exist");
      format.style = context.styleMapping[index];
    }
    keepLineAttributes(
        origin.columnAttributes, first, last,
        attributesNotIn(col, {"min", "max", "style", "hidden", "outlineLevel", "collapsed",
                              "customWidth", format.width ? "width" : "customWidth"}));
    if (format == ColumnFormat{}) continue;
    for (int32_t column = first; column <= last; ++column) sheet.setColumnFormat(column, format);
  }
}

void readMerges(const pugi::xml_node& merges, Sheet& sheet) {
  std::vector<RangeRef> areas;
  for (pugi::xml_node merge : merges.children()) {
    if (localName(merge) != "mergeCell") continue;
    const std::string_view ref = merge.attribute("ref").value();
    const size_t colon = ref.find(':');
    if (colon == std::string_view::npos) continue;
    RangeRef area;
    parseCellName(ref.substr(0, colon), area.firstRow, area.firstColumn);
    parseCellName(ref.substr(colon + 1), area.lastRow, area.lastColumn);
    if (area.lastRow < area.firstRow) std::swap(area.firstRow, area.lastRow);
    if (area.lastColumn < area.firstColumn) std::swap(area.firstColumn, area.lastColumn);
    areas.push_back(area);
  }
  sheet.loadMerges(std::move(areas));
}

FreezePanes readFreeze(const pugi::xml_node& views) {
  const pugi::xml_node pane = childNamed(childNamed(views, "sheetView"), "pane");
  const std::string_view state = pane.attribute("state").value();
  if (state != "frozen" && state != "frozenSplit") return {};
  const double columns = pane.attribute("xSplit").as_double(0);
  const double rows = pane.attribute("ySplit").as_double(0);
  FreezePanes panes;
  if (columns >= 0 && columns < kMaxColumns) panes.columns = static_cast<int32_t>(columns);
  if (rows >= 0 && rows < kMaxRows) panes.rows = static_cast<int32_t>(rows);
  return panes;
}

}  // namespace

void parseCellName(std::string_view text, int32_t& row, int32_t& column) {
  size_t i = 0;
  int64_t col = 0;
  if (i < text.size() && text[i] == '$') ++i;
  while (i < text.size() &&
         ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
    col = col * 26 + ((text[i] | 0x20) - 'a' + 1);
    if (col > kMaxColumns) break;
    ++i;
  }
  if (i < text.size() && text[i] == '$') ++i;
  int64_t r = 0;
  const size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && r <= kMaxRows)
    r = r * 10 + (text[i++] - '0');
  if (col < 1 || col > kMaxColumns || i == digits || i != text.size() || r < 1 || r > kMaxRows) {
    throw std::runtime_error("the cell reference \"" + std::string(text.substr(0, 20)) +
                             "\" is not a cell of the sheet (A1 to XFD1048576)");
  }
  row = static_cast<int32_t>(r - 1);
  column = static_cast<int32_t>(col - 1);
}

void readWorksheet(std::string_view xml, const std::string& partName, Sheet& sheet,
                   const SheetReadContext& context, SheetOrigin& origin) {
  // The root's prefix, if it has one, is the prefix of every element of the main namespace.
  size_t root = xml.find('<');
  while (root != std::string_view::npos && root + 1 < xml.size() &&
         (xml[root + 1] == '?' || xml[root + 1] == '!')) {
    root = xml.find('<', root + 1);
  }
  if (root == std::string_view::npos) fail(partName, "is empty");
  const size_t rootNameEnd = xml.find_first_of(" \t\r\n>/", root);
  const std::string_view rootName = xml.substr(root + 1, rootNameEnd - root - 1);
  const size_t colon = rootName.find(':');
  const std::string prefix =
      colon == std::string_view::npos ? "" : std::string(rootName.substr(0, colon + 1));

  std::string_view rows;
  std::string skeleton;
  const size_t open = findTag(xml, "<" + prefix + "sheetData", root);
  if (open == std::string_view::npos) {
    skeleton = xml;
  } else {
    const size_t openEnd = xml.find('>', open);
    if (openEnd == std::string_view::npos) fail(partName, "is cut short");
    if (xml[openEnd - 1] == '/') {
      skeleton = xml;
    } else {
      const std::string closeTag = "</" + prefix + "sheetData>";
      const size_t close = xml.find(closeTag, openEnd);
      if (close == std::string_view::npos) fail(partName, "is cut short inside <sheetData>");
      rows = xml.substr(openEnd + 1, close - openEnd - 1);
      skeleton.reserve(xml.size() - rows.size());
      skeleton.append(xml.substr(0, openEnd + 1)).append(xml.substr(close));
    }
  }

  const pugi::xml_document document = parseXmlPart(skeleton, partName);
  const pugi::xml_node worksheet = document.document_element();
  for (pugi::xml_attribute attribute : worksheet.attributes()) {
    origin.rootAttributes.emplace_back(attribute.name(), attribute.value());
  }
  for (pugi::xml_node child : worksheet.children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view name = localName(child);
    if (name == "cols") readColumns(child, sheet, context, partName, origin);
    if (name == "mergeCells") readMerges(child, sheet);
    if (name == "sheetViews") origin.freeze = readFreeze(child);
    if (name == "sheetPr") readSheetProperties(child, sheet);
    if (name == "sheetProtection") readSheetProtection(child, sheet);
    if (name == "sheetViews") readSheetView(child, sheet);
    if (name == "sheetFormatPr") readSheetFormatProperties(child, sheet);
    if (name == "pageMargins" || name == "pageSetup" || name == "headerFooter")
      readPageSetup(child, sheet);
    if (name == "printOptions")
      sheet.settings().printGridLines = child.attribute("gridLines").as_bool();
    if (name != "sheetData") origin.elements.emplace_back(std::string(name), xmlOf(child));
  }
  if (origin.freeze.rows > 0 || origin.freeze.columns > 0) sheet.setFreezePanes(origin.freeze);
  origin.settings = sheet.settings();

  SheetDataReader reader(partName, sheet, context, origin, xml.size());
  const std::string rowTag = "<" + prefix + "row";
  size_t start = 0;
  while (start < rows.size()) {
    size_t end = rows.size();
    if (rows.size() - start > kSliceBytes) {
      end = findTag(rows, rowTag, start + kSliceBytes);
      if (end == std::string_view::npos) end = rows.size();
    }
    const pugi::xml_document slice = parseXmlFragment(rows.substr(start, end - start), partName);
    for (pugi::xml_node row : slice.children()) {
      if (row.type() == pugi::node_element && localName(row) == "row") reader.readRow(row);
    }
    start = end;
  }
}

}  // namespace sx
