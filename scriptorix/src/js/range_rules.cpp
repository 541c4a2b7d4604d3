#include <string>

#include "core/utf.h"
#include "js/call_options.h"
#include "js/js_text.h"
#include "js/range_methods.h"
#include "model/number_format_code.h"
#include "model/sheet.h"

namespace sx {

namespace {

DifferentialFormat differentialFormat(const Call& call, const CallOptions& rule) {
  DifferentialFormat format;
  const CallOptions options(
      call, rule.at("format"), "option \"format\"",
      {"fontColor", "bold", "italic", "fill", "border", "borderColor", "numberFormat"});
  format.fontColor = options.optionalColor("fontColor");
  format.bold = options.optionalBoolean("bold");
  format.italic = options.optionalBoolean("italic");
  format.fill = options.optionalColor("fill");
  if (options.has("border")) {
    BorderEdge edge;
    edge.line = options.word("border", parseBorderLineStyle);
    edge.color = options.optionalColor("borderColor").value_or(Color{});
    format.border = edge;
  }
  if (options.has("numberFormat")) {
    format.numberFormat = options.string("numberFormat");
    try {
      checkNumberFormatCode(*format.numberFormat);
    } catch (const std::invalid_argument& error) {
      options.fail("numberFormat", error.what());
    }
  }
  if (format == DifferentialFormat{})
    rule.fail("format", "sets nothing: give fontColor, bold, italic, fill, border or numberFormat");
  return format;
}

// AddConditionalFormat({type, ...}): one rule over the range, ranked after the sheet's others.
JSValueRef addConditionalFormat(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const CallOptions options(call, call.args.at(0), "argument 1",
                            {"type", "operator", "formula1", "formula2", "format", "colors",
                             "color", "iconSet", "rank", "percent", "bottom", "below", "text"});
  ConditionalFormat rule;
  rule.area = target.range();
  options.require("type", "to choose the kind of rule");
  rule.kind = options.word("type", parseConditionKind);
  switch (rule.kind) {
    case ConditionKind::CellValue:
      options.require("operator", "for a cellValue rule");
      rule.comparison = options.word("operator", parseComparisonOperator);
      options.require("formula1", "for a cellValue rule");
      rule.formulas.push_back(options.formula("formula1", false));
      if (takesTwoValues(rule.comparison)) {
        options.require("formula2", "for between and notBetween");
        rule.formulas.push_back(options.formula("formula2", false));
      }
      break;
    case ConditionKind::Expression:
      options.require("formula1", "for an expression rule");
      rule.formulas.push_back(options.formula("formula1", false));
      break;
    case ConditionKind::ColorScale: {
      options.require("colors", "for a colorScale rule");
      JSValueRef colors = options.at("colors");
      if (!JSValueIsArray(call.context, colors))
        options.fail("colors", "must be an array of 2 or 3 Colors");
      JSObjectRef list = JSValueToObject(call.context, colors, nullptr);
      const double length =
          JSValueToNumber(call.context, getProperty(call.context, list, "length"), nullptr);
      if (length != 2 && length != 3) options.fail("colors", "must be an array of 2 or 3 Colors");
      for (unsigned i = 0; i < static_cast<unsigned>(length); ++i) {
        rule.colors.push_back(
            options.color(JSObjectGetPropertyAtIndex(call.context, list, i, nullptr), "colors"));
      }
      break;
    }
    case ConditionKind::DataBar:
      rule.colors.push_back(options.optionalColor("color").value_or(Color{0x63, 0x8E, 0xC6}));
      break;
    case ConditionKind::IconSet:
      rule.iconSet =
          options.has("iconSet") ? options.word("iconSet", parseIconSetName) : u"3TrafficLights1";
      break;
    case ConditionKind::Top:
      rule.percent = options.boolean("percent", false);
      rule.rank = options.integer("rank", 10, 1, rule.percent ? 100 : 1000);
      rule.bottom = options.boolean("bottom", false);
      break;
    case ConditionKind::AboveAverage:
      rule.below = options.boolean("below", false);
      break;
    case ConditionKind::ContainsText:
      options.require("text", "for a containsText rule");
      rule.text = options.string("text");
      if (rule.text.empty() || rule.text.size() > 255)
        options.fail("text", "must have 1 to 255 characters");
      break;
    case ConditionKind::Duplicate:
    case ConditionKind::Unique:
      break;
  }
  const bool formatted = rule.kind != ConditionKind::ColorScale &&
                         rule.kind != ConditionKind::DataBar && rule.kind != ConditionKind::IconSet;
  if (formatted) {
    options.require("format", "to say how matching cells look");
    rule.format = differentialFormat(call, options);
  }
  target.sheet.addConditionalFormat(std::move(rule));
  return JSValueMakeUndefined(call.context);
}

// SetValidation({type, ...}): what the range's cells accept, replacing their validation.
JSValueRef setValidation(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const CallOptions options(
      call, call.args.at(0), "argument 1",
      {"type", "operator", "formula1", "formula2", "source", "allowBlank", "dropDown", "inputTitle",
       "inputMessage", "errorTitle", "errorMessage", "errorStyle"});
  DataValidation rule;
  rule.area = target.range();
  options.require("type", "to choose what the cells accept");
  rule.kind = options.word("type", parseValidationKind);
  if (rule.kind == ValidationKind::List) {
    // As the application's Source box: "a,b,c" lists items, "=..." refers to cells.
    options.require("source", "for a list");
    const std::u16string source = options.string("source");
    if (!source.empty() && source[0] == u'=') {
      if (source.size() == 1) options.fail("source", "must name cells after \"=\"");
      rule.formulas.push_back(source.substr(1));
    } else {
      try {
        rule.formulas.push_back(inlineListFormula(source));
      } catch (const std::invalid_argument& error) {
        options.fail("source", error.what());
      }
    }
  } else if (rule.kind == ValidationKind::Custom) {
    options.require("formula1", "for a custom rule");
    rule.formulas.push_back(options.formula("formula1", false));
  } else {
    const bool dates = rule.kind == ValidationKind::Date || rule.kind == ValidationKind::Time;
    rule.comparison = options.has("operator") ? options.word("operator", parseComparisonOperator)
                                              : ComparisonOperator::Between;
    options.require("formula1", "to give the value to compare with");
    rule.formulas.push_back(options.formula("formula1", dates));
    if (takesTwoValues(rule.comparison)) {
      options.require("formula2", "for between and notBetween");
      rule.formulas.push_back(options.formula("formula2", dates));
    }
  }
  rule.allowBlank = options.boolean("allowBlank", true);
  rule.dropDown = options.boolean("dropDown", true);
  rule.inputTitle = options.limitedText("inputTitle", kMaxValidationTitleLength);
  rule.inputMessage = options.limitedText("inputMessage", kMaxValidationMessageLength);
  rule.errorTitle = options.limitedText("errorTitle", kMaxValidationTitleLength);
  rule.errorMessage = options.limitedText("errorMessage", kMaxValidationMessageLength);
  if (options.has("errorStyle"))
    rule.errorStyle = options.word("errorStyle", parseValidationErrorStyle);
  target.sheet.addValidation(std::move(rule));
  return JSValueMakeUndefined(call.context);
}

// SetHyperlink({url | location, display, tooltip, style}): a link on the range; `display`
// becomes the text of its top-left cell, and the range gets the link look (blue, underlined)
// unless `style` is false.
JSValueRef setHyperlink(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const CallOptions options(call, call.args.at(0), "argument 1",
                            {"url", "location", "display", "tooltip", "style"});
  Hyperlink link;
  link.area = target.range();
  if (options.has("url") == options.has("location"))
    options.fail("url", "or \"location\" is needed, not both");
  if (options.has("url")) {
    link.address = options.limitedText("url", kMaxHyperlinkAddressLength);
    if (link.address.empty()) options.fail("url", "must not be empty");
  } else {
    link.formulas.push_back(options.formula("location", false));
  }
  link.display = options.stringOr("display", u"");
  link.tooltip = options.limitedText("tooltip", kMaxHyperlinkTooltipLength);
  const bool styled = options.boolean("style", true);
  Sheet& sheet = target.sheet;
  sheet.addHyperlink(link);
  if (!link.display.empty()) {
    sheet.setValue(cellRef(link.area.firstRow, link.area.firstColumn),
                   CellValue::fromText(link.display));
  }
  if (styled) {
    sheet.setFontColor(link.area, Color{0x05, 0x63, 0xC1});
    sheet.setUnderline(link.area, FontUnderline::Single);
  }
  return JSValueMakeUndefined(call.context);
}

// SetRichText([{text, bold, italic, underline, strikethrough, color, size, fontName}, ...]) on
// one cell: the texts joined are its value, each run with its own font.
JSValueRef setRichText(const Call& call) {
  call.args.expectCount(1, 1);
  RangeTarget target = thisRange(call);
  const RangeRef& range = target.range();
  if (!range.isSingleCell()) throw ArgumentError(call.args.methodName() + " works on one cell");
  JSContextRef context = call.context;
  if (!JSValueIsArray(context, call.args.at(0))) call.args.fail(0, "an array of runs");
  JSObjectRef list = JSValueToObject(context, call.args.at(0), nullptr);
  const double length = JSValueToNumber(context, getProperty(context, list, "length"), nullptr);
  if (!(length >= 1 && length <= 1000)) {
    throw ArgumentError(call.args.methodName() + ": argument 1 must hold 1 to 1000 runs");
  }
  std::vector<TextRun> runs;
  for (unsigned i = 0; i < static_cast<unsigned>(length); ++i) {
    const CallOptions options(
        call, JSObjectGetPropertyAtIndex(context, list, i, nullptr), "run " + std::to_string(i + 1),
        {"text", "bold", "italic", "underline", "strikethrough", "color", "size", "fontName"});
    TextRun run;
    options.require("text", "in every run");
    run.text = options.string("text");
    run.bold = options.optionalBoolean("bold");
    run.italic = options.optionalBoolean("italic");
    run.underline = options.optionalBoolean("underline");
    run.strikethrough = options.optionalBoolean("strikethrough");
    run.color = options.optionalColor("color");
    if (options.has("size")) run.size = options.integer("size", 11, 1, 409);
    if (options.has("fontName")) {
      run.fontName = options.limitedText("fontName", 31);
      if (run.fontName->empty()) options.fail("fontName", "must not be empty");
    }
    runs.push_back(std::move(run));
  }
  size_t total = 0;
  for (const TextRun& run : runs) total += run.text.size();
  if (total == 0 || total > 32767) {
    throw ArgumentError(call.args.methodName() +
                        ": the runs must hold 1 to 32,767 characters in all");
  }
  target.sheet.setRichText(range.firstRow, range.firstColumn, std::move(runs));
  return JSValueMakeUndefined(call.context);
}

}  // namespace

void addRangeRuleMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(rangeMethod<addConditionalFormat>("AddConditionalFormat"));
  table.push_back(rangeMethod<setValidation>("SetValidation"));
  table.push_back(rangeMethod<setHyperlink>("SetHyperlink"));
  table.push_back(rangeMethod<setRichText>("SetRichText"));
}

}  // namespace sx
