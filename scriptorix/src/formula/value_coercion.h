#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formula/date_serial.h"
#include "formula/formula_value.h"

namespace sx::formula {

// Thrown by the coercions below and caught where a function or operator returns its value.
struct FormulaError {
  ErrorCode code;
};

// Text as arithmetic reads it: " 12 ", "1.5e3", "-4", "50%", "1,234.5", "$1,234.50", "(5)",
// "10:30", "10:30 PM"; nullopt otherwise.
std::optional<double> parseNumericText(std::u16string_view text);
// As above, and a date ("2024-03-01", "3 Jan 2024 10:30") as a serial of `system`.
std::optional<double> parseNumericText(std::u16string_view text, DateSystem system);

// Number, TRUE as 1, empty as 0, numeric text; an error value or other text throws.
double toNumber(const Scalar& value);
// As above, reading date texts too, as serials of `system`.
double toNumber(const Scalar& value, DateSystem system);
// As text: numbers in the General style, TRUE/FALSE, empty as "".
std::u16string toText(const Scalar& value);
// Numbers (non-zero), booleans, "TRUE"/"FALSE" text, empty as FALSE.
bool toBoolean(const Scalar& value);

// A number as a spreadsheet shows it under General in a formula: up to 15 significant digits,
// exponent form outside 1e-9 .. 1e15.
std::u16string numberToText(double value);

// Spreadsheet ordering for comparisons: numbers < texts (ignoring case) < booleans; an empty
// cell reads as 0, "" or FALSE to match the other side. Returns <0, 0 or >0.
int compareScalars(const Scalar& left, const Scalar& right);

std::u16string upperCase(std::u16string_view text);
std::u16string lowerCase(std::u16string_view text);

// The number a result must be: NaN or an infinity is #NUM!.
Scalar numberResult(double value);

}  // namespace sx::formula
