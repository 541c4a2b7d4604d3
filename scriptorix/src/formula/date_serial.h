#pragma once

#include <cstdint>

namespace sx::formula {

struct CivilDate {
  int32_t year;
  int32_t month;  // 1..12
  int32_t day;    // 1..31
};

// The 1900 date system: serial 1 is 1900-01-01 and serial 60 the 1900-02-29 that never was,
// kept so that serials agree with other spreadsheets; serial 0 reads as 1900-01-00.
CivilDate serialToDate(int64_t serial);
// Month and day may overflow or be zero/negative and roll over, as DATE() allows.
int64_t dateToSerial(int64_t year, int64_t month, int64_t day);
// Days in a month of a real calendar year.
int32_t daysInMonth(int32_t year, int32_t month);
// 0 = Sunday .. 6 = Saturday.
int32_t weekdayOfSerial(int64_t serial);

}  // namespace sx::formula
