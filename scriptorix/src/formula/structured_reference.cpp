#include "formula/structured_reference.h"

#include <algorithm>

#include "core/text_case.h"
#include "formula/character_classes.h"

namespace sx::formula {
namespace {

// Rows the keywords pick, as flags; none given means the data rows.
enum RowPart : unsigned { kHeaders = 1, kData = 2, kTotals = 4, kThisRow = 8 };

struct Items {
  unsigned rows = 0;
  std::vector<std::pair<std::u16string, std::u16string>> columns;  // first and last of each span
};

std::u16string_view trimmed(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string unescaped(std::u16string_view name) {
  std::u16string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == u'\'' && i + 1 < name.size()) ++i;
    out.push_back(name[i]);
  }
  return out;
}

bool keyword(std::u16string_view item, unsigned& rows) {
  static constexpr std::pair<std::u16string_view, unsigned> kKeywords[] = {
      {u"#All", kHeaders | kData | kTotals},
      {u"#Data", kData},
      {u"#Headers", kHeaders},
      {u"#Totals", kTotals},
      {u"#This Row", kThisRow}};
  for (const auto& [word, part] : kKeywords) {
    if (equalsIgnoringCase(item, word)) {
      rows |= part;
      return true;
    }
  }
  return false;
}

// The index after the "]" closing the "[" at `at`, or npos.
std::size_t closingBracket(std::u16string_view text, std::size_t at) {
  int depth = 0;
  for (std::size_t i = at; i < text.size(); ++i) {
    if (text[i] == u'\'') {
      ++i;
    } else if (text[i] == u'[') {
      ++depth;
    } else if (text[i] == u']' && --depth == 0) {
      return i + 1;
    }
  }
  return std::u16string_view::npos;
}

// "[#Totals],[Amount]", "[Col1]:[Col3]", "@[Amount]", "Amount", "#All".
std::optional<Items> parseItems(std::u16string_view inner) {
  Items items;
  inner = trimmed(inner);
  if (!inner.empty() && inner.front() == u'@') {
    items.rows = kThisRow;
    inner = trimmed(inner.substr(1));
    if (inner.empty()) return items;
  }
  if (inner.empty() || inner.front() != u'[') {
    if (inner.empty()) return items;
    if (!keyword(inner, items.rows)) items.columns.emplace_back(unescaped(inner), unescaped(inner));
    return items;
  }
  std::size_t i = 0;
  while (i < inner.size()) {
    const std::size_t end = closingBracket(inner, i);
    if (end == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view first = inner.substr(i + 1, end - i - 2);
    i = end;
    while (i < inner.size() && isBlank(inner[i])) ++i;
    if (i < inner.size() && inner[i] == u':') {
      while (++i < inner.size() && isBlank(inner[i])) {
      }
      if (i >= inner.size() || inner[i] != u'[') return std::nullopt;
      const std::size_t lastEnd = closingBracket(inner, i);
      if (lastEnd == std::u16string_view::npos) return std::nullopt;
      items.columns.emplace_back(unescaped(first), unescaped(inner.substr(i + 1, lastEnd - i - 2)));
      i = lastEnd;
    } else if (!keyword(first, items.rows)) {
      items.columns.emplace_back(unescaped(first), unescaped(first));
    }
    while (i < inner.size() && isBlank(inner[i])) ++i;
    if (i == inner.size()) break;
    if (inner[i] != u',') return std::nullopt;
    while (++i < inner.size() && isBlank(inner[i])) {
    }
    if (i >= inner.size() || inner[i] != u'[') return std::nullopt;
  }
  return items;
}

std::optional<int32_t> columnIndex(const TableShape& table, std::u16string_view name) {
  for (std::size_t k = 0; k < table.columns.size(); ++k) {
    if (equalsIgnoringCase(table.columns[k], name)) return static_cast<int32_t>(k);
  }
  return std::nullopt;
}

}  // namespace

std::size_t matchStructuredReference(std::u16string_view text, std::size_t at) {
  std::size_t i = at;
  while (i < text.size() && isNameChar(text[i])) ++i;
  if (i > at && !isNameStart(text[at])) return 0;
  if (i >= text.size() || text[i] != u'[') return 0;
  const std::size_t end = closingBracket(text, i);
  if (end == std::u16string_view::npos) return 0;
  // "[1]Sheet1!A1" names another workbook, not a table.
  const std::u16string_view inner = text.substr(i + 1, end - i - 2);
  if (i == at &&
      std::all_of(inner.begin(), inner.end(), [](char16_t c) { return isAsciiDigit(c); }))
    return 0;
  return end - at;
}

std::optional<StructuredReference> splitStructuredReference(std::u16string_view text) {
  if (text.empty() || text.back() != u']') return std::nullopt;
  const std::size_t open = text.find(u'[');
  if (open == std::u16string_view::npos || matchStructuredReference(text, 0) != text.size())
    return std::nullopt;
  return StructuredReference{std::u16string(text.substr(0, open)),
                             std::u16string(text.substr(open + 1, text.size() - open - 2))};
}

std::optional<Area> resolveStructuredReference(std::u16string_view specifier,
                                               const TableShape& table, int32_t row) {
  const auto items = parseItems(specifier);
  if (!items) return std::nullopt;
  Area area = table.area;
  if (!items->columns.empty()) {
    int32_t low = INT32_MAX, high = -1;
    for (const auto& [first, last] : items->columns) {
      const auto a = columnIndex(table, first), b = columnIndex(table, last);
      if (!a || !b) return std::nullopt;
      low = std::min({low, *a, *b});
      high = std::max({high, *a, *b});
    }
    area.firstColumn = table.area.firstColumn + low;
    area.lastColumn = table.area.firstColumn + high;
  }
  const int32_t dataFirst = table.area.firstRow + table.headerRows;
  const int32_t dataLast = table.area.lastRow - table.totalsRows;
  const unsigned rows = items->rows ? items->rows : unsigned{kData};
  if (rows & kThisRow) {
    if (rows != kThisRow) return std::nullopt;
    if (row < 0) {
      area.firstRow = dataFirst;
      area.lastRow = dataLast;
    } else {
      if (row < dataFirst || row > dataLast) return std::nullopt;
      area.firstRow = area.lastRow = row;
    }
    return area;
  }
  if (rows == (kHeaders | kData | kTotals)) return area;
  // The keywords name adjacent parts: headers, data, totals, top to bottom.
  if ((rows & kHeaders) && !table.headerRows) return std::nullopt;
  if ((rows & kTotals) && !table.totalsRows) return std::nullopt;
  if (rows == (kHeaders | kTotals)) return std::nullopt;
  area.firstRow = (rows & kHeaders) ? table.area.firstRow
                  : (rows & kData)  ? dataFirst
                                    : dataLast + 1;
  area.lastRow = (rows & kTotals) ? table.area.lastRow : (rows & kData) ? dataLast : dataFirst - 1;
  if (area.lastRow < area.firstRow) return std::nullopt;
  return area;
}

}  // namespace sx::formula
