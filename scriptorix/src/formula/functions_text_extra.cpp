#include <cmath>
#include <string>
#include <vector>

#include "core/text_case.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/number_format.h"

namespace sx::formula {
namespace {

// CLEAN: drops the control characters 0-31.
Value clean(CallArgs& args) {
  std::u16string out;
  for (char16_t c : args.text(0)) {
    if (c >= 32) out.push_back(c);
  }
  return Scalar::fromText(std::move(out));
}

// A number rendered through a format code as TEXT() renders it (the host's renderer first).
std::u16string rendered(CallArgs& args, double value, const std::u16string& format) {
  if (auto text = args.evaluator().context().formatNumber(value, format)) return *text;
  return renderNumberFormat(Scalar::fromNumber(value), format,
                            args.evaluator().context().dateSystem());
}

// The decimals of FIXED and DOLLAR: negative ones round left of the point.
int decimalsArgument(CallArgs& args, std::size_t i) {
  const double decimals = std::trunc(args.numberOr(i, 2));
  if (decimals > 127) throw FormulaError{ErrorCode::Value};
  return int(std::max(decimals, -127.0));
}

std::u16string digitsFormat(int decimals, bool grouped) {
  std::u16string format = grouped ? u"#,##0" : u"0";
  if (decimals > 0) format += u"." + std::u16string(std::size_t(decimals), u'0');
  return format;
}

Value fixed(CallArgs& args) {
  const double value = args.number(0);
  const int decimals = decimalsArgument(args, 1);
  const bool noCommas = args.booleanOr(2, false);
  const double rounded = roundHalfAway(value, decimals);
  return Scalar::fromText(rendered(args, rounded, digitsFormat(decimals, !noCommas)));
}

Value dollar(CallArgs& args) {
  const double value = args.number(0);
  const int decimals = decimalsArgument(args, 1);
  const double rounded = roundHalfAway(value, decimals);
  const std::u16string digits = digitsFormat(decimals, true);
  return Scalar::fromText(rendered(args, rounded, u"\"$\"" + digits + u";(\"$\"" + digits + u")"));
}

// NUMBERVALUE(text, [decimal separator], [group separator]): a number written with any
// separators; blanks anywhere are ignored and each trailing % divides by 100.
Value numbervalue(CallArgs& args) {
  const std::u16string text = args.text(0);
  const std::u16string decimalText = args.isMissing(1) ? u"." : args.text(1);
  const std::u16string groupText = args.isMissing(2) ? u"," : args.text(2);
  if (decimalText.empty() || groupText.empty()) return Scalar::fromError(ErrorCode::Value);
  const char16_t decimal = decimalText.front(), group = groupText.front();
  if (decimal == group) return Scalar::fromError(ErrorCode::Value);
  std::u16string plain;
  bool seenDecimal = false;
  int percents = 0;
  for (char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
    if (c == u'%') {
      ++percents;
      continue;
    }
    if (percents > 0) return Scalar::fromError(ErrorCode::Value);
    if (c == decimal) {
      if (seenDecimal) return Scalar::fromError(ErrorCode::Value);
      seenDecimal = true;
      plain.push_back(u'.');
    } else if (c == group) {
      if (seenDecimal) return Scalar::fromError(ErrorCode::Value);
    } else if (c == u'.' || c == u',' || c == u'%' || c == u'(' || c == u'$') {
      return Scalar::fromError(ErrorCode::Value);
    } else {
      plain.push_back(c);
    }
  }
  if (plain.empty()) return number(0);
  auto value = parseNumericText(plain);
  if (!value) return Scalar::fromError(ErrorCode::Value);
  return number(*value / std::pow(100.0, percents));
}

// Where TEXTBEFORE and TEXTAFTER cut: the start and length of the chosen delimiter.
struct Cut {
  std::size_t at;
  std::size_t length;
};

bool matchesAt(std::u16string_view text, std::size_t at, std::u16string_view delimiter,
               bool ignoreCase) {
  if (at + delimiter.size() > text.size()) return false;
  for (std::size_t i = 0; i < delimiter.size(); ++i) {
    const char16_t a = text[at + i], b = delimiter[i];
    if (ignoreCase ? foldCase(a) != foldCase(b) : a != b) return false;
  }
  return true;
}

// TEXTBEFORE/TEXTAFTER(text, delimiter(s), [instance], [match mode], [match end], [if not found]).
Value textAround(CallArgs& args, bool before) {
  const std::u16string text = args.text(0);
  std::vector<std::u16string> delimiters;
  const Grid grid = args.grid(1);
  for (int32_t r = 0; r < grid.rows(); ++r) {
    for (int32_t c = 0; c < grid.columns(); ++c) delimiters.push_back(toText(grid.at(r, c)));
  }
  if (delimiters.empty()) delimiters.emplace_back();
  const int64_t instance = args.isMissing(2) ? 1 : toInteger(args.number(2));
  const bool ignoreCase = args.isMissing(3) ? false : toInteger(args.number(3)) != 0;
  const bool matchEnd = args.isMissing(4) ? false : toInteger(args.number(4)) != 0;
  if (instance == 0 || std::llabs(instance) > int64_t(text.size()) + 1)
    return Scalar::fromError(ErrorCode::Value);

  std::vector<Cut> cuts;
  for (std::size_t at = 0; at <= text.size();) {
    const std::u16string* found = nullptr;
    for (const auto& delimiter : delimiters) {
      if (matchesAt(text, at, delimiter, ignoreCase)) {
        found = &delimiter;
        break;
      }
    }
    if (found == nullptr) {
      ++at;
      continue;
    }
    cuts.push_back({at, found->size()});
    at += std::max<std::size_t>(found->size(), 1);
  }
  // Matching the end treats the text's end (its start, counting from the end) as one more.
  if (matchEnd) {
    if (instance > 0)
      cuts.push_back({text.size(), 0});
    else
      cuts.insert(cuts.begin(), {0, 0});
  }
  const std::size_t wanted = std::size_t(std::llabs(instance));
  if (wanted > cuts.size()) {
    if (!args.isMissing(5)) return args.scalarOrError(5);
    return Scalar::fromError(ErrorCode::NA);
  }
  const Cut cut = instance > 0 ? cuts[wanted - 1] : cuts[cuts.size() - wanted];
  if (before) return Scalar::fromText(text.substr(0, cut.at));
  return Scalar::fromText(text.substr(cut.at + cut.length));
}

// The texts of a delimiter argument (one text or an array of them).
std::vector<std::u16string> delimiterTexts(CallArgs& args, std::size_t i) {
  std::vector<std::u16string> delimiters;
  if (args.isMissing(i)) return delimiters;
  const Grid grid = args.grid(i);
  for (int32_t r = 0; r < grid.rows(); ++r) {
    for (int32_t c = 0; c < grid.columns(); ++c) {
      std::u16string text = toText(grid.at(r, c));
      if (!text.empty()) delimiters.push_back(std::move(text));
    }
  }
  return delimiters;
}

// Splits at any of the delimiters (the first listed wins where several match).
std::vector<std::u16string> splitText(std::u16string_view text,
                                      const std::vector<std::u16string>& delimiters,
                                      bool ignoreCase, bool ignoreEmpty) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  auto add = [&](std::size_t end) {
    if (!(ignoreEmpty && end == start)) pieces.emplace_back(text.substr(start, end - start));
  };
  for (std::size_t at = 0; at < text.size();) {
    const std::u16string* found = nullptr;
    for (const auto& delimiter : delimiters) {
      if (matchesAt(text, at, delimiter, ignoreCase)) {
        found = &delimiter;
        break;
      }
    }
    if (found == nullptr) {
      ++at;
      continue;
    }
    add(at);
    at += found->size();
    start = at;
  }
  add(text.size());
  return pieces;
}

// TEXTSPLIT(text, column delimiter, [row delimiter], [ignore empty], [match mode], [pad with]):
// rows of pieces, short rows padded (with #N/A unless told).
Value textsplit(CallArgs& args) {
  const std::u16string text = args.text(0);
  const std::vector<std::u16string> columnDelimiters = delimiterTexts(args, 1);
  const std::vector<std::u16string> rowDelimiters = delimiterTexts(args, 2);
  const bool ignoreEmpty = args.booleanOr(3, false);
  const bool ignoreCase = args.isMissing(4) ? false : toInteger(args.number(4)) != 0;
  const Scalar pad = args.isMissing(5) ? Scalar::fromError(ErrorCode::NA) : args.scalarOrError(5);
  if (columnDelimiters.empty() && rowDelimiters.empty()) return Scalar::fromError(ErrorCode::Value);
  std::vector<std::vector<std::u16string>> rows;
  std::size_t width = 0;
  for (const auto& line : splitText(text, rowDelimiters, ignoreCase, ignoreEmpty)) {
    rows.push_back(splitText(line, columnDelimiters, ignoreCase, ignoreEmpty));
    width = std::max(width, rows.back().size());
  }
  if (rows.empty() || width == 0) return Scalar::fromError(ErrorCode::Value);
  Array out{int32_t(rows.size()), int32_t(width), {}};
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < width; ++c)
      out.cells.push_back(c < row.size() ? Scalar::fromText(row[c]) : pad);
  }
  return out;
}

Value textbefore(CallArgs& args) { return textAround(args, true); }
Value textafter(CallArgs& args) { return textAround(args, false); }

Value unichar(CallArgs& args) {
  const double code = std::trunc(args.number(0));
  if (code < 1 || code > 0x10FFFF) return Scalar::fromError(ErrorCode::Value);
  const auto point = char32_t(code);
  if (point >= 0xD800 && point <= 0xDFFF) return Scalar::fromError(ErrorCode::NA);
  std::u16string out;
  if (point < 0x10000) {
    out.push_back(char16_t(point));
  } else {
    out.push_back(char16_t(0xD800 + ((point - 0x10000) >> 10)));
    out.push_back(char16_t(0xDC00 + ((point - 0x10000) & 0x3FF)));
  }
  return Scalar::fromText(std::move(out));
}

Value unicode(CallArgs& args) {
  const std::u16string text = args.text(0);
  if (text.empty()) return Scalar::fromError(ErrorCode::Value);
  const char16_t first = text[0];
  if (first >= 0xD800 && first <= 0xDBFF && text.size() > 1 && text[1] >= 0xDC00 &&
      text[1] <= 0xDFFF)
    return number(double(0x10000 + ((char32_t(first) - 0xD800) << 10) + (text[1] - 0xDC00)));
  return number(double(first));
}

constexpr FunctionSpec kFunctions[] = {
    {u"CLEAN", 1, 1, clean, false, true},     {u"FIXED", 1, 3, fixed, false, true},
    {u"DOLLAR", 1, 2, dollar, false, true},   {u"NUMBERVALUE", 1, 3, numbervalue, false, true},
    {u"TEXTBEFORE", 2, 6, textbefore},        {u"TEXTAFTER", 2, 6, textafter},
    {u"TEXTSPLIT", 2, 6, textsplit},          {u"UNICHAR", 1, 1, unichar, false, true},
    {u"UNICODE", 1, 1, unicode, false, true},
};

}  // namespace

std::span<const FunctionSpec> textExtraFunctions() { return kFunctions; }

}  // namespace sx::formula
