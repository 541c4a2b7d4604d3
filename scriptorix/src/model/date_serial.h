#pragma once

#include <cstdint>

namespace sx {

// Serial day numbers of the 1900 date system: 1 is 1900-01-01, 60 the phantom 1900-02-29 that
// Lotus 1-2-3 counted and spreadsheets keep, 61 is 1900-03-01. The fraction is the time of day.
struct DateTimeParts {
  int32_t year = 1900;
  int32_t month = 1;
  int32_t day = 0;
  int32_t weekday = 0;  // 0 Sunday .. 6 Saturday
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int64_t totalSeconds = 0;  // the whole serial in seconds, for elapsed-time codes
};

inline constexpr double kMaxDateSerial = 2958466;  // 10000-01-01

// `serial` must lie in [0, kMaxDateSerial); time is rounded to the nearest second.
DateTimeParts dateTimeFromSerial(double serial);

}  // namespace sx
