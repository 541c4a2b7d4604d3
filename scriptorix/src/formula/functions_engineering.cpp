#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

void require(bool condition) {
  if (!condition) throw FormulaError{ErrorCode::Num};
}

// The bases of BIN2DEC and kin: how many bits their 10 digits hold, so the top digit's high
// bit is the sign of a two's complement number.
struct Radix {
  int base;
  int bits;
};
constexpr Radix kBinary{2, 10}, kOctal{8, 30}, kHex{16, 40};

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

char16_t digitChar(int value) { return char16_t(value < 10 ? u'0' + value : u'A' + value - 10); }

// A number given as digits of `radix`: text as it is, a number by its General text, a boolean
// refused.
int64_t readDigits(CallArgs& args, Radix radix) {
  Scalar value = args.scalar(0);
  if (value.isBoolean()) throw FormulaError{ErrorCode::Value};
  std::u16string digits = toText(value);
  require(digits.size() <= 10);
  int64_t result = 0;
  for (char16_t c : digits) {
    int digit = digitValue(c);
    require(digit < radix.base);
    result = result * radix.base + digit;
  }
  const int64_t span = int64_t(1) << radix.bits;
  if (digits.size() == 10 && result >= span / 2) result -= span;
  return result;
}

// `value` in `radix`: negatives as ten digits of two's complement (places ignored), others
// padded to `places` when given, which must be 1..10 and wide enough.
Value writeDigits(CallArgs& args, std::size_t placesArg, int64_t value, Radix radix) {
  const int64_t span = int64_t(1) << radix.bits;
  require(value >= -span / 2 && value < span / 2);
  std::optional<int64_t> places;
  if (!args.isMissing(placesArg)) {
    Scalar given = args.scalar(placesArg);
    if (given.isBoolean()) throw FormulaError{ErrorCode::Value};
    double wanted = std::trunc(toNumber(given));
    require(wanted >= 1 && wanted <= 10);
    places = int64_t(wanted);
  }
  uint64_t magnitude = uint64_t(value < 0 ? value + span : value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), digitChar(int(magnitude % uint64_t(radix.base))));
    magnitude /= uint64_t(radix.base);
  } while (magnitude > 0);
  if (value >= 0 && places) {
    require(int64_t(digits.size()) <= *places);
    digits.insert(0, std::size_t(*places) - digits.size(), u'0');
  }
  return Scalar::fromText(digits);
}

int64_t decimalArgument(CallArgs& args) {
  Scalar value = args.scalar(0);
  if (value.isBoolean()) throw FormulaError{ErrorCode::Value};
  double number = std::trunc(toNumber(value));
  require(std::fabs(number) < 1e15);
  return int64_t(number);
}

template <const Radix& From, const Radix& To>
Value convertBase(CallArgs& args) {
  return writeDigits(args, 1, readDigits(args, From), To);
}

template <const Radix& From>
Value toDecimal(CallArgs& args) {
  return number(double(readDigits(args, From)));
}

template <const Radix& To>
Value fromDecimal(CallArgs& args) {
  return writeDigits(args, 1, decimalArgument(args), To);
}

// BASE and DECIMAL: any radix 2..36, non-negative numbers below 2^53, no two's complement.
Value base(CallArgs& args) {
  double value = std::trunc(args.number(0)), radix = std::trunc(args.number(1));
  double minLength = std::trunc(args.numberOr(2, 0));
  require(value >= 0 && value < 9007199254740992.0 && radix >= 2 && radix <= 36 && minLength >= 0 &&
          minLength <= 255);
  uint64_t rest = uint64_t(value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), digitChar(int(rest % uint64_t(radix))));
    rest /= uint64_t(radix);
  } while (rest > 0);
  if (digits.size() < std::size_t(minLength))
    digits.insert(0, std::size_t(minLength) - digits.size(), u'0');
  return Scalar::fromText(digits);
}

Value decimal(CallArgs& args) {
  std::u16string digits = args.text(0);
  double radix = std::trunc(args.number(1));
  require(radix >= 2 && radix <= 36 && digits.size() <= 255);
  double result = 0;
  for (char16_t c : digits) {
    int digit = digitValue(c);
    require(digit < radix);
    result = result * radix + digit;
  }
  return number(result);
}

Value delta(CallArgs& args) { return number(args.number(0) == args.numberOr(1, 0) ? 1 : 0); }

Value gestep(CallArgs& args) { return number(args.number(0) >= args.numberOr(1, 0) ? 1 : 0); }

// The bitwise functions take whole numbers from 0 to 2^48 - 1.
constexpr double kBitLimit = 281474976710656.0;

uint64_t bits(CallArgs& args, std::size_t i) {
  double value = args.number(i);
  require(value >= 0 && value < kBitLimit && value == std::floor(value));
  return uint64_t(value);
}

Value bitAnd(CallArgs& args) { return number(double(bits(args, 0) & bits(args, 1))); }
Value bitOr(CallArgs& args) { return number(double(bits(args, 0) | bits(args, 1))); }
Value bitXor(CallArgs& args) { return number(double(bits(args, 0) ^ bits(args, 1))); }

Value shift(CallArgs& args, int direction) {
  uint64_t value = bits(args, 0);
  double amount = std::trunc(args.number(1)) * direction;
  require(std::fabs(amount) <= 53);
  if (amount < 0) return number(double(value >> int(-amount)));
  double shifted = std::ldexp(double(value), int(amount));
  require(shifted < kBitLimit);
  return number(shifted);
}
Value bitLeftShift(CallArgs& args) { return shift(args, 1); }
Value bitRightShift(CallArgs& args) { return shift(args, -1); }

// ERF(lower) integrates from 0; ERF(lower, upper) between the two.
Value erf(CallArgs& args) {
  double lower = args.number(0);
  if (args.isMissing(1)) return number(std::erf(lower));
  return number(std::erf(args.number(1)) - std::erf(lower));
}
Value erfc(CallArgs& args) { return number(std::erfc(args.number(0))); }

constexpr FunctionSpec kFunctions[] = {
    {u"BIN2DEC", 1, 1, toDecimal<kBinary>, false, true},
    {u"OCT2DEC", 1, 1, toDecimal<kOctal>, false, true},
    {u"HEX2DEC", 1, 1, toDecimal<kHex>, false, true},
    {u"DEC2BIN", 1, 2, fromDecimal<kBinary>, false, true},
    {u"DEC2OCT", 1, 2, fromDecimal<kOctal>, false, true},
    {u"DEC2HEX", 1, 2, fromDecimal<kHex>, false, true},
    {u"BIN2OCT", 1, 2, convertBase<kBinary, kOctal>, false, true},
    {u"BIN2HEX", 1, 2, convertBase<kBinary, kHex>, false, true},
    {u"OCT2BIN", 1, 2, convertBase<kOctal, kBinary>, false, true},
    {u"OCT2HEX", 1, 2, convertBase<kOctal, kHex>, false, true},
    {u"HEX2BIN", 1, 2, convertBase<kHex, kBinary>, false, true},
    {u"HEX2OCT", 1, 2, convertBase<kHex, kOctal>, false, true},
    {u"BASE", 2, 3, base, false, true},
    {u"DECIMAL", 2, 2, decimal, false, true},
    {u"DELTA", 1, 2, delta, false, true},
    {u"GESTEP", 1, 2, gestep, false, true},
    {u"BITAND", 2, 2, bitAnd, false, true},
    {u"BITOR", 2, 2, bitOr, false, true},
    {u"BITXOR", 2, 2, bitXor, false, true},
    {u"BITLSHIFT", 2, 2, bitLeftShift, false, true},
    {u"BITRSHIFT", 2, 2, bitRightShift, false, true},
    {u"ERF", 1, 2, erf, false, true},
    {u"ERF.PRECISE", 1, 1, erf, false, true},
    {u"ERFC", 1, 1, erfc, false, true},
    {u"ERFC.PRECISE", 1, 1, erfc, false, true},
};

}  // namespace

std::span<const FunctionSpec> engineeringFunctions() { return kFunctions; }

}  // namespace sx::formula
