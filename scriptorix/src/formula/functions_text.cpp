#include <cmath>

#include "formula/function_helpers.h"
#include "formula/function_library.h"
#include "formula/number_format.h"

namespace sx::formula {
namespace {

// Texts longer than a cell may hold are #VALUE!, as in a spreadsheet.
constexpr std::size_t kMaxTextLength = 32767;

Value textResult(std::u16string text) {
  if (text.size() > kMaxTextLength) return Scalar::fromError(ErrorCode::Value);
  return Scalar::fromText(std::move(text));
}

std::size_t countArgument(CallArgs& args, std::size_t i, double fallback) {
  double n = args.numberOr(i, fallback);
  if (n < 0) throw FormulaError{ErrorCode::Value};
  return n > double(kMaxTextLength) ? kMaxTextLength + 1 : std::size_t(n);
}

Value concatenate(CallArgs& args) {
  std::u16string out;
  for (std::size_t i = 0; i < args.size(); ++i) out += args.text(i);
  return textResult(std::move(out));
}

Value concat(CallArgs& args) {
  std::u16string out;
  forEachArgumentValue(args, 0, [&](const Scalar& value, bool) { out += toText(value); });
  return textResult(std::move(out));
}

Value textJoin(CallArgs& args) {
  std::u16string delimiter = args.text(0);
  // Without a delimiter an empty cell adds nothing, so it may as well be skipped; with one,
  // every cell adds text and the length limit ends a walk over a huge area early.
  bool ignoreEmpty = args.boolean(1) || delimiter.empty();
  std::u16string out;
  bool first = true;
  auto add = [&](const Scalar& value) {
    std::u16string piece = toText(value);
    if (ignoreEmpty && piece.empty()) return;
    if (!first) out += delimiter;
    out += piece;
    first = false;
    if (out.size() > kMaxTextLength) throw FormulaError{ErrorCode::Value};
  };
  for (std::size_t i = 2; i < args.size(); ++i) {
    Value value = args.value(i);
    if (!std::holds_alternative<References>(value) || ignoreEmpty) {
      forEachArgumentValue(
          args, i, [&](const Scalar& cell, bool) { add(cell); }, i + 1);
      continue;
    }
    // Empty cells count too, so the whole area is read, not only its used part.
    for (const Area& area : std::get<References>(value)) {
      for (int32_t row = area.firstRow; row <= area.lastRow; ++row) {
        for (int32_t column = area.firstColumn; column <= area.lastColumn; ++column) {
          add(args.evaluator().cell(area.sheet, row, column));
        }
      }
    }
  }
  return textResult(std::move(out));
}

Value left(CallArgs& args) {
  std::u16string text = args.text(0);
  return Scalar::fromText(text.substr(0, countArgument(args, 1, 1)));
}

Value right(CallArgs& args) {
  std::u16string text = args.text(0);
  std::size_t n = std::min(countArgument(args, 1, 1), text.size());
  return Scalar::fromText(text.substr(text.size() - n));
}

Value mid(CallArgs& args) {
  std::u16string text = args.text(0);
  double start = args.number(1);
  std::size_t n = countArgument(args, 2, 0);
  if (start < 1) return Scalar::fromError(ErrorCode::Value);
  if (start > double(text.size())) return Scalar::fromText(u"");
  return Scalar::fromText(text.substr(std::size_t(start) - 1, n));
}

Value length(CallArgs& args) { return number(double(args.text(0).size())); }
Value upper(CallArgs& args) { return Scalar::fromText(upperCase(args.text(0))); }
Value lower(CallArgs& args) { return Scalar::fromText(lowerCase(args.text(0))); }

bool isLetter(char16_t c) {
  return upperCase(std::u16string_view(&c, 1)) != lowerCase(std::u16string_view(&c, 1));
}

Value proper(CallArgs& args) {
  std::u16string text = args.text(0);
  bool afterLetter = false;
  for (auto& c : text) {
    std::u16string_view one(&c, 1);
    c = afterLetter ? lowerCase(one)[0] : upperCase(one)[0];
    afterLetter = isLetter(c);
  }
  return Scalar::fromText(std::move(text));
}

Value trim(CallArgs& args) {
  std::u16string text = args.text(0), out;
  for (char16_t c : text) {
    if (c == u' ' && (out.empty() || out.back() == u' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == u' ') out.pop_back();
  return Scalar::fromText(std::move(out));
}

Value substitute(CallArgs& args) {
  std::u16string text = args.text(0), from = args.text(1), to = args.text(2);
  int64_t instance = args.isMissing(3) ? 0 : toInteger(args.number(3));
  if (!args.isMissing(3) && instance < 1) return Scalar::fromError(ErrorCode::Value);
  if (from.empty()) return Scalar::fromText(std::move(text));
  std::u16string out;
  int64_t seen = 0;
  std::size_t at = 0;
  while (true) {
    std::size_t found = text.find(from, at);
    if (found == std::u16string::npos) break;
    ++seen;
    out.append(text, at, found - at);
    out += (instance == 0 || seen == instance) ? to : from;
    at = found + from.size();
  }
  out.append(text, at);
  return textResult(std::move(out));
}

Value replace(CallArgs& args) {
  std::u16string text = args.text(0);
  double start = args.number(1);
  std::size_t n = countArgument(args, 2, 0);
  std::u16string with = args.text(3);
  if (start < 1) return Scalar::fromError(ErrorCode::Value);
  std::size_t from =
      std::min(std::size_t(std::min(start, double(kMaxTextLength))) - 1, text.size());
  text.replace(from, std::min(n, text.size() - from), with);
  return textResult(std::move(text));
}

Value findText(CallArgs& args, bool caseless) {
  std::u16string needle = args.text(0), haystack = args.text(1);
  double start = args.numberOr(2, 1);
  if (start < 1 || start > double(haystack.size()) + 1) return Scalar::fromError(ErrorCode::Value);
  std::size_t from = std::size_t(start) - 1;
  if (!caseless) {
    std::size_t found = haystack.find(needle, from);
    if (found == std::u16string::npos) return Scalar::fromError(ErrorCode::Value);
    return number(double(found + 1));
  }
  // SEARCH: wildcards, ignoring case; the match may be any length, so try each start.
  std::u16string pattern = needle + u"*";
  for (std::size_t at = from; at <= haystack.size(); ++at) {
    if (wildcardMatch(pattern, std::u16string_view(haystack).substr(at)))
      return number(double(at + 1));
  }
  return Scalar::fromError(ErrorCode::Value);
}

Value find(CallArgs& args) { return findText(args, false); }
Value search(CallArgs& args) { return findText(args, true); }

Value text(CallArgs& args) {
  Scalar value = args.scalar(0);
  std::u16string format = args.text(1);
  const DateSystem system = args.evaluator().context().dateSystem();
  if (value.isText()) {
    if (auto numeric = parseNumericText(value.text, system)) value = Scalar::fromNumber(*numeric);
  }
  if (value.isNumber()) {
    if (auto rendered = args.evaluator().context().formatNumber(value.number, format))
      return Scalar::fromText(*rendered);
  }
  return Scalar::fromText(
      renderNumberFormat(value, format, args.evaluator().context().dateSystem()));
}

Value valueFunction(CallArgs& args) {
  Scalar value = args.scalar(0);
  if (value.isNumber()) return value;
  if (value.isEmpty()) return number(0);
  if (value.isBoolean()) return Scalar::fromError(ErrorCode::Value);
  auto numeric = parseNumericText(value.text, args.evaluator().context().dateSystem());
  if (!numeric) return Scalar::fromError(ErrorCode::Value);
  return number(*numeric);
}

Value repeat(CallArgs& args) {
  std::u16string text = args.text(0);
  std::size_t times = countArgument(args, 1, 0);
  if (!text.empty() && times > kMaxTextLength / text.size())
    return Scalar::fromError(ErrorCode::Value);
  std::u16string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return Scalar::fromText(std::move(out));
}

// CHAR and CODE use the Latin-1 range, where the usual code page and Unicode agree.
Value character(CallArgs& args) {
  double code = std::trunc(args.number(0));
  if (code < 1 || code > 255) return Scalar::fromError(ErrorCode::Value);
  return Scalar::fromText(std::u16string(1, char16_t(code)));
}

Value code(CallArgs& args) {
  std::u16string text = args.text(0);
  if (text.empty()) return Scalar::fromError(ErrorCode::Value);
  return number(double(text.front()));
}

Value textOnly(CallArgs& args) {
  Scalar value = args.scalar(0);
  return Scalar::fromText(value.isText() ? value.text : u"");
}

Value exact(CallArgs& args) { return Scalar::fromBoolean(args.text(0) == args.text(1)); }

constexpr FunctionSpec kFunctions[] = {
    {u"CONCATENATE", 1, -1, concatenate},
    {u"CONCAT", 1, -1, concat},
    {u"TEXTJOIN", 3, -1, textJoin},
    {u"LEFT", 1, 2, left, false, true},
    {u"RIGHT", 1, 2, right, false, true},
    {u"MID", 3, 3, mid, false, true},
    {u"LEN", 1, 1, length, false, true},
    {u"UPPER", 1, 1, upper, false, true},
    {u"LOWER", 1, 1, lower, false, true},
    {u"PROPER", 1, 1, proper, false, true},
    {u"TRIM", 1, 1, trim, false, true},
    {u"SUBSTITUTE", 3, 4, substitute, false, true},
    {u"REPLACE", 4, 4, replace, false, true},
    {u"FIND", 2, 3, find, false, true},
    {u"SEARCH", 2, 3, search, false, true},
    {u"TEXT", 2, 2, text, false, true},
    {u"VALUE", 1, 1, valueFunction, false, true},
    {u"REPT", 2, 2, repeat, false, true},
    {u"EXACT", 2, 2, exact, false, true},
    {u"CHAR", 1, 1, character, false, true},
    {u"CODE", 1, 1, code, false, true},
    {u"T", 1, 1, textOnly},
};

}  // namespace

std::span<const FunctionSpec> textFunctions() { return kFunctions; }

}  // namespace sx::formula
