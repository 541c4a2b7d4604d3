#include "formula/date_arguments.h"

#include <cmath>

namespace sx::formula {

int64_t serialOf(double workbookSerial, DateSystem system) {
  const double serial = to1900Serial(workbookSerial, system);
  if (workbookSerial < 0 || serial > kLastSerial) throw FormulaError{ErrorCode::Num};
  return int64_t(std::floor(serial));
}

int64_t serialArgument(CallArgs& args, std::size_t i) {
  return serialOf(args.number(i), systemOf(args));
}

Value dateResult(CallArgs& args, int64_t serial) {
  const double result = from1900Serial(double(serial), systemOf(args));
  if (result < 0 || double(serial) > kLastSerial) return Scalar::fromError(ErrorCode::Num);
  return numberResult(result);
}

}  // namespace sx::formula
