#include "formula/date_serial.h"

namespace sx::formula {
namespace {

// Days from 1970-01-01 to a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(int64_t z) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp + (mp < 10 ? 3 : -9);
  return {int32_t(y + (m <= 2)), int32_t(m), int32_t(d)};
}

const int64_t kDay1899_12_30 = daysFromCivil(1899, 12, 30);

}  // namespace

CivilDate serialToDate(int64_t serial) {
  if (serial == 60) return {1900, 2, 29};
  if (serial == 0) return {1900, 1, 0};
  if (serial < 60) return civilFromDays(kDay1899_12_30 + serial + 1);
  return civilFromDays(kDay1899_12_30 + serial);
}

int64_t dateToSerial(int64_t year, int64_t month, int64_t day) {
  // Roll the month into the year first, then count days from the first of that month.
  int64_t monthIndex = year * 12 + (month - 1);
  int64_t y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
  int64_t m = monthIndex - y * 12 + 1;
  int64_t serial = daysFromCivil(y, m, 1) + (day - 1) - kDay1899_12_30;
  // Serials up to 1900-02-28 are one lower because of the phantom 29th.
  if (serial < 61) serial -= 1;
  if (y == 1900 && m == 2 && day == 29) serial = 60;
  return serial;
}

int32_t daysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

int32_t weekdayOfSerial(int64_t serial) {
  // Serial 1 (1900-01-01) is a Sunday in the 1900 system's reckoning.
  int64_t w = (serial - 1) % 7;
  return int32_t(w < 0 ? w + 7 : w);
}

}  // namespace sx::formula
