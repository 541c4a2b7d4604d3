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

Value isReference(CallArgs& args) {
  return Scalar::fromBoolean(std::holds_alternative<References>(args.value(0)));
}

// TYPE: 1 number (and blank), 2 text, 4 logical, 16 error, 64 array or several cells.
Value typeOf(CallArgs& args) {
  const Value value = args.value(0);
  if (std::holds_alternative<Array>(value)) return number(64);
  if (auto* refs = std::get_if<References>(&value)) {
    if (refs->size() != 1 || refs->front().rows() != 1 || refs->front().columns() != 1)
      return number(64);
  }
  const Scalar scalar = args.evaluator().toScalar(value);
  switch (scalar.kind) {
    case Scalar::Kind::Text:
      return number(2);
    case Scalar::Kind::Boolean:
      return number(4);
    case Scalar::Kind::Error:
      return number(16);
    default:
      return number(1);
  }
}

// ERROR.TYPE: the error's number in the order #NULL! .. #N/A; anything else is #N/A.
Value errorType(CallArgs& args) {
  const Scalar value = args.scalarOrError(0);
  if (!value.isError()) return Scalar::fromError(ErrorCode::NA);
  switch (value.error) {
    case ErrorCode::Null:
      return number(1);
    case ErrorCode::Div0:
      return number(2);
    case ErrorCode::Value:
      return number(3);
    case ErrorCode::Ref:
      return number(4);
    case ErrorCode::Name:
      return number(5);
    case ErrorCode::Num:
      return number(6);
    case ErrorCode::NA:
      return number(7);
  }
  return Scalar::fromError(ErrorCode::NA);
}

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
    {u"ISREF", 1, 1, isReference},
    {u"TYPE", 1, 1, typeOf},
    {u"ERROR.TYPE", 1, 1, errorType},
};

}  // namespace

std::span<const FunctionSpec> informationFunctions() { return kFunctions; }

}  // namespace sx::formula
