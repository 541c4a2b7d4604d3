#pragma once

#include <string>
#include <string_view>

#include "model/cell_value.h"

namespace sx {

// A number as the General format shows it: at most 11 characters of digits, sign, point and
// exponent, like a default-width column in Excel ("0.1", "1234567", "1.23457E+11", "1E-10").
std::u16string formatGeneralNumber(double value);

// The shortest text that reads back as exactly the same double ("0.1", "1e+21").
std::u16string formatRoundTripNumber(double value);

// A value shown through a number format code: 0, 0.00, #,##0, 0%, 0.00E+00, "@", quoted
// literals, up to four ";" sections, [Red]-style colour tags (ignored) and date/time codes on
// the 1900 date system. Booleans show TRUE/FALSE, errors their text, text through the
// format's text section.
std::u16string formatCellValue(const CellValue& value, std::u16string_view formatCode);

}  // namespace sx
