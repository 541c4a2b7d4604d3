#include <algorithm>

#include "io/csv.h"
#include "model/utf.h"

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

void writeCsv(const Sheet& sheet, const std::function<void(std::string_view)>& write) {
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
  for (int32_t row = 0; row <= lastRow; ++row) {
    int32_t column = 0;
    for (const StoredCell& cell : sheet.rowCells(row)) {
      if (cell.kind == CellValue::Kind::Empty) continue;
      for (; column < cell.column; ++column) out += ',';
      appendField(out, toUtf8(sheet.displayText(row, cell.column)));
    }
    for (; column < lastColumn; ++column) out += ',';
    out += '\n';
    if (out.size() >= kPieceBytes) {
      write(out);
      out.clear();
    }
  }
  if (!out.empty()) write(out);
}

}  // namespace sx
