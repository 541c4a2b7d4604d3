#include "formula/value_coercion.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/text_case.h"
#include "formula/character_classes.h"
#include "formula/date_text.h"

namespace sx::formula {
namespace {

char16_t upperOf(char16_t c) {
  if (c >= u'a' && c <= u'z') return char16_t(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);  // Latin-1 letters
  return c;
}

char16_t lowerOf(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
  return c;
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Removes trailing zeros of a fraction ("1.500" -> "1.5", "2.000" -> "2").
std::string trimFraction(std::string digits) {
  if (digits.find('.') == std::string::npos) return digits;
  while (digits.back() == '0') digits.pop_back();
  if (digits.back() == '.') digits.pop_back();
  return digits;
}

bool sameTo15Digits(double a, double b) {
  char x[32], y[32];
  std::snprintf(x, sizeof x, "%.14e", a);
  std::snprintf(y, sizeof y, "%.14e", b);
  return std::string_view(x) == std::string_view(y);
}

}  // namespace

std::u16string upperCase(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = upperOf(c);
  return out;
}

std::u16string lowerCase(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = lowerOf(c);
  return out;
}

namespace {

// A plain number with thousands separators and a trailing percent sign.
std::optional<double> parsePlainNumber(std::u16string_view text) {
  std::size_t begin = 0, end = text.size();
  if (begin == end) return std::nullopt;
  bool percent = text[end - 1] == u'%';
  if (percent) --end;
  std::string digits;
  bool seenDigit = false;
  for (std::size_t i = begin; i < end; ++i) {
    char16_t c = text[i];
    if (c == u',' && seenDigit) continue;  // thousands separators
    if (c >= 0x80) return std::nullopt;
    if (isAsciiDigit(c)) seenDigit = true;
    digits.push_back(char(c));
  }
  if (!seenDigit) return std::nullopt;
  const char* first = digits.data();
  if (*first == '+') ++first;
  double value = 0;
  auto [stop, ec] = std::from_chars(first, digits.data() + digits.size(), value);
  if (ec != std::errc() || stop != digits.data() + digits.size()) return std::nullopt;
  return percent ? value / 100 : value;
}

std::u16string_view trimmed(std::u16string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A number as typed into a cell: in parentheses for a negative one, with a dollar sign before
// or after its minus sign ("-$5", "$-5").
std::optional<double> parseTypedNumber(std::u16string_view text) {
  bool negative = false;
  if (text.size() >= 2 && text.front() == u'(' && text.back() == u')') {
    negative = true;
    text = trimmed(text.substr(1, text.size() - 2));
  }
  std::u16string plain(text);
  std::size_t dollar = plain.find(u'$');
  if (dollar != std::u16string::npos) {
    if (dollar > 1 || (dollar == 1 && plain[0] != u'-' && plain[0] != u'+')) return std::nullopt;
    plain.erase(dollar, 1);
  }
  auto value = parsePlainNumber(plain);
  if (!value) return std::nullopt;
  if (negative) {
    if (!plain.empty() && (plain[0] == u'-' || plain[0] == u'+')) return std::nullopt;
    return -*value;
  }
  return value;
}

}  // namespace

std::optional<double> parseNumericText(std::u16string_view text) {
  text = trimmed(text);
  if (auto value = parseTypedNumber(text)) return value;
  auto moment = parseDateTimeText(text);
  if (moment && !moment->hasDate) return moment->serial;
  return std::nullopt;
}

std::optional<double> parseNumericText(std::u16string_view text, DateSystem system) {
  text = trimmed(text);
  if (auto value = parseTypedNumber(text)) return value;
  auto moment = parseDateTimeText(text);
  if (!moment) return std::nullopt;
  if (!moment->hasDate) return moment->serial;
  const double serial = from1900Serial(moment->serial, system);
  if (serial < 0) return std::nullopt;
  return serial;
}

namespace {

double toNumberWith(const Scalar& value, const DateSystem* system) {
  switch (value.kind) {
    case Scalar::Kind::Empty:
      return 0;
    case Scalar::Kind::Number:
      return value.number;
    case Scalar::Kind::Boolean:
      return value.boolean ? 1 : 0;
    case Scalar::Kind::Error:
      throw FormulaError{value.error};
    case Scalar::Kind::Text: {
      auto number = system ? parseNumericText(value.text, *system) : parseNumericText(value.text);
      if (number) return *number;
      throw FormulaError{ErrorCode::Value};
    }
  }
  throw FormulaError{ErrorCode::Value};
}

}  // namespace

double toNumber(const Scalar& value) { return toNumberWith(value, nullptr); }
double toNumber(const Scalar& value, DateSystem system) { return toNumberWith(value, &system); }

std::u16string numberToText(double value) {
  if (value == 0) return u"0";
  double magnitude = std::fabs(value);
  int exponent = int(std::floor(std::log10(magnitude)));
  char buffer[64];
  if (exponent >= 15 || exponent < -9) {
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    std::string text = buffer;
    auto e = text.find('E');
    std::string mantissa = trimFraction(text.substr(0, e));
    int power = std::stoi(text.substr(e + 1));
    std::snprintf(buffer, sizeof buffer, "E%c%02d", power < 0 ? '-' : '+', std::abs(power));
    return widen(mantissa + buffer);
  }
  int decimals = std::max(0, 14 - exponent);
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return widen(trimFraction(buffer));
}

std::u16string toText(const Scalar& value) {
  switch (value.kind) {
    case Scalar::Kind::Empty:
      return {};
    case Scalar::Kind::Number:
      return numberToText(value.number);
    case Scalar::Kind::Boolean:
      return value.boolean ? u"TRUE" : u"FALSE";
    case Scalar::Kind::Text:
      return value.text;
    case Scalar::Kind::Error:
      throw FormulaError{value.error};
  }
  return {};
}

bool toBoolean(const Scalar& value) {
  switch (value.kind) {
    case Scalar::Kind::Empty:
      return false;
    case Scalar::Kind::Number:
      return value.number != 0;
    case Scalar::Kind::Boolean:
      return value.boolean;
    case Scalar::Kind::Error:
      throw FormulaError{value.error};
    case Scalar::Kind::Text:
      if (equalsIgnoringCase(value.text, u"TRUE")) return true;
      if (equalsIgnoringCase(value.text, u"FALSE")) return false;
      throw FormulaError{ErrorCode::Value};
  }
  return false;
}

int compareScalars(const Scalar& left, const Scalar& right) {
  if (left.isError()) throw FormulaError{left.error};
  if (right.isError()) throw FormulaError{right.error};
  auto rank = [](const Scalar& v, const Scalar& other) {
    Scalar::Kind kind = v.kind;
    if (kind == Scalar::Kind::Empty) kind = other.isEmpty() ? Scalar::Kind::Number : other.kind;
    switch (kind) {
      case Scalar::Kind::Text:
        return 1;
      case Scalar::Kind::Boolean:
        return 2;
      default:
        return 0;
    }
  };
  int leftRank = rank(left, right), rightRank = rank(right, left);
  if (leftRank != rightRank) return leftRank < rightRank ? -1 : 1;
  if (leftRank == 0) {
    // Numbers equal to 15 significant digits are equal: 0.1*3 = 0.3.
    double a = left.isEmpty() ? 0 : left.number, b = right.isEmpty() ? 0 : right.number;
    if (a == b || sameTo15Digits(a, b)) return 0;
    return a < b ? -1 : 1;
  }
  if (leftRank == 2) {
    int a = left.boolean ? 1 : 0, b = right.boolean ? 1 : 0;
    return a - b;
  }
  std::u16string a = upperCase(left.text), b = upperCase(right.text);
  return a < b ? -1 : (a > b ? 1 : 0);
}

Scalar numberResult(double value) {
  if (!std::isfinite(value)) return Scalar::fromError(ErrorCode::Num);
  return Scalar::fromNumber(value);
}

}  // namespace sx::formula
