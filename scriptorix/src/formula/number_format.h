#pragma once

#include <string>
#include <string_view>

#include "formula/date_serial.h"
#include "formula/formula_value.h"

namespace sx::formula {

// Renders a value through a spreadsheet number format code, as TEXT() and a cell's displayed
// text do: sections "pos;neg;zero;text", "0 # ? . , %", exponents "0.00E+00", quoted and
// backslash literals, "@", "General", and dates and times "yyyy yy mmmm mmm mm m dddd ddd dd d
// hh h mm ss AM/PM". Colours and conditions in brackets are skipped; "[h]" gives elapsed hours.
std::u16string renderNumberFormat(const Scalar& value, std::u16string_view format,
                                  DateSystem system = DateSystem::From1900);

}  // namespace sx::formula
