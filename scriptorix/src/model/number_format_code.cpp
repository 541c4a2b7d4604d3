#include "model/number_format_code.h"

#include <array>
#include <stdexcept>
#include <string>

#include "core/utf.h"

namespace sx {

namespace {

constexpr size_t kMaxSections = 4;

[[noreturn]] void refuse(std::u16string_view code, const std::string& fault) {
  throw std::invalid_argument("Malformed number format code (" + fault + "): " + toUtf8(code));
}

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool equalsIgnoringCase(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != word[i]) return false;
  }
  return true;
}

bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view word) {
  return text.size() >= word.size() && equalsIgnoringCase(text.substr(0, word.size()), word);
}

bool isDigits(std::u16string_view text) {
  if (text.empty()) return false;
  for (const char16_t c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

// [-]digits[.digits][E[+-]digits]
bool isNumber(std::u16string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == u'-') ++i;
  const size_t digitsStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  bool digits = i > digitsStart;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    const size_t fractionStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    digits = digits || i > fractionStart;
  }
  if (!digits) return false;
  if (i < text.size() && lower(text[i]) == u'e') {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    if (!isDigits(text.substr(i))) return false;
    return true;
  }
  return i == text.size();
}

bool isCondition(std::u16string_view text) {
  for (const std::u16string_view op : {u"<=", u">=", u"<>", u"<", u">", u"="}) {
    if (text.substr(0, op.size()) == op) {
      std::u16string_view rest = text.substr(op.size());
      while (!rest.empty() && rest.front() == u' ') rest.remove_prefix(1);
      return isNumber(rest);
    }
  }
  return false;
}

bool isColor(std::u16string_view text) {
  constexpr std::array<std::u16string_view, 8> names = {u"black",   u"blue", u"cyan",  u"green",
                                                        u"magenta", u"red",  u"white", u"yellow"};
  for (const std::u16string_view name : names) {
    if (equalsIgnoringCase(text, name)) return true;
  }
  if (!startsWithIgnoringCase(text, u"color")) return false;
  const std::u16string_view number = text.substr(5);
  if (!isDigits(number) || number.size() > 2) return false;
  const int index = std::stoi(toUtf8(number));
  return index >= 1 && index <= 56;
}

bool isElapsedTime(std::u16string_view text) {
  if (text.empty()) return false;
  const char16_t unit = lower(text.front());
  if (unit != u'h' && unit != u'm' && unit != u's') return false;
  for (const char16_t c : text) {
    if (lower(c) != unit) return false;
  }
  return true;
}

// [DBNum1], [NatNum3]: numerals of another script.
bool isNumeralSystem(std::u16string_view text) {
  for (const std::u16string_view word : {u"dbnum", u"natnum"}) {
    if (startsWithIgnoringCase(text, word)) return isDigits(text.substr(word.size()));
  }
  return false;
}

bool isKnownBracket(std::u16string_view text) {
  const bool localeOrCurrency = !text.empty() && text.front() == u'$';
  return isColor(text) || isCondition(text) || isElapsedTime(text) || localeOrCurrency ||
         isNumeralSystem(text);
}

}  // namespace

void checkNumberFormatCode(std::u16string_view code) {
  size_t sections = 1;
  for (size_t i = 0; i < code.size(); ++i) {
    switch (code[i]) {
      case u'"': {
        const size_t close = code.find(u'"', i + 1);
        if (close == std::u16string_view::npos) refuse(code, "a quoted text is not closed");
        i = close;
        break;
      }
      case u'\\':
      case u'_':
      case u'*':
        // The next character is shown (or stands for its width, or fills the cell).
        if (i + 1 == code.size()) {
          refuse(code, std::string("\"") + static_cast<char>(code[i]) +
                           "\" at the end, with no character after it");
        }
        ++i;
        break;
      case u'[': {
        const size_t close = code.find(u']', i + 1);
        if (close == std::u16string_view::npos) refuse(code, "a \"[\" is not closed");
        const std::u16string_view inside = code.substr(i + 1, close - i - 1);
        if (!isKnownBracket(inside)) {
          refuse(code, "unknown [" + toUtf8(inside) + "]");
        }
        i = close;
        break;
      }
      case u']':
        refuse(code, "a \"]\" without \"[\"");
      case u';':
        if (++sections > kMaxSections) refuse(code, "more than four sections");
        break;
      default:
        break;
    }
  }
}

}  // namespace sx
