#pragma once

#include <optional>
#include <string_view>

namespace sx::formula {

// A date, a time or both as a user types them and a spreadsheet reads them in arithmetic,
// VALUE and DATEVALUE: "2024-03-01", "3/1/2024" (month first), "1 Mar 2024", "Mar 1, 2024",
// "10:30", "10:30:15.5", "10:30 PM", "10 PM", "2024-03-01 10:30". Two-digit years 00-29 are
// 2000-2029, 30-99 are 1930-1999. Gives a 1900 serial (time as its fraction); nullopt when
// the text is neither. Texts without a year (that need today's) are not read.
struct DateTimeText {
  double serial;
  bool hasDate;
  bool hasTime;
};
std::optional<DateTimeText> parseDateTimeText(std::u16string_view text);

}  // namespace sx::formula
