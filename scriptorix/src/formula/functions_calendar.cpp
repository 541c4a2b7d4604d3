#include <cmath>

#include "core/text_case.h"
#include "formula/date_arguments.h"
#include "formula/date_text.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value numError() { return Scalar::fromError(ErrorCode::Num); }

bool isLastOfMonth(const CivilDate& d) { return d.day == daysInMonth(d.year, d.month); }
bool isLastOfFebruary(const CivilDate& d) { return d.month == 2 && isLastOfMonth(d); }

// DATEDIF(start, end, unit): whole years, months or days between two days.
Value datedif(CallArgs& args) {
  const int64_t start = serialArgument(args, 0), end = serialArgument(args, 1);
  const std::u16string unit = args.text(2);
  if (start > end) return numError();
  const CivilDate a = serialToDate(start), b = serialToDate(end);
  const int64_t months = int64_t(b.year - a.year) * 12 + (b.month - a.month) - (b.day < a.day);
  if (equalsAsciiIgnoringCase(unit, "y")) return number(double(months / 12));
  if (equalsAsciiIgnoringCase(unit, "m")) return number(double(months));
  if (equalsAsciiIgnoringCase(unit, "d")) return number(double(end - start));
  if (equalsAsciiIgnoringCase(unit, "ym")) return number(double(months % 12));
  if (equalsAsciiIgnoringCase(unit, "md")) {
    if (b.day >= a.day) return number(b.day - a.day);
    return number(double(end - dateToSerial(b.year, b.month - 1, a.day)));
  }
  if (equalsAsciiIgnoringCase(unit, "yd")) {
    int64_t from = dateToSerial(b.year, a.month, a.day);
    if (from > end) from = dateToSerial(b.year - 1, a.month, a.day);
    return number(double(end - from));
  }
  return numError();
}

// TIME(hour, minute, second): the fraction of a day, wrapping past midnight.
Value time(CallArgs& args) {
  const int64_t h = toInteger(args.number(0)), m = toInteger(args.number(1));
  const int64_t s = toInteger(args.number(2));
  if (h > 32767 || m > 32767 || s > 32767 || h < -32768 || m < -32768 || s < -32768)
    return numError();
  const int64_t seconds = h * 3600 + m * 60 + s;
  if (seconds < 0) return numError();
  return number(double(seconds % 86400) / 86400);
}

Value datevalue(CallArgs& args) {
  const auto parsed = parseDateTimeText(args.text(0));
  if (!parsed || !parsed->hasDate) return Scalar::fromError(ErrorCode::Value);
  return dateResult(args, int64_t(std::floor(parsed->serial)));
}

Value timevalue(CallArgs& args) {
  const auto parsed = parseDateTimeText(args.text(0));
  if (!parsed) return Scalar::fromError(ErrorCode::Value);
  return number(parsed->serial - std::floor(parsed->serial));
}

// The ISO week: weeks start on Monday, and week 1 holds the year's first Thursday.
int32_t isoWeek(int64_t serial) {
  const int32_t mondayZero = (weekdayOfSerial(serial) + 6) % 7;
  const int64_t thursday = serial - mondayZero + 3;
  const int64_t firstDay = dateToSerial(serialToDate(thursday).year, 1, 1);
  return int32_t((thursday - firstDay) / 7 + 1);
}

Value isoweeknum(CallArgs& args) { return number(isoWeek(serialArgument(args, 0))); }

// WEEKNUM: week 1 holds January 1st; the type says which day starts a week (21: ISO weeks).
Value weeknum(CallArgs& args) {
  const int64_t serial = serialArgument(args, 0);
  const int64_t type = args.isMissing(1) ? 1 : toInteger(args.number(1));
  int32_t firstWeekday;  // 0 = Sunday
  if (type == 1 || type == 17) {
    firstWeekday = 0;
  } else if (type == 2 || type == 11) {
    firstWeekday = 1;
  } else if (type >= 12 && type <= 16) {
    firstWeekday = int32_t(type - 10);
  } else if (type == 21) {
    return number(isoWeek(serial));
  } else {
    return numError();
  }
  const int64_t january1 = dateToSerial(serialToDate(serial).year, 1, 1);
  const int32_t lead = (weekdayOfSerial(january1) - firstWeekday + 7) % 7;
  return number(double((serial - january1 + lead) / 7 + 1));
}

// 30/360 day counts: `european` moves each 31st to the 30th; the US rule also treats a start
// on the last day of February as the 30th, and YEARFRAC (not `days360Rule`) an end there too
// when the start is.
double days360(CivilDate a, CivilDate b, bool european, bool days360Rule) {
  if (european) {
    if (a.day == 31) a.day = 30;
    if (b.day == 31) b.day = 30;
  } else {
    const bool startFebruaryEnd = isLastOfFebruary(a);
    if (startFebruaryEnd && isLastOfFebruary(b) && !days360Rule) b.day = 30;
    if (a.day == 31 || startFebruaryEnd) a.day = 30;
    // An end on the 31st after a start before the 30th counts as the next month's 1st, the
    // same number of days as leaving it on the 31st.
    if (b.day == 31 && a.day >= 30) b.day = 30;
  }
  return double(b.year - a.year) * 360 + double(b.month - a.month) * 30 + double(b.day - a.day);
}

Value days360Function(CallArgs& args) {
  const int64_t start = serialArgument(args, 0), end = serialArgument(args, 1);
  const bool european = args.booleanOr(2, false);
  return number(days360(serialToDate(start), serialToDate(end), european, true));
}

bool isLeapYear(int32_t year) { return daysInMonth(year, 2) == 29; }

// YEARFRAC basis 1: the days over the length of the year(s) the period runs through.
double actualYears(int64_t start, int64_t end) {
  const CivilDate a = serialToDate(start), b = serialToDate(end);
  const bool withinAYear =
      a.year == b.year ||
      (b.year == a.year + 1 && (a.month > b.month || (a.month == b.month && a.day >= b.day)));
  double yearLength;
  if (withinAYear) {
    bool leapDay = false;
    if (a.year == b.year) {
      leapDay = isLeapYear(a.year);
    } else {
      const auto holdsLeapDay = [&](int32_t year) {
        if (!isLeapYear(year)) return false;
        const int64_t leap = dateToSerial(year, 2, 29);
        return start <= leap && leap <= end;
      };
      leapDay = holdsLeapDay(a.year) || holdsLeapDay(b.year);
    }
    yearLength = leapDay ? 366 : 365;
  } else {
    const double days = double(dateToSerial(b.year + 1, 1, 1) - dateToSerial(a.year, 1, 1));
    yearLength = days / double(b.year - a.year + 1);
  }
  return double(end - start) / yearLength;
}

Value yearfrac(CallArgs& args) {
  int64_t start = serialArgument(args, 0), end = serialArgument(args, 1);
  const int64_t basis = args.isMissing(2) ? 0 : toInteger(args.number(2));
  if (start > end) std::swap(start, end);
  switch (basis) {
    case 0:
      return number(days360(serialToDate(start), serialToDate(end), false, false) / 360);
    case 1:
      return number(actualYears(start, end));
    case 2:
      return number(double(end - start) / 360);
    case 3:
      return number(double(end - start) / 365);
    case 4:
      return number(days360(serialToDate(start), serialToDate(end), true, false) / 360);
    default:
      return numError();
  }
}

constexpr FunctionSpec kFunctions[] = {
    {u"DATEDIF", 3, 3, datedif, false, true},
    {u"TIME", 3, 3, time, false, true},
    {u"DATEVALUE", 1, 1, datevalue, false, true},
    {u"TIMEVALUE", 1, 1, timevalue, false, true},
    {u"WEEKNUM", 1, 2, weeknum, false, true},
    {u"ISOWEEKNUM", 1, 1, isoweeknum, false, true},
    {u"DAYS360", 2, 3, days360Function, false, true},
    {u"YEARFRAC", 2, 3, yearfrac, false, true},
};

}  // namespace

std::span<const FunctionSpec> calendarFunctions() { return kFunctions; }

}  // namespace sx::formula
