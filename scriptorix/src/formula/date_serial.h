#pragma once

#include <cstdint>

namespace sx::formula {

// Workbooks count days from 1900 (serial 1 is 1900-01-01) or, as some files say, from 1904
// (serial 0 is 1904-01-01). Functions and formats work on 1900 serials; a 1904 serial plus
// k1904Offset is the 1900 serial of the same day.
enum class DateSystem { From1900, From1904 };
inline constexpr int64_t k1904Offset = 1462;
inline double to1900Serial(double serial, DateSystem system) {
  return system == DateSystem::From1904 ? serial + double(k1904Offset) : serial;
}
inline double from1900Serial(double serial, DateSystem system) {
  return system == DateSystem::From1904 ? serial - double(k1904Offset) : serial;
}

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
