#include "model/date_serial.h"

#include <cmath>

namespace sx {

namespace {
// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(int64_t days, int32_t& year, int32_t& month, int32_t& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<int64_t>(days - era * 146097);
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int32_t>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int32_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}
}  // namespace

DateTimeParts dateTimeFromSerial(double serial) {
  DateTimeParts parts;
  const auto totalSeconds = static_cast<int64_t>(std::llround(serial * 86400.0));
  parts.totalSeconds = totalSeconds;
  const int64_t days = totalSeconds / 86400;
  const int64_t secondOfDay = totalSeconds % 86400;
  parts.hour = static_cast<int32_t>(secondOfDay / 3600);
  parts.minute = static_cast<int32_t>(secondOfDay / 60 % 60);
  parts.second = static_cast<int32_t>(secondOfDay % 60);
  parts.weekday = static_cast<int32_t>((days + 6) % 7);
  if (days == 0) {
    parts.year = 1900, parts.month = 1, parts.day = 0;  // shown as 1900-01-00
  } else if (days == 60) {
    parts.year = 1900, parts.month = 2, parts.day = 29;
  } else {
    // 25569 is 1970-01-01; below the phantom day the count runs one day behind.
    civilFromDays(days - (days < 60 ? 25568 : 25569), parts.year, parts.month, parts.day);
  }
  return parts;
}

}  // namespace sx
