#include <algorithm>
#include <stdexcept>
#include <string>

#include "io/csv.h"
#include "core/utf.h"

namespace sx {

namespace {
void appendField(std::string& out, const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}
}  // namespace

void writeCsv(const Sheet& sheet, const std::function<void(std::string_view)>& write,
              uint64_t maxBytes) {
  // Records are gathered up to about this size before they are handed on.
  constexpr size_t kPieceBytes = size_t{64} << 10;
  int32_t lastRow = -1, lastColumn = -1;
  for (int32_t row = 0; row < sheet.rowLimit(); ++row) {
    for (const StoredCell& cell : sheet.rowCells(row)) {
      if (cell.kind == CellValue::Kind::Empty) continue;
      lastRow = row;
      lastColumn = std::max(lastColumn, cell.column);
    }
  }
  std::string out;
  uint64_t total = 0;
  const auto hand = [&] {
    total += out.size();
    if (total > maxBytes) {
      throw std::length_error("the CSV text would be larger than " + std::to_string(maxBytes) +
                              " bytes, more than a file the engine opens");
    }
    write(out);
    out.clear();
  };
  for (int32_t row = 0; row <= lastRow; ++row) {
    int32_t column = 0;
    for (const StoredCell& cell : sheet.rowCells(row)) {
      if (cell.kind == CellValue::Kind::Empty) continue;
      for (; column < cell.column; ++column) out += ',';
      appendField(out, toUtf8(sheet.displayText(row, cell.column)));
    }
    for (; column < lastColumn; ++column) out += ',';
    out += '\n';
    if (out.size() >= kPieceBytes) hand();
  }
  if (!out.empty()) hand();
}

}  // namespace sx
