#pragma once

#include <string>
#include <string_view>

#include "formula/date_serial.h"
#include "formula/formula_value.h"

namespace sx::formula {

// Renders a value through a spreadsheet number format code, as TEXT() and a cell's displayed
// text do: sections "pos;neg;zero;text", "0 # ? . , %", exponents "0.00E+00", quoted and
// backslash literals, "@", "General", and dates and times "yyyy yy mmmm mmm mm m dddd ddd dd d
// hh h mm ss AM/PM", "ss.00", fractions "# ?/?" and "# ?/16". Colours in brackets are skipped,
// conditions ("[>=100]") choose the section, "[h]", "[m]" and "[s]" give elapsed time.
std::u16string renderNumberFormat(const Scalar& value, std::u16string_view format,
                                  DateSystem system = DateSystem::From1900);

}  // namespace sx::formula
