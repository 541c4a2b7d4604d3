#pragma once

#include <JavaScriptCore/JavaScript.h>

namespace sx {

// A script's Date as a 1900-system serial, taken from its local date and time (what getFullYear,
// getHours and the like show): a spreadsheet date has no time zone. An invalid Date, or one
// before 1900-01-01 or after 9999-12-31, throws std::out_of_range.
double dateToSerialValue(JSContextRef context, JSValueRef date);

// The Date whose local date and time are those of the serial (to the millisecond). Serial 60,
// the 1900-02-29 that never was, reads as 1900-03-01.
JSValueRef serialToDateValue(JSContextRef context, double serial);

}  // namespace sx
