#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

Value isBlank(CallArgs& args) {
  return Scalar::fromBoolean(args.scalarOrError(0).isEmpty() && !args.isMissing(0));
}
Value isNumber(CallArgs& args) { return Scalar::fromBoolean(args.scalarOrError(0).isNumber()); }
Value isText(CallArgs& args) { return Scalar::fromBoolean(args.scalarOrError(0).isText()); }
Value isNonText(CallArgs& args) { return Scalar::fromBoolean(!args.scalarOrError(0).isText()); }
Value isLogical(CallArgs& args) { return Scalar::fromBoolean(args.scalarOrError(0).isBoolean()); }
Value isError(CallArgs& args) { return Scalar::fromBoolean(args.scalarOrError(0).isError()); }

Value isErr(CallArgs& args) {
  Scalar value = args.scalarOrError(0);
  return Scalar::fromBoolean(value.isError() && value.error != ErrorCode::NA);
}

Value isNa(CallArgs& args) {
  Scalar value = args.scalarOrError(0);
  return Scalar::fromBoolean(value.isError() && value.error == ErrorCode::NA);
}

// ISEVEN and ISODD take the whole part of a number; a text that is no number is #VALUE!.
Value parity(CallArgs& args, bool even) {
  int64_t whole = toInteger(args.number(0));
  return Scalar::fromBoolean((whole % 2 == 0) == even);
}

Value isEven(CallArgs& args) { return parity(args, true); }
Value isOdd(CallArgs& args) { return parity(args, false); }

// N: a number as it is, TRUE as 1, anything else 0.
Value numberOnly(CallArgs& args) {
  Scalar value = args.scalar(0);
  if (value.isNumber()) return value;
  return number(value.isBoolean() && value.boolean ? 1 : 0);
}

Value notAvailable(CallArgs&) { return Scalar::fromError(ErrorCode::NA); }

constexpr FunctionSpec kFunctions[] = {
    {u"ISBLANK", 1, 1, isBlank, false, true},
    {u"ISNUMBER", 1, 1, isNumber, false, true},
    {u"ISTEXT", 1, 1, isText, false, true},
    {u"ISNONTEXT", 1, 1, isNonText, false, true},
    {u"ISLOGICAL", 1, 1, isLogical, false, true},
    {u"ISERROR", 1, 1, isError, false, true},
    {u"ISERR", 1, 1, isErr, false, true},
    {u"ISNA", 1, 1, isNa, false, true},
    {u"ISEVEN", 1, 1, isEven, false, true},
    {u"ISODD", 1, 1, isOdd, false, true},
    {u"N", 1, 1, numberOnly},
    {u"NA", 0, 0, notAvailable},
};

}  // namespace

std::span<const FunctionSpec> informationFunctions() { return kFunctions; }

}  // namespace sx::formula
