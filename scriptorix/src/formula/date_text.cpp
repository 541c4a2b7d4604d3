#include "formula/date_text.h"

#include <array>
#include <string>
#include <vector>

#include "core/text_case.h"
#include "formula/character_classes.h"
#include "formula/date_serial.h"

namespace sx::formula {
namespace {

struct Piece {
  bool isWord;
  std::u16string text;  // letters folded to lower case
  int64_t value = 0;    // numbers
  char16_t before = 0;  // the separator in front of it (0 at the start)
};

constexpr std::array<std::u16string_view, 12> kMonths = {
    u"january", u"february", u"march",     u"april",   u"may",      u"june",
    u"july",    u"august",   u"september", u"october", u"november", u"december"};

// 1..12 for a month name or its abbreviation of three letters or more, else 0.
int monthNamed(std::u16string_view word) {
  if (word.size() < 3) return 0;
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    if (kMonths[m].substr(0, word.size()) == word) return int(m + 1);
  }
  return word == u"sept" ? 9 : 0;
}

bool splitPieces(std::u16string_view text, std::vector<Piece>& pieces) {
  char16_t separator = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char16_t c = text[i];
    if (isAsciiDigit(c)) {
      Piece piece{false, {}, 0, separator};
      while (i < text.size() && isAsciiDigit(text[i])) {
        if (piece.text.size() >= 9) return false;
        piece.text.push_back(text[i]);
        piece.value = piece.value * 10 + (text[i] - u'0');
        ++i;
      }
      pieces.push_back(std::move(piece));
      separator = 0;
    } else if (isAsciiLetter(c)) {
      Piece piece{true, {}, 0, separator};
      while (i < text.size() && isAsciiLetter(text[i])) piece.text.push_back(foldCase(text[i++]));
      pieces.push_back(std::move(piece));
      separator = 0;
    } else if (c == u' ' || c == u'-' || c == u'/' || c == u',' || c == u':' || c == u'.') {
      // Runs of blanks and a comma followed by a blank count as one separator.
      if (separator != 0 && !(c == u' ' || separator == u' ' || separator == u',')) return false;
      if (separator == 0 || separator == u' ') separator = c;
      ++i;
    } else {
      return false;
    }
  }
  return separator == 0 || separator == u' ';
}

int64_t fullYear(const Piece& piece) {
  if (piece.text.size() <= 2) return piece.value < 30 ? 2000 + piece.value : 1900 + piece.value;
  return piece.value;
}

std::optional<double> civilSerial(int64_t year, int64_t month, int64_t day) {
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const bool phantom = year == 1900 && month == 2 && day == 29;
  if (!phantom && day > daysInMonth(int32_t(year), int32_t(month))) return std::nullopt;
  return double(dateToSerial(year, month, day));
}

// The date in pieces [0, count): numbers and month names in one of the usual orders.
std::optional<double> readDate(const std::vector<Piece>& p, std::size_t count) {
  if (count == 3 && !p[0].isWord && !p[1].isWord && !p[2].isWord) {
    if (p[1].before != p[2].before || (p[1].before != u'-' && p[1].before != u'/'))
      return std::nullopt;
    if (p[0].text.size() == 4) return civilSerial(p[0].value, p[1].value, p[2].value);
    if (p[2].text.size() != 4 && p[2].text.size() > 2) return std::nullopt;
    return civilSerial(fullYear(p[2]), p[0].value, p[1].value);
  }
  if (count == 3 && !p[0].isWord && p[1].isWord && !p[2].isWord) {
    const int month = monthNamed(p[1].text);
    if (month == 0 || p[0].text.size() > 2) return std::nullopt;
    return civilSerial(fullYear(p[2]), month, p[0].value);
  }
  if (count == 3 && p[0].isWord && !p[1].isWord && !p[2].isWord) {
    const int month = monthNamed(p[0].text);
    if (month == 0 || p[1].text.size() > 2) return std::nullopt;
    return civilSerial(fullYear(p[2]), month, p[1].value);
  }
  if (count == 2 && p[0].isWord && !p[1].isWord && p[1].text.size() == 4) {
    const int month = monthNamed(p[0].text);
    if (month == 0) return std::nullopt;
    return civilSerial(p[1].value, month, 1);
  }
  return std::nullopt;
}

// The time in pieces [first, end): h[:mm[:ss[.fraction]]] and an AM/PM word at the end.
std::optional<double> readTime(const std::vector<Piece>& p, std::size_t first, std::size_t end) {
  int meridiem = 0;  // 1 AM, 2 PM
  if (end > first && p[end - 1].isWord) {
    const std::u16string& word = p[end - 1].text;
    if (word == u"am" || word == u"a") {
      meridiem = 1;
    } else if (word == u"pm" || word == u"p") {
      meridiem = 2;
    } else {
      return std::nullopt;
    }
    if (p[end - 1].before != u' ' && p[end - 1].before != 0) return std::nullopt;
    --end;
  }
  const std::size_t count = end - first;
  if (count == 0 || count > 4) return std::nullopt;
  int64_t parts[3] = {0, 0, 0};
  double fraction = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Piece& piece = p[first + i];
    if (piece.isWord) return std::nullopt;
    if (i == 3 || (i == 2 && piece.before == u'.')) {
      if (piece.before != u'.' || i != count - 1) return std::nullopt;
      fraction = double(piece.value);
      for (std::size_t d = 0; d < piece.text.size(); ++d) fraction /= 10;
      break;
    }
    if (i > 0 && piece.before != u':') return std::nullopt;
    parts[i] = piece.value;
  }
  if (count == 1 && meridiem == 0) return std::nullopt;
  int64_t hours = parts[0];
  if (meridiem != 0) {
    if (hours < 1 || hours > 12) return std::nullopt;
    hours = hours % 12 + (meridiem == 2 ? 12 : 0);
  }
  if (hours > 9999 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return (double(hours) * 3600 + double(parts[1]) * 60 + double(parts[2]) + fraction) / 86400;
}

}  // namespace

std::optional<DateTimeText> parseDateTimeText(std::u16string_view text) {
  std::vector<Piece> pieces;
  if (!splitPieces(text, pieces) || pieces.empty()) return std::nullopt;
  // The time begins at the number before the first colon, or is a lone hour before AM/PM.
  std::size_t timeStart = pieces.size();
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (pieces[i].before == u':') {
      timeStart = i - 1;
      break;
    }
  }
  if (timeStart == pieces.size() && pieces.size() >= 2 && pieces.back().isWord &&
      !pieces[pieces.size() - 2].isWord) {
    const std::u16string& word = pieces.back().text;
    if (word == u"am" || word == u"pm" || word == u"a" || word == u"p")
      timeStart = pieces.size() - 2;
  }
  DateTimeText result{0, timeStart > 0, timeStart < pieces.size()};
  if (result.hasDate) {
    auto day = readDate(pieces, timeStart);
    if (!day) return std::nullopt;
    result.serial = *day;
  }
  if (result.hasTime) {
    if (result.hasDate && pieces[timeStart].before != u' ') return std::nullopt;
    auto time = readTime(pieces, timeStart, pieces.size());
    if (!time) return std::nullopt;
    result.serial += *time;
  }
  return result;
}

}  // namespace sx::formula
