#include <cmath>
#include <string>

#include "core/utf.h"
#include "io/image_file.h"
#include "js/js_text.h"
#include "js/option_object.h"
#include "js/sheet_objects_guard.h"
#include "js/worksheet_methods.h"
#include "model/workbook.h"

namespace sx {

namespace {

JSValueRef done(const Call& call) { return JSValueMakeUndefined(call.context); }

// The largest picture or chart side, in pixels (about 22 m on screen): keeps EMU sums in range.
constexpr double kMaxPixels = 100000;

RangeRef anchorCells(const Call& call, size_t index) {
  const RangeRef cells = parseRangeRef(call.args.string(index));
  if (cells.shape != RangeRef::Shape::Cells) {
    throw ArgumentError(call.args.methodName() + ": argument " + std::to_string(index + 1) +
                        " must be cells such as \"B2\" or \"B2:H16\", not whole rows or columns");
  }
  return cells;
}

uint32_t pixels(OptionObject& options, const char* key, double value) {
  if (!(value >= 1 && value <= kMaxPixels)) options.fail(key, "must be from 1 to 100000 pixels");
  return static_cast<uint32_t>(std::lround(value));
}

// AddImage(path, cell, {width, height} or {scale}): a PNG or JPEG at its own size (or as
// given) from the cell's top-left corner; AddImage(path, "B2:D8") stretches it over the cells.
JSValueRef addImage(const Call& call) {
  call.args.expectCount(2, 3);
  Sheet& sheet = thisSheet(call);
  refuseObjectsOnOpenedFile(call, sheet);
  const std::u16string path = call.args.string(0);
  if (path.empty()) throw ArgumentError(call.args.methodName() + ": the path is empty");
  const RangeRef cells = anchorCells(call, 1);
  OptionObject options(call.args, call.args.at(2), "argument 3");
  const auto width = options.number("width");
  const auto height = options.number("height");
  const auto scale = options.number("scale");
  options.finish();
  if (scale && (width || height)) options.fail("scale", "cannot be given with width or height");
  if (!cells.isSingleCell() && (scale || width || height)) {
    options.fail(scale   ? "scale"
                 : width ? "width"
                         : "height",
                 "is for a picture anchored at one cell");
  }
  if (width) pixels(options, "width", *width);
  if (height) pixels(options, "height", *height);
  if (scale && !(*scale > 0 && *scale <= 100))
    options.fail("scale", "must be above 0 and at most 100");
  SheetImage image = readImageFile(std::filesystem::path(toUtf8(path)));
  image.anchor.cells = cells;
  image.anchor.oneCell = cells.isSingleCell();
  double w = image.pixelWidth, h = image.pixelHeight;
  if (scale) {
    w *= *scale;
    h *= *scale;
  } else if (width && height) {
    w = *width;
    h = *height;
  } else if (width) {  // the other side keeps the picture's proportions
    h = h * *width / w;
    w = *width;
  } else if (height) {
    w = w * *height / h;
    h = *height;
  }
  image.anchor.width = pixels(options, width ? "width" : "scale", std::max(w, 1.0));
  image.anchor.height = pixels(options, height ? "height" : "scale", std::max(h, 1.0));
  sheet.objects().images.push_back(std::move(image));
  return done(call);
}

// A series reference: without a sheet it means this one; stored absolute with its sheet.
std::u16string seriesReference(OptionObject& series, const char* key, const Sheet& sheet,
                               bool required) {
  const auto text = series.string(key);
  if (!text) {
    if (required) series.fail(key, "is missing");
    return u"";
  }
  SheetRangeRef parsed;
  try {
    parsed = parseSheetRangeRef(*text);
  } catch (const std::exception& error) {
    series.fail(key, std::string("is not a reference: ") + error.what());
  }
  const Sheet* source = parsed.sheet.empty() ? &sheet : sheet.workbook().findSheet(parsed.sheet);
  if (source == nullptr)
    series.fail(key, "names a sheet that does not exist: " + toUtf8(parsed.sheet));
  if (parsed.range.shape != RangeRef::Shape::Cells)
    series.fail(key, "must be cells, not whole rows or columns");
  return formatExternalRef(source->name(), parsed.range, true);
}

ChartSeries readSeries(const Call& call, JSValueRef value, size_t index, const Sheet& sheet) {
  OptionObject options(call.args, value, "series " + std::to_string(index + 1));
  if (JSValueIsNull(call.context, value) || JSValueIsUndefined(call.context, value)) {
    throw ArgumentError(options.prefix() + " must be an object such as {values: 'B2:B13'}");
  }
  ChartSeries series;
  series.values = seriesReference(options, "values", sheet, true);
  series.categories = seriesReference(options, "categories", sheet, false);
  series.nameCell = seriesReference(options, "nameCell", sheet, false);
  series.nameText = options.string("name").value_or(u"");
  if (!series.nameCell.empty() && !series.nameText.empty()) {
    options.fail("name", "cannot be given with nameCell");
  }
  options.finish();
  return series;
}

// The chart described by an options object: series, title, axis titles, legend, grouping.
SheetChart readChart(const Call& call, size_t typeIndex, size_t optionsIndex, const Sheet& sheet) {
  SheetChart chart;
  chart.kind = parseChartKind(call.args.string(typeIndex));
  OptionObject options(call.args, call.args.at(optionsIndex),
                       "argument " + std::to_string(optionsIndex + 1));
  JSValueRef list = options.value("series");
  if (!JSValueIsArray(call.context, list)) options.fail("series", "must be an array of series");
  JSObjectRef array = JSValueToObject(call.context, list, nullptr);
  const double length =
      JSValueToNumber(call.context, getProperty(call.context, array, "length"), nullptr);
  if (!(length >= 1 && length <= 255)) options.fail("series", "must hold 1 to 255 series");
  for (size_t i = 0; i < static_cast<size_t>(length); ++i) {
    JSValueRef item =
        JSObjectGetPropertyAtIndex(call.context, array, static_cast<unsigned>(i), nullptr);
    chart.series.push_back(readSeries(call, item, i, sheet));
  }
  chart.title = options.string("title").value_or(u"");
  chart.categoryAxisTitle = options.string("categoryAxisTitle").value_or(u"");
  chart.valueAxisTitle = options.string("valueAxisTitle").value_or(u"");
  if (auto legend = options.string("legend")) chart.legend = parseLegendPosition(*legend);
  if (auto grouping = options.string("grouping")) {
    chart.grouping = parseChartGrouping(*grouping);
    if (chart.kind == ChartKind::Pie || chart.kind == ChartKind::Scatter) {
      options.fail("grouping", "is for column, bar, line and area charts");
    }
  }
  options.finish();
  return chart;
}

// AddChart(type, "E2:L18", {series: [{values, categories, name or nameCell}], title, ...}).
JSValueRef addChart(const Call& call) {
  call.args.expectCount(3, 3);
  Sheet& sheet = thisSheet(call);
  refuseObjectsOnOpenedFile(call, sheet);
  const RangeRef cells = anchorCells(call, 1);
  SheetChart chart = readChart(call, 0, 2, sheet);
  chart.anchor.cells = cells;
  sheet.objects().charts.push_back(std::move(chart));
  return done(call);
}

}  // namespace

SheetChart chartFromArguments(const Call& call, size_t typeIndex, size_t optionsIndex,
                              const Sheet& sheet) {
  return readChart(call, typeIndex, optionsIndex, sheet);
}

void addWorksheetDrawingMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(worksheetMethod<addImage>("AddImage"));
  table.push_back(worksheetMethod<addChart>("AddChart"));
}

}  // namespace sx
