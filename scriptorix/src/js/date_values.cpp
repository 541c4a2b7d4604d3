#include "js/date_values.h"

#include <cmath>
#include <stdexcept>

#include "formula/date_serial.h"
#include "js/js_text.h"

namespace sx {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

double callNumber(JSContextRef context, JSObjectRef object, const char* method) {
  JSValueRef exception = nullptr;
  JSValueRef function = getProperty(context, object, method);
  JSObjectRef callable = JSValueToObject(context, function, &exception);
  if (exception != nullptr || callable == nullptr || !JSObjectIsFunction(context, callable)) {
    throw std::runtime_error(std::string("A Date without ") + method);
  }
  JSValueRef result = JSObjectCallAsFunction(context, callable, object, 0, nullptr, &exception);
  if (exception != nullptr) throw std::runtime_error(std::string("Date.") + method + " failed");
  return JSValueToNumber(context, result, nullptr);
}

}  // namespace

double dateToSerialValue(JSContextRef context, JSValueRef date) {
  JSObjectRef object = JSValueToObject(context, date, nullptr);
  const double year = callNumber(context, object, "getFullYear");
  if (std::isnan(year)) throw std::out_of_range("An invalid Date cannot be stored");
  if (year < 1900 || year > 9999) {
    throw std::out_of_range("A date must lie between 1900-01-01 and 9999-12-31 to be stored");
  }
  const double month = callNumber(context, object, "getMonth");
  const double day = callNumber(context, object, "getDate");
  const double time = callNumber(context, object, "getHours") * 3600000.0 +
                      callNumber(context, object, "getMinutes") * 60000.0 +
                      callNumber(context, object, "getSeconds") * 1000.0 +
                      callNumber(context, object, "getMilliseconds");
  const auto serial = formula::dateToSerial(
      static_cast<int64_t>(year), static_cast<int64_t>(month) + 1, static_cast<int64_t>(day));
  return static_cast<double>(serial) + time / kMillisecondsPerDay;
}

JSValueRef serialToDateValue(JSContextRef context, double serial) {
  double days = std::floor(serial);
  double milliseconds = std::round((serial - days) * kMillisecondsPerDay);
  if (milliseconds >= kMillisecondsPerDay) {
    days += 1;
    milliseconds -= kMillisecondsPerDay;
  }
  const formula::CivilDate civil = formula::serialToDate(static_cast<int64_t>(days));
  const double parts[] = {static_cast<double>(civil.year),
                          static_cast<double>(civil.month - 1),
                          static_cast<double>(civil.day),
                          0,
                          0,
                          0,
                          milliseconds};
  JSValueRef arguments[7];
  for (size_t i = 0; i < 7; ++i) arguments[i] = JSValueMakeNumber(context, parts[i]);
  JSValueRef exception = nullptr;
  JSObjectRef date = JSObjectMakeDate(context, 7, arguments, &exception);
  if (exception != nullptr || date == nullptr)
    throw std::runtime_error("The date could not be made");
  return date;
}

}  // namespace sx
