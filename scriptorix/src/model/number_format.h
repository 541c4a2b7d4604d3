#pragma once

#include <string>
#include <string_view>

#include "formula/date_serial.h"
#include "model/cell_value.h"

namespace sx {

// The shortest text that reads back as exactly the same double ("0.1", "1e+21").
std::u16string formatRoundTripNumber(double value);

// A value shown through a number format code (formula::renderNumberFormat, the renderer TEXT()
// uses). Booleans show TRUE/FALSE, errors their text, text through the format's text section.
std::u16string formatCellValue(const CellValue& value, std::u16string_view formatCode,
                               formula::DateSystem dates = formula::DateSystem::From1900);

}  // namespace sx
