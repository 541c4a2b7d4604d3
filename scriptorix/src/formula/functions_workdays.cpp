#include <algorithm>
#include <vector>

#include "formula/date_arguments.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// Which weekdays are off: bit 0 Sunday .. bit 6 Saturday.
using WeekendMask = unsigned;
constexpr WeekendMask kSaturdaySunday = 0b1000001;

// The weekend argument: a code (1-7 two days, 11-17 one day) or seven 0/1 characters from
// Monday on; a week that is all weekend is refused.
WeekendMask weekendArgument(CallArgs& args, std::size_t i) {
  if (args.isMissing(i)) return kSaturdaySunday;
  const Scalar given = args.scalar(i);
  if (given.isText()) {
    if (given.text.size() != 7) throw FormulaError{ErrorCode::Value};
    WeekendMask mask = 0;
    for (std::size_t day = 0; day < 7; ++day) {
      const char16_t c = given.text[day];
      if (c != u'0' && c != u'1') throw FormulaError{ErrorCode::Value};
      if (c == u'1') mask |= 1u << ((day + 1) % 7);
    }
    if (mask == 0b1111111) throw FormulaError{ErrorCode::Value};
    return mask;
  }
  const int64_t code = toInteger(toNumber(given));
  if (code >= 1 && code <= 7) {
    // 1: Saturday and Sunday, 2: Sunday and Monday, ... 7: Friday and Saturday.
    const unsigned first = unsigned(code + 5) % 7;
    return (1u << first) | (1u << ((first + 1) % 7));
  }
  if (code >= 11 && code <= 17) return 1u << unsigned(code - 11);
  throw FormulaError{ErrorCode::Num};
}

// The holidays, sorted: numbers only (blanks skipped), as days.
std::vector<int64_t> holidaysArgument(CallArgs& args, std::size_t i) {
  std::vector<int64_t> days;
  if (args.isMissing(i)) return days;
  const DateSystem system = systemOf(args);
  forEachArgumentValue(
      args, i,
      [&](const Scalar& value, bool direct) {
        if (value.isError()) throw FormulaError{value.error};
        if (value.isEmpty()) return;
        if (!value.isNumber() && !direct) throw FormulaError{ErrorCode::Value};
        days.push_back(serialOf(toNumber(value, system), system));
      },
      i + 1);
  std::sort(days.begin(), days.end());
  return days;
}

struct WorkCalendar {
  WeekendMask weekend;
  std::vector<int64_t> holidays;

  bool isWorkday(int64_t serial) const {
    if (weekend & (1u << weekdayOfSerial(serial))) return false;
    return !std::binary_search(holidays.begin(), holidays.end(), serial);
  }
};

Value networkdays(CallArgs& args, const WorkCalendar& calendar) {
  const int64_t start = serialArgument(args, 0), end = serialArgument(args, 1);
  const int64_t from = std::min(start, end), to = std::max(start, end);
  int64_t count = 0;
  for (int64_t day = from; day <= to; ++day) count += calendar.isWorkday(day);
  return number(double(start <= end ? count : -count));
}

Value workday(CallArgs& args, const WorkCalendar& calendar) {
  int64_t day = serialArgument(args, 0);
  int64_t remaining = toInteger(args.number(1));
  const int64_t step = remaining < 0 ? -1 : 1;
  while (remaining != 0) {
    day += step;
    if (day < 1 || double(day) > kLastSerial) return Scalar::fromError(ErrorCode::Num);
    if (calendar.isWorkday(day)) remaining -= step;
  }
  return dateResult(args, day);
}

Value networkdaysPlain(CallArgs& args) {
  return networkdays(args, {kSaturdaySunday, holidaysArgument(args, 2)});
}
Value networkdaysIntl(CallArgs& args) {
  WeekendMask weekend = weekendArgument(args, 2);
  return networkdays(args, {weekend, holidaysArgument(args, 3)});
}
Value workdayPlain(CallArgs& args) {
  return workday(args, {kSaturdaySunday, holidaysArgument(args, 2)});
}
Value workdayIntl(CallArgs& args) {
  WeekendMask weekend = weekendArgument(args, 2);
  return workday(args, {weekend, holidaysArgument(args, 3)});
}

constexpr FunctionSpec kFunctions[] = {
    {u"NETWORKDAYS", 2, 3, networkdaysPlain},
    {u"NETWORKDAYS.INTL", 2, 4, networkdaysIntl},
    {u"WORKDAY", 2, 3, workdayPlain},
    {u"WORKDAY.INTL", 2, 4, workdayIntl},
};

}  // namespace

std::span<const FunctionSpec> workdayFunctions() { return kFunctions; }

}  // namespace sx::formula
