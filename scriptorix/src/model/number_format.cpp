#include "model/number_format.h"

#include <charconv>

#include "formula/general_display.h"
#include "formula/number_format.h"
#include "core/text_case.h"
#include "core/utf.h"

namespace sx {

std::u16string formatRoundTripNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return fromUtf8(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

std::u16string formatCellValue(const CellValue& value, std::u16string_view formatCode,
                               formula::DateSystem dates) {
  // Cells and TEXT() share the formula library's renderer, so a cell shows what TEXT() gives.
  switch (value.kind) {
    case CellValue::Kind::Empty:
      return {};
    case CellValue::Kind::Boolean:
      return value.boolean ? u"TRUE" : u"FALSE";
    case CellValue::Kind::Error:
      return value.text;
    case CellValue::Kind::Text:
      return formula::renderNumberFormat(formula::Scalar::fromText(value.text), formatCode);
    case CellValue::Kind::Number:
      break;
  }
  // A cell in General is as wide as a default column; TEXT(x, "General") is not.
  if (formatCode.empty() || equalsAsciiIgnoringCase(formatCode, "general")) {
    return formula::renderCellGeneral(value.number);
  }
  return formula::renderNumberFormat(formula::Scalar::fromNumber(value.number), formatCode, dates);
}

}  // namespace sx
