#include <cmath>

#include "formula/date_arguments.h"
#include "formula/date_serial.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value date(CallArgs& args) {
  int64_t year = toInteger(args.number(0));
  int64_t month = toInteger(args.number(1));
  int64_t day = toInteger(args.number(2));
  if (year < 0 || year >= 10000) return Scalar::fromError(ErrorCode::Num);
  if (year < 1900) year += 1900;
  if (std::llabs(month) > 120000 || std::llabs(day) > 4000000)
    return Scalar::fromError(ErrorCode::Num);
  return dateResult(args, dateToSerial(year, month, day));
}

Value year(CallArgs& args) { return number(serialToDate(serialArgument(args, 0)).year); }
Value month(CallArgs& args) { return number(serialToDate(serialArgument(args, 0)).month); }
Value day(CallArgs& args) { return number(serialToDate(serialArgument(args, 0)).day); }

double nowSerial(CallArgs& args) {
  return from1900Serial(args.evaluator().context().now(), systemOf(args));
}
Value now(CallArgs& args) { return number(nowSerial(args)); }
Value today(CallArgs& args) { return number(std::floor(nowSerial(args))); }

// The serial of the day `months` after `start`, on the same day of the month or the month's last.
int64_t addMonths(int64_t start, int64_t months, bool endOfMonth) {
  CivilDate from = serialToDate(start);
  int64_t index = int64_t(from.year) * 12 + (from.month - 1) + months;
  if (index < 1900 * 12 || index > 9999 * 12 + 11) throw FormulaError{ErrorCode::Num};
  int32_t y = int32_t(index / 12), m = int32_t(index % 12 + 1);
  int32_t last = daysInMonth(y, m);
  int32_t d = endOfMonth ? last : std::min(from.day, last);
  return dateToSerial(y, m, d);
}

Value edate(CallArgs& args) {
  int64_t start = serialArgument(args, 0);
  return dateResult(args, addMonths(start, toInteger(args.number(1)), false));
}

Value eomonth(CallArgs& args) {
  int64_t start = serialArgument(args, 0);
  return dateResult(args, addMonths(start, toInteger(args.number(1)), true));
}

Value weekday(CallArgs& args) {
  int32_t sundayZero = weekdayOfSerial(serialArgument(args, 0));
  int64_t type = args.isMissing(1) ? 1 : toInteger(args.number(1));
  int32_t mondayZero = (sundayZero + 6) % 7;
  switch (type) {
    case 1:
    case 17:
      return number(sundayZero + 1);
    case 2:
    case 11:
      return number(mondayZero + 1);
    case 3:
      return number(mondayZero);
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
      // Weeks starting Tuesday (12) through Saturday (16).
      return number((mondayZero - int32_t(type - 11) + 7) % 7 + 1);
    default:
      return Scalar::fromError(ErrorCode::Num);
  }
}

int64_t secondsOfDay(CallArgs& args) {
  double value = args.number(0);
  if (value < 0) throw FormulaError{ErrorCode::Num};
  return std::llround((value - std::floor(value)) * 86400) % 86400;
}

Value hour(CallArgs& args) { return number(double(secondsOfDay(args) / 3600)); }
Value minute(CallArgs& args) { return number(double(secondsOfDay(args) / 60 % 60)); }
Value second(CallArgs& args) { return number(double(secondsOfDay(args) % 60)); }

Value days(CallArgs& args) {
  int64_t end = serialArgument(args, 0);
  return number(double(end - serialArgument(args, 1)));
}

constexpr FunctionSpec kFunctions[] = {
    {u"DATE", 3, 3, date, false, true},
    {u"YEAR", 1, 1, year, false, true},
    {u"MONTH", 1, 1, month, false, true},
    {u"DAY", 1, 1, day, false, true},
    {u"TODAY", 0, 0, today},
    {u"NOW", 0, 0, now},
    {u"EDATE", 2, 2, edate, false, true},
    {u"EOMONTH", 2, 2, eomonth, false, true},
    {u"WEEKDAY", 1, 2, weekday, false, true},
    {u"HOUR", 1, 1, hour, false, true},
    {u"MINUTE", 1, 1, minute, false, true},
    {u"SECOND", 1, 1, second, false, true},
    {u"DAYS", 2, 2, days, false, true},
};

}  // namespace

std::span<const FunctionSpec> dateFunctions() { return kFunctions; }

}  // namespace sx::formula
