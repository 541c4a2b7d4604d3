#include <optional>
#include <stdexcept>
#include <string>

#include "js/range_methods.h"
#include "js/session.h"
#include "js/script_context.h"
#include "model/sheet.h"

namespace sx {

namespace {

Color colorArgument(const Call& call, size_t index) {
  return call.args.object<ColorHandle>(index, colorClass(), "a Color from Api.CreateColorFromRGB")
      .color;
}

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

// The common shape of the one-argument setters: check, convert, apply.
template <typename Convert, typename Apply>
JSValueRef setOne(const Call& call, Convert&& convert, Apply&& apply) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  auto value = convert(call.args);
  apply(target.sheet, target.range(), value);
  return done(call);
}

auto asString = [](const Arguments& args) { return args.string(0); };
auto asNumber = [](const Arguments& args) { return args.number(0); };
auto asBoolean = [](const Arguments& args) { return args.boolean(0); };

JSValueRef setNumberFormat(const Call& call) {
  return setOne(call, asString, [](Sheet& s, const RangeRef& r, const std::u16string& code) {
    s.setNumberFormat(r, code);
  });
}

JSValueRef setColumnWidth(const Call& call) {
  return setOne(call, asNumber,
                [](Sheet& s, const RangeRef& r, double width) { s.setColumnWidth(r, width); });
}

JSValueRef setRowHeight(const Call& call) {
  return setOne(call, asNumber,
                [](Sheet& s, const RangeRef& r, double points) { s.setRowHeight(r, points); });
}

JSValueRef setFontName(const Call& call) {
  const Session& session = sessionOf(call.context);
  return setOne(call, asString, [&](Sheet& s, const RangeRef& r, const std::u16string& name) {
    if (name.empty()) throw std::invalid_argument("Font name must not be empty");
    s.setFontName(r, session.canonicalFontName(name));
  });
}

JSValueRef setFontSize(const Call& call) {
  return setOne(call, asNumber,
                [](Sheet& s, const RangeRef& r, double points) { s.setFontSize(r, points); });
}

JSValueRef setBold(const Call& call) {
  return setOne(call, asBoolean, [](Sheet& s, const RangeRef& r, bool on) { s.setBold(r, on); });
}

JSValueRef setItalic(const Call& call) {
  return setOne(call, asBoolean, [](Sheet& s, const RangeRef& r, bool on) { s.setItalic(r, on); });
}

// true or false (a single underline or none), or a style: "single", "double",
// "singleAccounting", "doubleAccounting", "none".
JSValueRef setUnderline(const Call& call) {
  return setOne(
      call,
      [](const Arguments& args) {
        if (JSValueIsBoolean(args.context(), args.at(0))) {
          return args.boolean(0) ? FontUnderline::Single : FontUnderline::None;
        }
        if (!JSValueIsString(args.context(), args.at(0)))
          args.fail(0, "a boolean or an underline style");
        return parseFontUnderline(args.string(0));
      },
      [](Sheet& s, const RangeRef& r, FontUnderline underline) { s.setUnderline(r, underline); });
}

JSValueRef setStrikethrough(const Call& call) {
  return setOne(call, asBoolean,
                [](Sheet& s, const RangeRef& r, bool on) { s.setStrikethrough(r, on); });
}

JSValueRef setSuperscript(const Call& call) {
  return setOne(call, asBoolean, [](Sheet& s, const RangeRef& r, bool on) {
    s.setVerticalAlign(r, FontVerticalAlign::Superscript, on);
  });
}

JSValueRef setSubscript(const Call& call) {
  return setOne(call, asBoolean, [](Sheet& s, const RangeRef& r, bool on) {
    s.setVerticalAlign(r, FontVerticalAlign::Subscript, on);
  });
}

JSValueRef setWrap(const Call& call) {
  return setOne(call, asBoolean, [](Sheet& s, const RangeRef& r, bool on) { s.setWrap(r, on); });
}

JSValueRef setFontColor(const Call& call) {
  return setOne(
      call, [&](const Arguments&) { return colorArgument(call, 0); },
      [](Sheet& s, const RangeRef& r, Color color) { s.setFontColor(r, color); });
}

// null takes the fill away.
JSValueRef setFillColor(const Call& call) {
  return setOne(
      call,
      [&](const Arguments& args) {
        return args.isNullish(0) ? std::optional<Color>() : colorArgument(call, 0);
      },
      [](Sheet& s, const RangeRef& r, std::optional<Color> color) { s.setFillColor(r, color); });
}

JSValueRef setAlignHorizontal(const Call& call) {
  return setOne(call, asString, [](Sheet& s, const RangeRef& r, const std::u16string& word) {
    s.setHorizontalAlignment(r, parseHorizontalAlignment(word));
  });
}

JSValueRef setAlignVertical(const Call& call) {
  return setOne(call, asString, [](Sheet& s, const RangeRef& r, const std::u16string& word) {
    s.setVerticalAlignment(r, parseVerticalAlignment(word));
  });
}

JSValueRef setBorders(const Call& call) {
  call.args.expectCount(3, 3);
  RangeTarget target = thisRange(call);
  const BorderPosition position = parseBorderPosition(call.args.string(0));
  const BorderLineStyle line = parseBorderLineStyle(call.args.string(1));
  target.sheet.setBorders(target.range(), position, line, colorArgument(call, 2));
  return done(call);
}

// The columns the range touches, each as wide as its widest displayed text (an estimate).
JSValueRef autoFit(const Call& call) {
  call.args.expectCount(0, 0);
  RangeTarget target = thisRange(call);
  target.sheet.autoFitColumns(target.range());
  return done(call);
}

// Number format helpers: the codes a report uses most, so that scripts need not spell them.
JSValueRef setDateFormat(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const bool withTime = call.args.booleanOr(0, false);
  target.sheet.setNumberFormat(target.range(), withTime ? u"yyyy-mm-dd hh:mm" : u"yyyy-mm-dd");
  return done(call);
}

// SetCurrencyFormat(symbol = "$", decimals = 2): "$"#,##0.00, negatives with a minus sign.
JSValueRef setCurrencyFormat(const Call& call) {
  call.args.expectCount(0, 2);
  RangeTarget target = thisRange(call);
  const std::u16string symbol = call.args.isNullish(0) ? u"$" : call.args.string(0);
  if (symbol.empty() || symbol.size() > 8 || symbol.find(u'"') != std::u16string::npos) {
    throw std::invalid_argument(call.args.methodName() +
                                ": a currency symbol has 1 to 8 characters and no double quote");
  }
  const int32_t decimals = call.args.isNullish(1) ? 2 : call.args.integer(1, 0, 10);
  std::u16string code = u"\"" + symbol + u"\"#,##0";
  if (decimals > 0) code += u"." + std::u16string(static_cast<size_t>(decimals), u'0');
  target.sheet.setNumberFormat(target.range(), code);
  return done(call);
}

// SetPercentFormat(decimals = 0): 0% or 0.00%.
JSValueRef setPercentFormat(const Call& call) {
  call.args.expectCount(0, 1);
  RangeTarget target = thisRange(call);
  const int32_t decimals = call.args.isNullish(0) ? 0 : call.args.integer(0, 0, 10);
  std::u16string code = u"0";
  if (decimals > 0) code += u"." + std::u16string(static_cast<size_t>(decimals), u'0');
  target.sheet.setNumberFormat(target.range(), code + u"%");
  return done(call);
}

// Rows of a rows view (or of whole rows), columns of a columns view (or of whole columns).
JSValueRef setHidden(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const bool hidden = call.args.boolean(0);
  const RangeRef& range = target.range();
  if (target.handle.view == RangeView::Rows || range.shape == RangeRef::Shape::Rows) {
    target.sheet.setRowsHidden(range, hidden);
  } else if (target.handle.view == RangeView::Columns || range.shape == RangeRef::Shape::Columns) {
    target.sheet.setColumnsHidden(range, hidden);
  } else {
    throw ArgumentError(call.args.methodName() +
                        " hides rows or columns: call it on GetRows() or GetCols()");
  }
  return done(call);
}

}  // namespace

void addRangeFormatMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<setNumberFormat>("SetNumberFormat"));
  table.push_back(rangeMethod<setColumnWidth>("SetColumnWidth"));
  table.push_back(rangeMethod<setRowHeight>("SetRowHeight"));
  table.push_back(rangeMethod<setFontName>("SetFontName"));
  table.push_back(rangeMethod<setFontSize>("SetFontSize"));
  table.push_back(rangeMethod<setBold>("SetBold"));
  table.push_back(rangeMethod<setItalic>("SetItalic"));
  table.push_back(rangeMethod<setUnderline>("SetUnderline"));
  table.push_back(rangeMethod<setStrikethrough>("SetStrikethrough"));
  table.push_back(rangeMethod<setSuperscript>("SetSuperscript"));
  table.push_back(rangeMethod<setSubscript>("SetSubscript"));
  table.push_back(rangeMethod<setFontColor>("SetFontColor"));
  table.push_back(rangeMethod<setFillColor>("SetFillColor"));
  table.push_back(rangeMethod<setWrap>("SetWrap"));
  table.push_back(rangeMethod<setAlignHorizontal>("SetAlignHorizontal"));
  table.push_back(rangeMethod<setAlignVertical>("SetAlignVertical"));
  table.push_back(rangeMethod<setBorders>("SetBorders"));
  table.push_back(rangeMethod<setHidden>("SetHidden"));
  table.push_back(rangeMethod<autoFit>("AutoFit"));
  table.push_back(rangeMethod<setDateFormat>("SetDateFormat"));
  table.push_back(rangeMethod<setCurrencyFormat>("SetCurrencyFormat"));
  table.push_back(rangeMethod<setPercentFormat>("SetPercentFormat"));
}

}  // namespace sx
