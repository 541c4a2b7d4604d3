#include "model/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "model/date_serial.h"
#include "model/text_case.h"
#include "model/utf.h"

namespace sx {

namespace {

constexpr size_t kGeneralWidth = 11;

std::string printFixed(double value, int decimals) {
  const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.pop_back();
  return text;
}

void stripTrailingZeros(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
}

std::string generalScientific(double value) {
  const bool negative = value < 0;
  const double magnitude = std::fabs(value);
  int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  for (int attempt = 0; attempt < 2; ++attempt) {
    const size_t exponentLength = std::abs(exponent) >= 100 ? 5 : 4;  // "E+12" / "E+123"
    const int decimals = static_cast<int>(kGeneralWidth) - (negative ? 1 : 0) - 2 -
                         static_cast<int>(exponentLength);
    std::string mantissa = printFixed(magnitude / std::pow(10.0, exponent), std::max(decimals, 0));
    if (mantissa.rfind("10", 0) == 0) {  // rounding carried into the next power of ten
      ++exponent;
      continue;
    }
    stripTrailingZeros(mantissa);
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return (negative ? "-" : "") + mantissa + exponentText;
  }
  return "0";
}

}  // namespace

std::u16string formatGeneralNumber(double value) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? u"0" : u"#NUM!";
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e-4 && magnitude < 1e11) {
    const int integerDigits = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int room = static_cast<int>(kGeneralWidth) - (value < 0 ? 1 : 0) - integerDigits - 1;
    // Never more than 15 significant digits: beyond that a double holds noise.
    const int leadingZeros = magnitude < 1 ? -static_cast<int>(std::floor(std::log10(magnitude))) - 1 : 0;
    const int significantRoom = 15 - (magnitude < 1 ? 0 : integerDigits) + leadingZeros;
    std::string text = printFixed(value, std::max(0, std::min(room, significantRoom)));
    stripTrailingZeros(text);
    if (text.size() <= kGeneralWidth && text != "0" && text != "-0") return fromUtf8(text);
  }
  return fromUtf8(generalScientific(value));
}

std::u16string formatRoundTripNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return fromUtf8(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

namespace {

enum class TokenKind {
  Literal, Digit, Point, Percent, Comma, Exponent, TextPlaceholder, General,
  Year, Month, Day, Hour, Minute, Second, AmPm, ElapsedHours, ElapsedMinutes, ElapsedSeconds
};

struct Token {
  TokenKind kind;
  std::u16string text;  // literal text, the digit placeholder, or the code as written
  int width = 0;        // count of letters for date parts
};

struct Section {
  std::vector<Token> tokens;
  bool isDate = false;
  bool hasAmPm = false;
};

char16_t lower(char16_t c) { return foldCase(c); }

std::vector<std::u16string_view> splitSections(std::u16string_view code) {
  std::vector<std::u16string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == u'"') quoted = !quoted;
    else if (!quoted && code[i] == u'\\') ++i;
    else if (!quoted && code[i] == u';') {
      sections.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(code.substr(start));
  return sections;
}

size_t runLength(std::u16string_view text, size_t at, char16_t letter) {
  size_t n = 0;
  while (at + n < text.size() && lower(text[at + n]) == letter) ++n;
  return n;
}

Section tokenize(std::u16string_view text) {
  Section section;
  auto literal = [&](std::u16string_view piece) {
    if (!section.tokens.empty() && section.tokens.back().kind == TokenKind::Literal) {
      section.tokens.back().text += piece;
    } else {
      section.tokens.push_back({TokenKind::Literal, std::u16string(piece)});
    }
  };
  for (size_t i = 0; i < text.size();) {
    const char16_t c = text[i];
    const char16_t lc = lower(c);
    if (c == u'"') {
      const size_t end = text.find(u'"', i + 1);
      const size_t stop = end == std::u16string_view::npos ? text.size() : end;
      literal(text.substr(i + 1, stop - i - 1));
      i = stop + 1;
    } else if (c == u'\\' && i + 1 < text.size()) {
      literal(text.substr(i + 1, 1));
      i += 2;
    } else if (c == u'_' && i + 1 < text.size()) {
      literal(u" ");  // room the width of the next character
      i += 2;
    } else if (c == u'*' && i + 1 < text.size()) {
      i += 2;  // fill character: a fixed-width text has nothing to fill
    } else if (c == u'[') {
      const size_t end = text.find(u']', i);
      const std::u16string_view inside =
          text.substr(i + 1, (end == std::u16string_view::npos ? text.size() : end) - i - 1);
      if (!inside.empty() && runLength(inside, 0, lower(inside[0])) == inside.size()) {
        const char16_t unit = lower(inside[0]);
        if (unit == u'h') section.tokens.push_back({TokenKind::ElapsedHours, {}, static_cast<int>(inside.size())});
        if (unit == u'm') section.tokens.push_back({TokenKind::ElapsedMinutes, {}, static_cast<int>(inside.size())});
        if (unit == u's') section.tokens.push_back({TokenKind::ElapsedSeconds, {}, static_cast<int>(inside.size())});
        if (unit == u'h' || unit == u'm' || unit == u's') section.isDate = true;
      }
      // colours, conditions and locale tags change nothing in plain text
      i = end == std::u16string_view::npos ? text.size() : end + 1;
    } else if (c == u'0' || c == u'#' || c == u'?') {
      section.tokens.push_back({TokenKind::Digit, std::u16string(1, c)});
      ++i;
    } else if (c == u'.') {
      section.tokens.push_back({TokenKind::Point, u"."});
      ++i;
    } else if (c == u',') {
      section.tokens.push_back({TokenKind::Comma, u","});
      ++i;
    } else if (c == u'%') {
      section.tokens.push_back({TokenKind::Percent, u"%"});
      ++i;
    } else if (c == u'@') {
      section.tokens.push_back({TokenKind::TextPlaceholder, u"@"});
      ++i;
    } else if (lc == u'e' && i + 1 < text.size() && (text[i + 1] == u'+' || text[i + 1] == u'-')) {
      section.tokens.push_back({TokenKind::Exponent, std::u16string(1, text[i + 1])});
      i += 2;
    } else if (lc == u'g' && equalsAsciiIgnoringCase(text.substr(i, 7), "general")) {
      section.tokens.push_back({TokenKind::General, {}});
      i += 7;
    } else if (equalsAsciiIgnoringCase(text.substr(i, 5), "am/pm")) {
      section.tokens.push_back({TokenKind::AmPm, u"AM/PM"});
      section.hasAmPm = true;
      i += 5;
    } else if (equalsAsciiIgnoringCase(text.substr(i, 3), "a/p")) {
      section.tokens.push_back({TokenKind::AmPm, std::u16string(text.substr(i, 3))});
      section.hasAmPm = true;
      i += 3;
    } else if (lc == u'y' || lc == u'm' || lc == u'd' || lc == u'h' || lc == u's') {
      const auto n = static_cast<int>(runLength(text, i, lc));
      const TokenKind kind = lc == u'y' ? TokenKind::Year : lc == u'm' ? TokenKind::Month
                           : lc == u'd' ? TokenKind::Day : lc == u'h' ? TokenKind::Hour
                                        : TokenKind::Second;
      section.tokens.push_back({kind, {}, n});
      section.isDate = true;
      i += static_cast<size_t>(n);
    } else {
      literal(text.substr(i, 1));
      ++i;
    }
  }
  // "m" after an hour or before a second is minutes.
  int lastTime = -1;
  for (size_t k = 0; k < section.tokens.size(); ++k) {
    Token& token = section.tokens[k];
    if (token.kind == TokenKind::Hour || token.kind == TokenKind::ElapsedHours) {
      lastTime = static_cast<int>(k);
    }
    if (token.kind == TokenKind::Month && token.width <= 2) {
      bool beforeSecond = false;
      for (size_t j = k + 1; j < section.tokens.size(); ++j) {
        const TokenKind next = section.tokens[j].kind;
        if (next == TokenKind::Literal) continue;
        beforeSecond = next == TokenKind::Second;
        break;
      }
      if (lastTime >= 0 || beforeSecond) token.kind = TokenKind::Minute;
      lastTime = -1;
    } else if (token.kind != TokenKind::Literal && token.kind != TokenKind::Hour &&
               token.kind != TokenKind::ElapsedHours) {
      lastTime = -1;
    }
  }
  return section;
}

std::u16string twoDigits(int64_t value) {
  return fromUtf8((value < 10 ? "0" : "") + std::to_string(value));
}

std::u16string formatDate(const Section& section, double serial) {
  constexpr const char* kMonths[] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};
  constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
  const DateTimeParts parts = dateTimeFromSerial(serial);
  std::u16string out;
  for (const Token& token : section.tokens) {
    switch (token.kind) {
      case TokenKind::Year:
        out += token.width <= 2 ? twoDigits(parts.year % 100) : fromUtf8(std::to_string(parts.year));
        break;
      case TokenKind::Month: {
        const std::string name = kMonths[parts.month - 1];
        if (token.width == 1) out += fromUtf8(std::to_string(parts.month));
        else if (token.width == 2) out += twoDigits(parts.month);
        else if (token.width == 3) out += fromUtf8(name.substr(0, 3));
        else if (token.width == 5) out += fromUtf8(name.substr(0, 1));
        else out += fromUtf8(name);
        break;
      }
      case TokenKind::Day: {
        const std::string name = kDays[parts.weekday];
        if (token.width == 1) out += fromUtf8(std::to_string(parts.day));
        else if (token.width == 2) out += twoDigits(parts.day);
        else if (token.width == 3) out += fromUtf8(name.substr(0, 3));
        else out += fromUtf8(name);
        break;
      }
      case TokenKind::Hour: {
        int hour = parts.hour;
        if (section.hasAmPm) hour = hour % 12 == 0 ? 12 : hour % 12;
        out += token.width >= 2 ? twoDigits(hour) : fromUtf8(std::to_string(hour));
        break;
      }
      case TokenKind::Minute:
        out += token.width >= 2 ? twoDigits(parts.minute) : fromUtf8(std::to_string(parts.minute));
        break;
      case TokenKind::Second:
        out += token.width >= 2 ? twoDigits(parts.second) : fromUtf8(std::to_string(parts.second));
        break;
      case TokenKind::AmPm: {
        const bool pm = parts.hour >= 12;
        if (token.text.size() == 5) out += pm ? u"PM" : u"AM";
        else out += (pm ? token.text[2] : token.text[0]);
        break;
      }
      case TokenKind::ElapsedHours:
      case TokenKind::ElapsedMinutes:
      case TokenKind::ElapsedSeconds: {
        const int64_t seconds = parts.totalSeconds;
        const int64_t amount = token.kind == TokenKind::ElapsedHours ? seconds / 3600
                               : token.kind == TokenKind::ElapsedMinutes ? seconds / 60 : seconds;
        std::u16string digits = fromUtf8(std::to_string(amount));
        while (digits.size() < static_cast<size_t>(token.width)) digits.insert(digits.begin(), u'0');
        out += digits;
        break;
      }
      case TokenKind::Literal:
      case TokenKind::Point:
      case TokenKind::Comma:
      case TokenKind::Percent:
        out += token.text;
        break;
      default:
        break;
    }
  }
  return out;
}

std::u16string groupThousands(const std::string& digits) {
  std::u16string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += u',';
    out += static_cast<char16_t>(digits[i]);
  }
  return out;
}

// A number section: digit placeholders before and after the point, thousands grouping,
// scaling by trailing commas and percent signs, an optional exponent.
std::u16string formatNumberSection(const Section& section, double value, bool showMinus) {
  const auto& tokens = section.tokens;
  int firstDigit = -1, lastIntegerDigit = -1, point = -1, exponent = -1;
  for (size_t k = 0; k < tokens.size(); ++k) {
    const TokenKind kind = tokens[k].kind;
    if (kind == TokenKind::Exponent && exponent < 0) exponent = static_cast<int>(k);
    if (kind == TokenKind::Point && point < 0 && exponent < 0) point = static_cast<int>(k);
    if (kind == TokenKind::Digit) {
      if (firstDigit < 0) firstDigit = static_cast<int>(k);
      if (point < 0 && exponent < 0) lastIntegerDigit = static_cast<int>(k);
    }
  }
  const int integerEnd = point >= 0 ? point : exponent >= 0 ? exponent : static_cast<int>(tokens.size());
  const int fractionEnd = exponent >= 0 ? exponent : static_cast<int>(tokens.size());
  std::vector<char16_t> integerSlots, fractionSlots, exponentSlots;
  bool grouping = false;
  int scaleCommas = 0, percents = 0;
  for (int k = 0; k < static_cast<int>(tokens.size()); ++k) {
    const Token& token = tokens[k];
    if (token.kind == TokenKind::Percent) ++percents;
    if (token.kind == TokenKind::Digit) {
      if (k < integerEnd) integerSlots.push_back(token.text[0]);
      else if (k < fractionEnd) fractionSlots.push_back(token.text[0]);
      else exponentSlots.push_back(token.text[0]);
    }
    if (token.kind == TokenKind::Comma && k < integerEnd) {
      if (k > firstDigit && k < lastIntegerDigit && firstDigit >= 0) grouping = true;
      else if (lastIntegerDigit >= 0 && k > lastIntegerDigit) ++scaleCommas;
    }
  }
  double magnitude = std::fabs(value) * std::pow(100.0, percents) / std::pow(1000.0, scaleCommas);
  int exponentValue = 0;
  if (exponent >= 0 && magnitude != 0) {
    const int integerCount = std::max<int>(1, static_cast<int>(integerSlots.size()));
    exponentValue = static_cast<int>(std::floor(std::log10(magnitude))) - (integerCount - 1);
    magnitude /= std::pow(10.0, exponentValue);
    const std::string rounded = printFixed(magnitude, static_cast<int>(fractionSlots.size()));
    if (std::stod(rounded) >= std::pow(10.0, integerCount)) {
      ++exponentValue;
      magnitude /= 10;
    }
  }
  const std::string fixed = printFixed(magnitude, static_cast<int>(fractionSlots.size()));
  const size_t dot = fixed.find('.');
  std::string integerDigits = fixed.substr(0, dot);
  std::string fractionDigits = dot == std::string::npos ? "" : fixed.substr(dot + 1);
  if (integerDigits == "0") integerDigits.clear();

  // Integer digits fill the placeholders from the right; the leftmost takes any surplus.
  std::vector<std::u16string> integerTexts(integerSlots.size());
  {
    int next = static_cast<int>(integerDigits.size()) - 1;
    for (int slot = static_cast<int>(integerSlots.size()) - 1; slot >= 0; --slot) {
      if (next >= 0) {
        integerTexts[slot] = static_cast<char16_t>(integerDigits[next--]);
      } else if (integerSlots[slot] == u'0') {
        integerTexts[slot] = u"0";
      } else if (integerSlots[slot] == u'?') {
        integerTexts[slot] = u" ";
      }
    }
    if (!integerTexts.empty() && next >= 0) {
      integerTexts[0] = fromUtf8(integerDigits.substr(0, next + 1)) + integerTexts[0];
    }
  }
  std::u16string groupedInteger;
  if (grouping) {
    std::string all;
    for (const auto& piece : integerTexts) all += toUtf8(piece);
    std::string digitsOnly, padding;
    for (char c : all) (c == ' ' ? padding : digitsOnly) += c;
    groupedInteger = fromUtf8(padding) + groupThousands(digitsOnly);
  }
  // Fraction digits: trailing zeros past the last "0" placeholder are dropped ("#") or blank ("?").
  std::vector<std::u16string> fractionTexts(fractionSlots.size());
  {
    size_t keep = fractionDigits.size();
    while (keep > 0 && fractionDigits[keep - 1] == '0' && fractionSlots[keep - 1] != u'0') --keep;
    for (size_t slot = 0; slot < fractionSlots.size(); ++slot) {
      if (slot < keep) fractionTexts[slot] = static_cast<char16_t>(fractionDigits[slot]);
      else if (fractionSlots[slot] == u'?') fractionTexts[slot] = u" ";
    }
  }

  std::u16string out;
  if (showMinus && value < 0) out += u'-';
  size_t integerSlot = 0, fractionSlot = 0, exponentSlot = 0;
  for (int k = 0; k < static_cast<int>(tokens.size()); ++k) {
    const Token& token = tokens[k];
    switch (token.kind) {
      case TokenKind::Digit:
        if (k < integerEnd) {
          if (!grouping) out += integerTexts[integerSlot];
          else if (integerSlot == 0) out += groupedInteger;
          ++integerSlot;
        } else if (k < fractionEnd) {
          out += fractionTexts[fractionSlot++];
        } else if (exponentSlot++ == 0) {
          std::string digits = std::to_string(std::abs(exponentValue));
          const auto minimum = static_cast<size_t>(std::count(exponentSlots.begin(), exponentSlots.end(), u'0'));
          while (digits.size() < minimum) digits.insert(digits.begin(), '0');
          out += fromUtf8(digits);
        }
        break;
      case TokenKind::Exponent:
        out += u'E';
        if (exponentValue < 0) out += u'-';
        else if (token.text == u"+") out += u'+';
        break;
      case TokenKind::Comma:
        if (k >= integerEnd || (!grouping && scaleCommas == 0) || firstDigit < 0) out += u',';
        break;
      case TokenKind::General:
        out += formatGeneralNumber(std::fabs(value));
        break;
      case TokenKind::Point:
      case TokenKind::Percent:
      case TokenKind::Literal:
      case TokenKind::TextPlaceholder:
        out += token.text;
        break;
      default:
        break;
    }
  }
  return out;
}

std::u16string formatText(const std::vector<std::u16string_view>& sections, std::u16string_view text) {
  std::u16string_view textSection;
  if (sections.size() >= 4) textSection = sections[3];
  else if (sections.size() == 1 && sections[0].find(u'@') != std::u16string_view::npos) textSection = sections[0];
  else return std::u16string(text);
  std::u16string out;
  for (const Token& token : tokenize(textSection).tokens) {
    if (token.kind == TokenKind::TextPlaceholder) out += text;
    else if (token.kind == TokenKind::Literal) out += token.text;
  }
  return out;
}

}  // namespace

std::u16string formatCellValue(const CellValue& value, std::u16string_view formatCode) {
  switch (value.kind) {
    case CellValue::Kind::Empty:
      return {};
    case CellValue::Kind::Boolean:
      return value.boolean ? u"TRUE" : u"FALSE";
    case CellValue::Kind::Error:
      return value.text;
    case CellValue::Kind::Text:
      return formatText(splitSections(formatCode), value.text);
    case CellValue::Kind::Number:
      break;
  }
  const double number = value.number;
  if (formatCode.empty() || equalsAsciiIgnoringCase(formatCode, "general")) {
    return formatGeneralNumber(number);
  }
  const auto sections = splitSections(formatCode);
  size_t index = 0;
  bool showMinus = true;
  if (number < 0 && sections.size() >= 2 && !sections[1].empty()) {
    index = 1;
    showMinus = false;
  } else if (number == 0 && sections.size() >= 3) {
    index = 2;
  }
  const Section section = tokenize(sections[index]);
  if (section.isDate) {
    if (number < 0 || number >= kMaxDateSerial) return formatGeneralNumber(number);
    return formatDate(section, number);
  }
  bool hasPlaceholder = false;
  for (const Token& token : section.tokens) {
    if (token.kind == TokenKind::Digit || token.kind == TokenKind::General) hasPlaceholder = true;
  }
  if (!hasPlaceholder && sections[index].find(u'@') != std::u16string_view::npos) {
    return formatGeneralNumber(number);  // a text format shows numbers as they are
  }
  return formatNumberSection(section, number, showMinus);
}

}  // namespace sx
