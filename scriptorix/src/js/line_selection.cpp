#include "js/line_selection.h"

#include <algorithm>

#include "core/utf.h"

namespace sx {

namespace {

bool allOf(const std::u16string& text, bool (*test)(char16_t)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), test);
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

RangeRef lineArgument(const Arguments& args, size_t index, RangeRef::Shape shape) {
  const bool rows = shape == RangeRef::Shape::Rows;
  if (JSValueIsNumber(args.context(), args.at(index))) {
    const int32_t n = args.integer(index, 1, rows ? kMaxRows : kMaxColumns);
    return rows ? rowsRef(n - 1, n - 1) : columnsRef(n - 1, n - 1);
  }
  if (!JSValueIsString(args.context(), args.at(index))) {
    args.fail(index, rows ? "a row number or text such as \"1:3\""
                          : "a column number or text such as \"A:C\"");
  }
  std::u16string text = args.string(index);
  // A single row ("3") or column ("C") is the span from it to itself.
  if (allOf(text, rows ? isDigit : isLetter)) text += u":" + text;
  const RangeRef range = parseRangeRef(text);
  if (range.shape != shape) {
    throw ArgumentError(args.methodName() + ": \"" + toUtf8(text) + "\" is not " +
                        (rows ? "whole rows such as \"1:3\"" : "whole columns such as \"A:C\""));
  }
  return range;
}

}  // namespace

RangeRef wholeRowsArgument(const Arguments& args, size_t index) {
  return lineArgument(args, index, RangeRef::Shape::Rows);
}

RangeRef wholeColumnsArgument(const Arguments& args, size_t index) {
  return lineArgument(args, index, RangeRef::Shape::Columns);
}

}  // namespace sx
