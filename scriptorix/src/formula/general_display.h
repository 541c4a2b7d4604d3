#pragma once

#include <string>

namespace sx::formula {

// A number as a cell in the General format shows it: at most 11 characters of digits, sign,
// point and exponent, like a default-width column ("0.1", "1234567", "1.23457E+11", "1E-10").
// TEXT(x, "General") is not limited so (renderNumberFormat).
std::u16string renderCellGeneral(double value);

}  // namespace sx::formula
