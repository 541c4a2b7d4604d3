#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "io/csv.h"
#include "core/text_case.h"
#include "core/utf.h"

namespace sx {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)? or -?.[0-9]+ : what a person writes as a number.
bool readsAsNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  const size_t integerStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  const size_t integerDigits = i - integerStart;
  if (integerDigits > 1 && text[integerStart] == '0') return false;
  size_t fractionDigits = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    const size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    fractionDigits = i - start;
    if (fractionDigits == 0) return false;
  }
  if (integerDigits == 0 && fractionDigits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == start) return false;
  }
  return i == text.size();
}

void storeField(Sheet& sheet, int32_t row, int32_t column, const std::string& field) {
  if (field.empty()) return;
  if (row >= kMaxRows || column >= kMaxColumns) {
    throw std::runtime_error(
        "The CSV file has more rows or columns than a sheet holds "
        "(1048576 rows, 16384 columns)");
  }
  const RangeRef cell = cellRef(row, column);
  if (readsAsNumber(field)) {
    errno = 0;
    const double number = std::strtod(field.c_str(), nullptr);
    if (std::isfinite(number) && errno != ERANGE) {
      sheet.setNumber(cell, number);
      return;
    }
  }
  const std::u16string text = fromUtf8(field);
  if (equalsAsciiIgnoringCase(text, "true") || equalsAsciiIgnoringCase(text, "false")) {
    sheet.setBoolean(cell, foldCase(text[0]) == u't');
    return;
  }
  sheet.setValue(cell, CellValue::fromText(text));
}

}  // namespace

void readCsv(std::string_view bytes, Sheet& sheet) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  int32_t row = 0, column = 0;
  std::string field;
  size_t i = 0;
  bool pending = false;  // a record has started and not been stored
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == '"' && field.empty()) {
      const size_t opened = i++;
      while (true) {
        if (i >= bytes.size()) {
          throw std::runtime_error("Malformed CSV: the quoted field that starts at byte " +
                                   std::to_string(opened + 1) + " is never closed");
        }
        if (bytes[i] == '"') {
          if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += bytes[i++];
      }
      pending = true;
      continue;
    }
    if (c == ',') {
      storeField(sheet, row, column, field);
      field.clear();
      ++column;
      pending = true;
      ++i;
    } else if (c == '\n' || c == '\r') {
      storeField(sheet, row, column, field);
      field.clear();
      column = 0;
      ++row;
      pending = false;
      i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    } else {
      field += c;
      pending = true;
      ++i;
    }
  }
  if (pending) storeField(sheet, row, column, field);
}

}  // namespace sx
