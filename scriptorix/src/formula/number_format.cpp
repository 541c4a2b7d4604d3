#include "formula/number_format.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "formula/character_classes.h"
#include "formula/date_serial.h"
#include "formula/function_helpers.h"
#include "formula/value_coercion.h"

namespace sx::formula {
namespace {

struct Item {
  enum class Kind { Literal, Digit, Point, Percent, Exponent, TextValue, DatePart, General };
  Kind kind;
  std::u16string text;  // literal text, the digit placeholder, the date code, or "+"/"-"
};

// A section's condition: "<", "<=", ">", ">=", "=", "<>" and a number.
struct Condition {
  std::u16string op;
  double bound = 0;

  bool holds(double value) const {
    if (op == u"<") return value < bound;
    if (op == u"<=") return value <= bound;
    if (op == u">") return value > bound;
    if (op == u">=") return value >= bound;
    if (op == u"<>") return value != bound;
    return value == bound;
  }
};

std::optional<Condition> parseCondition(std::u16string_view inside) {
  std::size_t opLength = 1;
  if (inside.size() > 1 && (inside[1] == u'=' || inside[1] == u'>')) opLength = 2;
  auto bound = parseNumericText(inside.substr(opLength));
  if (!bound) return std::nullopt;
  return Condition{std::u16string(inside.substr(0, opLength)), *bound};
}

struct Section {
  std::vector<Item> items;
  bool grouping = false;   // a "," between digit placeholders
  int scaleThousands = 0;  // "," right after the last digit placeholder
  bool isDate = false;
  bool elapsedHours = false;
  std::optional<Condition> condition;  // "[>=100]"
};

std::vector<std::u16string> splitSections(std::u16string_view format) {
  std::vector<std::u16string> sections(1);
  bool quoted = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char16_t c = format[i];
    if (c == u'"') quoted = !quoted;
    if (c == u'\\' && i + 1 < format.size()) {
      sections.back() += format.substr(i, 2);
      ++i;
      continue;
    }
    if (c == u';' && !quoted) {
      sections.emplace_back();
      continue;
    }
    sections.back().push_back(c);
  }
  return sections;
}

bool startsWithUpper(std::u16string_view text, std::size_t at, std::u16string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (asciiUpper(text[at + i]) != word[i]) return false;
  }
  return true;
}

Section parseSection(std::u16string_view text) {
  Section section;
  auto literal = [&](std::u16string piece) {
    if (!section.items.empty() && section.items.back().kind == Item::Kind::Literal) {
      section.items.back().text += piece;
    } else {
      section.items.push_back({Item::Kind::Literal, std::move(piece)});
    }
  };
  bool afterDigit = false;
  for (std::size_t i = 0; i < text.size();) {
    char16_t c = text[i];
    char16_t upper = asciiUpper(c);
    if (c == u'"') {
      std::size_t end = text.find(u'"', i + 1);
      if (end == std::u16string_view::npos) end = text.size();
      literal(std::u16string(text.substr(i + 1, end - i - 1)));
      i = end + 1;
    } else if (c == u'\\' && i + 1 < text.size()) {
      literal(std::u16string(1, text[i + 1]));
      i += 2;
    } else if (c == u'_' && i + 1 < text.size()) {
      literal(u" ");  // room the width of the next character
      i += 2;
    } else if (c == u'*' && i + 1 < text.size()) {
      i += 2;  // fill characters need a cell width; a formula has none
    } else if (c == u'[') {
      std::size_t end = text.find(u']', i);
      if (end == std::u16string_view::npos) end = text.size();
      auto inside = text.substr(i + 1, end - i - 1);
      const char16_t first = inside.empty() ? u' ' : asciiUpper(inside[0]);
      if (first == u'H' || first == u'M' || first == u'S') {
        section.isDate = section.elapsedHours = true;
        section.items.push_back({Item::Kind::DatePart, u"[" + std::u16string(1, first) + u"]"});
      } else if (first == u'<' || first == u'>' || first == u'=') {
        section.condition = parseCondition(inside);
      }
      i = end + 1;
    } else if (startsWithUpper(text, i, u"GENERAL")) {
      section.items.push_back({Item::Kind::General, {}});
      i += 7;
    } else if (c == u'0' || c == u'#' || c == u'?') {
      section.items.push_back({Item::Kind::Digit, std::u16string(1, c)});
      afterDigit = true;
      ++i;
    } else if (c == u'.' && !section.isDate) {
      section.items.push_back({Item::Kind::Point, {}});
      ++i;
    } else if (c == u',') {
      bool nextDigit = i + 1 < text.size() &&
                       (text[i + 1] == u'0' || text[i + 1] == u'#' || text[i + 1] == u'?');
      if (afterDigit && nextDigit) {
        section.grouping = true;
      } else if (afterDigit) {
        section.scaleThousands += 1;
      } else {
        literal(u",");
      }
      ++i;
    } else if (c == u'%') {
      section.items.push_back({Item::Kind::Percent, {}});
      literal(u"%");
      ++i;
    } else if (upper == u'E' && i + 1 < text.size() &&
               (text[i + 1] == u'+' || text[i + 1] == u'-') && afterDigit) {
      section.items.push_back({Item::Kind::Exponent, std::u16string(1, text[i + 1])});
      i += 2;
    } else if (c == u'@') {
      section.items.push_back({Item::Kind::TextValue, {}});
      ++i;
    } else if (startsWithUpper(text, i, u"AM/PM") || startsWithUpper(text, i, u"A/P")) {
      std::size_t length = startsWithUpper(text, i, u"AM/PM") ? 5 : 3;
      section.items.push_back({Item::Kind::DatePart, upperCase(text.substr(i, length))});
      section.isDate = true;
      i += length;
    } else if (upper == u'Y' || upper == u'M' || upper == u'D' || upper == u'H' || upper == u'S') {
      std::size_t end = i;
      while (end < text.size() && asciiUpper(text[end]) == upper) ++end;
      section.items.push_back({Item::Kind::DatePart, upperCase(text.substr(i, end - i))});
      section.isDate = true;
      i = end;
    } else {
      literal(std::u16string(1, c));
      ++i;
    }
  }
  return section;
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::u16string twoDigits(int64_t value, bool pad) {
  std::string text = std::to_string(value);
  if (pad && text.size() < 2) text = "0" + text;
  return widen(text);
}

std::u16string renderDate(const Section& section, double serial, DateSystem system) {
  // Before the first day or after 9999-12-31 there is no date to show (nor an integer day to
  // compute).
  constexpr double kPastLastSerial = 2958466;
  const double value = to1900Serial(serial, system);
  if (!(serial >= 0 && value < kPastLastSerial)) return std::u16string(1, u'#');
  // Places of a fraction of a second ("ss.00", at most three): the time rounds to them.
  int secondPlaces = 0;
  for (std::size_t i = 0; i + 1 < section.items.size(); ++i) {
    if (section.items[i].kind != Item::Kind::DatePart || section.items[i].text[0] != u'S') continue;
    if (section.items[i + 1].kind != Item::Kind::Literal || section.items[i + 1].text != u".")
      continue;
    for (std::size_t j = i + 2;
         j < section.items.size() && section.items[j].kind == Item::Kind::Digit; ++j)
      secondPlaces = std::min(secondPlaces + 1, 3);
  }
  const int64_t unitsPerSecond = secondPlaces == 0   ? 1
                                 : secondPlaces == 1 ? 10
                                 : secondPlaces == 2 ? 100
                                                     : 1000;
  int64_t days = int64_t(std::floor(value));
  int64_t units = int64_t(std::llround((value - double(days)) * 86400 * double(unitsPerSecond)));
  if (units >= 86400 * unitsPerSecond) {
    days += 1;
    units -= 86400 * unitsPerSecond;
  }
  const int64_t seconds = units / unitsPerSecond, secondFraction = units % unitsPerSecond;
  CivilDate date = serialToDate(days);
  bool twelveHour = false;
  for (const auto& item : section.items) {
    if (item.kind == Item::Kind::DatePart && (item.text == u"AM/PM" || item.text == u"A/P"))
      twelveHour = true;
  }
  int64_t hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
  std::u16string out;
  for (std::size_t i = 0; i < section.items.size(); ++i) {
    const Item& item = section.items[i];
    if (item.kind != Item::Kind::DatePart) {
      const bool secondsFraction =
          secondPlaces > 0 && item.kind == Item::Kind::Literal && item.text == u"." && i > 0 &&
          section.items[i - 1].kind == Item::Kind::DatePart && section.items[i - 1].text[0] == u'S';
      if (secondsFraction) {
        std::u16string digits = widen(std::to_string(secondFraction));
        while (int(digits.size()) < secondPlaces) digits.insert(digits.begin(), u'0');
        out += u"." + digits;
        while (i + 1 < section.items.size() && section.items[i + 1].kind == Item::Kind::Digit) ++i;
        continue;
      }
      if (item.kind == Item::Kind::Literal) out += item.text;
      continue;
    }
    const std::u16string& code = item.text;
    char16_t letter = code[0];
    if (code == u"[H]") {
      out += widen(std::to_string(days * 24 + hour));
    } else if (code == u"[M]") {
      out += twoDigits((days * 24 + hour) * 60 + minute, false);
    } else if (code == u"[S]") {
      out += twoDigits(((days * 24 + hour) * 60 + minute) * 60 + second, false);
    } else if (code == u"AM/PM") {
      out += hour < 12 ? u"AM" : u"PM";
    } else if (code == u"A/P") {
      out += hour < 12 ? u"A" : u"P";
    } else if (letter == u'Y') {
      out += code.size() <= 2 ? twoDigits(date.year % 100, true) : widen(std::to_string(date.year));
    } else if (letter == u'M') {
      // "m" after an hour or before seconds means minutes.
      bool minutes = false;
      for (std::size_t j = i; j-- > 0;) {
        if (section.items[j].kind != Item::Kind::DatePart) continue;
        minutes = section.items[j].text[0] == u'H' || section.items[j].text == u"[H]";
        break;
      }
      for (std::size_t j = i + 1; j < section.items.size() && !minutes; ++j) {
        if (section.items[j].kind != Item::Kind::DatePart) continue;
        minutes = section.items[j].text[0] == u'S';
        break;
      }
      if (minutes && code.size() <= 2) {
        out += twoDigits(minute, code.size() == 2);
      } else if (code.size() <= 2) {
        out += twoDigits(date.month, code.size() == 2);
      } else {
        std::string name = kMonthNames[date.month - 1];
        out += widen(code.size() == 3   ? name.substr(0, 3)
                     : code.size() == 5 ? name.substr(0, 1)
                                        : name);
      }
    } else if (letter == u'D') {
      if (code.size() <= 2) {
        out += twoDigits(date.day, code.size() == 2);
      } else {
        std::string name = kDayNames[weekdayOfSerial(days)];
        out += widen(code.size() == 3 ? name.substr(0, 3) : name);
      }
    } else if (letter == u'H') {
      int64_t shown = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
      out += twoDigits(shown, code.size() >= 2);
    } else if (letter == u'S') {
      out += twoDigits(second, code.size() >= 2);
    }
  }
  return out;
}

std::u16string groupThousands(const std::u16string& digits) {
  std::u16string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(u',');
    out.push_back(digits[i]);
  }
  return out;
}

std::u16string renderNumber(const Section& section, double value) {
  std::size_t pointAt = section.items.size(), exponentAt = section.items.size();
  int percents = 0;
  int integerPlaces = 0, fractionPlaces = 0, minimumIntegerDigits = 0;
  bool seenZero = false;
  for (std::size_t i = 0; i < section.items.size(); ++i) {
    const Item& item = section.items[i];
    if (item.kind == Item::Kind::Percent) percents += 1;
    if (item.kind == Item::Kind::Point && pointAt == section.items.size() &&
        exponentAt == section.items.size())
      pointAt = i;
    if (item.kind == Item::Kind::Exponent && exponentAt == section.items.size()) exponentAt = i;
    if (item.kind != Item::Kind::Digit || i > exponentAt) continue;
    if (i < pointAt) {
      integerPlaces += 1;
      if (item.text == u"0") seenZero = true;
      if (seenZero) minimumIntegerDigits += 1;
    } else {
      fractionPlaces += 1;
    }
  }
  // More decimals than a double holds only add zeros; the cap keeps the digits in the buffer.
  fractionPlaces = std::min(fractionPlaces, 30);
  double scaled =
      std::fabs(value) * std::pow(100.0, percents) / std::pow(1000.0, section.scaleThousands);
  int exponent = 0;
  if (exponentAt < section.items.size() && scaled != 0) {
    int leading = std::max(integerPlaces, 1);
    exponent = int(std::floor(std::log10(scaled))) - (leading - 1);
    scaled /= std::pow(10.0, exponent);
    // Rounding may carry into a new digit: 9.99 -> 10.0.
    if (std::round(scaled * std::pow(10.0, fractionPlaces)) >=
        std::pow(10.0, leading + fractionPlaces)) {
      scaled /= 10;
      exponent += 1;
    }
  }
  // Halves round away from zero (printf alone would round 2.5 to 2).
  scaled = roundHalfAway(scaled, fractionPlaces);
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", fractionPlaces, scaled);
  std::string fixed = buffer;
  std::size_t dot = fixed.find('.');
  std::u16string integerDigits = widen(fixed.substr(0, dot));
  std::u16string fractionDigits = dot == std::string::npos ? u"" : widen(fixed.substr(dot + 1));
  if (integerDigits == u"0") integerDigits.clear();
  while (int(integerDigits.size()) < minimumIntegerDigits)
    integerDigits.insert(integerDigits.begin(), u'0');

  std::u16string out;
  // Integer part: fill placeholders from the right; the leftmost takes any extra digits.
  std::vector<std::u16string> pieces(pointAt < exponentAt ? pointAt : exponentAt);
  std::size_t integerEnd = pieces.size();
  if (section.grouping) integerDigits = groupThousands(integerDigits);
  std::size_t remaining = integerDigits.size();
  std::size_t leftmost = integerEnd;
  for (std::size_t i = 0; i < integerEnd; ++i) {
    if (section.items[i].kind == Item::Kind::Digit) {
      leftmost = i;
      break;
    }
  }
  for (std::size_t i = integerEnd; i-- > 0;) {
    const Item& item = section.items[i];
    if (item.kind == Item::Kind::Digit) {
      // Grouped digits all go to the leftmost placeholder (they were padded above).
      if (i == leftmost) {
        pieces[i] = integerDigits.substr(0, remaining);
        remaining = 0;
      } else if (section.grouping) {
        continue;
      } else if (remaining > 0) {
        pieces[i] = integerDigits.substr(remaining - 1, 1);
        remaining -= 1;
      } else if (item.text == u"?") {
        pieces[i].assign(1, u' ');
      }
    } else if (item.kind == Item::Kind::Literal) {
      pieces[i] = item.text;
    } else if (item.kind == Item::Kind::General || item.kind == Item::Kind::TextValue) {
      // "@" shows a number as General does.
      pieces[i] = numberToText(std::fabs(value));
    }
  }
  for (auto& piece : pieces) out += piece;
  // Fraction part and exponent.
  std::size_t lastShown = fractionDigits.size();
  while (lastShown > 0 && fractionDigits[lastShown - 1] == u'0') --lastShown;
  std::size_t fractionIndex = 0;
  for (std::size_t i = integerEnd; i < section.items.size(); ++i) {
    const Item& item = section.items[i];
    switch (item.kind) {
      case Item::Kind::Point:
        out.push_back(u'.');
        break;
      case Item::Kind::Digit:
        if (i > exponentAt) break;
        // Places past the digits kept (see the cap above) are zeros.
        if (fractionIndex < lastShown) {
          out.push_back(fractionDigits[fractionIndex]);
        } else if (item.text == u"0") {
          out.push_back(u'0');
        } else if (item.text == u"?") {
          out.push_back(u' ');
        }
        fractionIndex += 1;
        break;
      case Item::Kind::Exponent: {
        out.push_back(u'E');
        out += exponent < 0 ? u"-" : (item.text == u"+" ? u"+" : u"");
        int exponentDigits = 0;
        for (std::size_t j = i + 1; j < section.items.size(); ++j) {
          if (section.items[j].kind == Item::Kind::Digit) exponentDigits += 1;
        }
        std::string digits = std::to_string(std::abs(exponent));
        while (int(digits.size()) < exponentDigits) digits = "0" + digits;
        out += widen(digits);
        break;
      }
      case Item::Kind::Literal:
        out += item.text;
        break;
      case Item::Kind::General:
      case Item::Kind::TextValue:
        out += numberToText(std::fabs(value));
        break;
      default:
        break;
    }
  }
  return out;
}

bool isPlaceholder(char16_t c) { return c == u'0' || c == u'#' || c == u'?'; }

// Placeholder digits padded to their places: "?" pads with a blank, "0" with a zero.
std::u16string padDigits(std::u16string digits, std::u16string_view places, bool left) {
  for (std::size_t i = digits.size(); i < places.size(); ++i) {
    const char16_t place = left ? places[places.size() - 1 - i] : places[i];
    const char16_t pad = place == u'0' ? u'0' : place == u'?' ? u' ' : 0;
    if (pad == 0) continue;
    if (left)
      digits.insert(digits.begin(), pad);
    else
      digits.push_back(pad);
  }
  return digits;
}

// Fractions: "# ?/?", "# ?/16" (a fixed denominator), "?/?" (no whole part); nullopt when the
// section is not one. The denominator is fixed, or the best one with as many digits as its
// placeholders.
std::optional<std::u16string> renderFraction(std::u16string_view text, double value) {
  // Colours and conditions in brackets come first and show nothing.
  while (!text.empty() && text.front() == u'[') {
    const std::size_t close = text.find(u']');
    if (close == std::u16string_view::npos) return std::nullopt;
    text.remove_prefix(close + 1);
  }
  const std::size_t slash = text.find(u'/');
  if (slash == std::u16string_view::npos || slash == 0) return std::nullopt;
  const std::u16string_view left = text.substr(0, slash), right = text.substr(slash + 1);
  std::size_t numeratorStart = left.size();
  while (numeratorStart > 0 && isPlaceholder(left[numeratorStart - 1])) --numeratorStart;
  const std::u16string_view numeratorPlaces = left.substr(numeratorStart);
  std::u16string_view rest = left.substr(0, numeratorStart);
  std::size_t wholeEnd = 0;
  while (wholeEnd < rest.size() && (isPlaceholder(rest[wholeEnd]) || rest[wholeEnd] == u','))
    ++wholeEnd;
  const std::u16string_view wholePlaces = rest.substr(0, wholeEnd), gap = rest.substr(wholeEnd);
  if (numeratorPlaces.empty() || right.empty() ||
      gap.find_first_not_of(u' ') != std::u16string_view::npos ||
      (wholePlaces.empty() != gap.empty()))
    return std::nullopt;
  bool fixedDenominator = right[0] >= u'1' && right[0] <= u'9';
  for (char16_t c : right) {
    if (fixedDenominator ? !isAsciiDigit(c) : !isPlaceholder(c)) return std::nullopt;
  }
  const double x = std::fabs(value);
  const bool hasWhole = !wholePlaces.empty();
  double whole = hasWhole ? std::floor(x) : 0;
  const double part = x - whole;
  double numerator = 0, denominator = 1;
  if (fixedDenominator) {
    denominator = 0;
    for (char16_t c : right) denominator = denominator * 10 + (c - u'0');
    numerator = std::round(part * denominator);
  } else {
    const double largest = std::pow(10.0, double(std::min<std::size_t>(right.size(), 4))) - 1;
    double bestError = 2;
    for (double d = 1; d <= largest; ++d) {
      const double n = std::round(part * d);
      const double error = std::fabs(part - n / d);
      if (error < bestError) {
        bestError = error;
        numerator = n;
        denominator = d;
      }
    }
  }
  if (hasWhole && numerator == denominator) {
    whole += 1;
    numerator = 0;
  }
  auto digits = [](double n) { return widen(std::to_string(int64_t(n))); };
  std::u16string out;
  if (hasWhole) {
    out = whole != 0 ? digits(whole) : padDigits(u"", wholePlaces, true);
    if (numerator == 0) {
      if (whole == 0) out = u"0";
      // Blanks hold the fraction's place; a fixed denominator is no placeholder and takes none.
      const std::size_t denominatorWidth = fixedDenominator ? 0 : right.size();
      return out + std::u16string(gap.size() + numeratorPlaces.size() + 1 + denominatorWidth, u' ');
    }
    out += gap;
  }
  out += padDigits(digits(numerator), numeratorPlaces, true) + u"/";
  out += fixedDenominator ? std::u16string(right) : padDigits(digits(denominator), right, false);
  return out;
}

// The section a number shows in: by sign, or by the conditions in brackets when there are any.
std::size_t sectionFor(const std::vector<std::u16string>& sections, double number,
                       bool& conditional) {
  std::optional<Condition> first = parseSection(sections[0]).condition;
  std::optional<Condition> second =
      sections.size() > 1 ? parseSection(sections[1]).condition : std::nullopt;
  conditional = first || second;
  if (!conditional) {
    if (number < 0 && sections.size() >= 2) return 1;
    if (number == 0 && sections.size() >= 3) return 2;
    return 0;
  }
  if (!first || first->holds(number)) return 0;
  if (sections.size() > 1 && (!second || second->holds(number))) return 1;
  return std::min<std::size_t>(2, sections.size() - 1);
}

}  // namespace

std::u16string renderNumberFormat(const Scalar& value, std::u16string_view format,
                                  DateSystem system) {
  auto sections = splitSections(format);
  if (value.isText() || value.isBoolean()) {
    std::u16string text = value.isText() ? value.text : toText(value);
    if (sections.size() < 4) {
      // Without a text section a text shows as it is, unless the only section uses "@".
      Section only = parseSection(sections[0]);
      bool usesText = false;
      for (const auto& item : only.items) usesText |= item.kind == Item::Kind::TextValue;
      if (!usesText) return text;
      sections.resize(4, sections[0]);
    }
    std::u16string out;
    for (const auto& item : parseSection(sections[3]).items) {
      if (item.kind == Item::Kind::TextValue) out += text;
      if (item.kind == Item::Kind::Literal) out += item.text;
    }
    return out;
  }
  double number = value.isEmpty() ? 0 : value.number;
  bool conditional = false;
  const std::size_t index = sectionFor(sections, number, conditional);
  Section section = parseSection(sections[index]);
  std::u16string body;
  if (section.isDate) {
    body = renderDate(section, number, system);
  } else if (auto fraction = renderFraction(sections[index], number)) {
    body = *fraction;
  } else {
    body = renderNumber(section, number);
  }
  // A negative number that rounds to zero shows no sign: -0.4 under "0" is "0". Sections
  // chosen by a condition show the sign themselves.
  bool negativeSign = number < 0 && (index == 0 || conditional) &&
                      body.find_first_of(u"123456789") != std::u16string::npos;
  if (section.items.empty() && !section.isDate)
    body = sections.size() > 1 ? u"" : numberToText(std::fabs(number));
  return negativeSign ? u"-" + body : body;
}

}  // namespace sx::formula
