#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// A missing argument that is present ("IF(A1,,2)") counts as 0.
Value argumentOrZero(CallArgs& args, std::size_t i) {
  if (args.isMissing(i)) return Scalar::fromNumber(0);
  return args.value(i);
}

Value ifFunction(CallArgs& args) {
  if (args.boolean(0)) return argumentOrZero(args, 1);
  if (args.size() < 3) return Scalar::fromBoolean(false);
  return argumentOrZero(args, 2);
}

Value ifs(CallArgs& args) {
  if (args.size() % 2 != 0) return Scalar::fromError(ErrorCode::Value);
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (args.boolean(i)) return argumentOrZero(args, i + 1);
  }
  return Scalar::fromError(ErrorCode::NA);
}

Value ifError(CallArgs& args) {
  Scalar value = args.scalarOrError(0);
  if (value.isError()) return argumentOrZero(args, 1);
  return value;
}

Value ifNa(CallArgs& args) {
  Scalar value = args.scalarOrError(0);
  if (value.isError() && value.error == ErrorCode::NA) return argumentOrZero(args, 1);
  return value;
}

// The truth values AND, OR and XOR combine: texts in ranges are skipped; none at all is #VALUE!.
std::vector<bool> truthValues(CallArgs& args) {
  std::vector<bool> values;
  forEachArgumentValue(args, 0, [&](const Scalar& value, bool direct) {
    if (value.isError()) throw FormulaError{value.error};
    if (value.isNumber() || value.isBoolean()) {
      values.push_back(toBoolean(value));
    } else if (direct && value.isText()) {
      values.push_back(toBoolean(value));
    }
  });
  if (values.empty()) throw FormulaError{ErrorCode::Value};
  return values;
}

Value andFunction(CallArgs& args) {
  bool result = true;
  for (bool value : truthValues(args)) result = result && value;
  return Scalar::fromBoolean(result);
}

Value orFunction(CallArgs& args) {
  bool result = false;
  for (bool value : truthValues(args)) result = result || value;
  return Scalar::fromBoolean(result);
}

Value xorFunction(CallArgs& args) {
  bool result = false;
  for (bool value : truthValues(args)) result = result != value;
  return Scalar::fromBoolean(result);
}

Value notFunction(CallArgs& args) { return Scalar::fromBoolean(!args.boolean(0)); }
Value trueFunction(CallArgs&) { return Scalar::fromBoolean(true); }
Value falseFunction(CallArgs&) { return Scalar::fromBoolean(false); }

Value switchFunction(CallArgs& args) {
  Scalar subject = args.scalar(0);
  std::size_t i = 1;
  for (; i + 1 < args.size(); i += 2) {
    Scalar candidate = args.scalar(i);
    if (candidate.kind == subject.kind && compareScalars(candidate, subject) == 0)
      return argumentOrZero(args, i + 1);
  }
  if (i < args.size()) return argumentOrZero(args, i);
  return Scalar::fromError(ErrorCode::NA);
}

Value choose(CallArgs& args) {
  int64_t index = toInteger(args.number(0));
  if (index < 1 || index >= int64_t(args.size())) return Scalar::fromError(ErrorCode::Value);
  return argumentOrZero(args, std::size_t(index));
}

constexpr FunctionSpec kFunctions[] = {
    {u"IF", 2, 3, ifFunction, false, true},
    {u"IFS", 2, -1, ifs},
    {u"IFERROR", 2, 2, ifError, false, true},
    {u"IFNA", 2, 2, ifNa, false, true},
    {u"AND", 1, -1, andFunction},
    {u"OR", 1, -1, orFunction},
    {u"XOR", 1, -1, xorFunction},
    {u"NOT", 1, 1, notFunction, false, true},
    {u"TRUE", 0, 0, trueFunction},
    {u"FALSE", 0, 0, falseFunction},
    {u"SWITCH", 3, -1, switchFunction},
    {u"CHOOSE", 2, -1, choose},
};

}  // namespace

std::span<const FunctionSpec> logicFunctions() { return kFunctions; }

}  // namespace sx::formula
