#pragma once

#include <cstdint>

#include "formula/date_serial.h"
#include "formula/evaluator.h"

namespace sx::formula {

// The last serial a date can have: 9999-12-31.
inline constexpr double kLastSerial = 2958465;

inline DateSystem systemOf(CallArgs& args) { return args.evaluator().context().dateSystem(); }

// The argument as a day, a serial on the 1900 date system whatever the workbook's;
// negative days and days past 9999 are #NUM!.
int64_t serialArgument(CallArgs& args, std::size_t i);
// A serial of the workbook's date system as a day on the 1900 system, under the same limits
// (for days not given as one argument, such as lists of holidays).
int64_t serialOf(double workbookSerial, DateSystem system);

// A day (a 1900 serial) as the workbook counts it; outside the calendar #NUM!.
Value dateResult(CallArgs& args, int64_t serial);

}  // namespace sx::formula
