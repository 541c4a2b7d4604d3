#include <optional>
#include <stdexcept>

#include "io/xlsx_parts.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xml_text.h"

namespace sx {

namespace {

// The cells a series reference covers, read from the model so that readers which do not
// calculate still see the chart; nothing when the reference no longer names a sheet.
struct CachedCells {
  std::vector<CellValue> values;
  std::vector<std::u16string> shown;
  bool allNumbers = true;
};

std::optional<CachedCells> readCells(const Workbook& workbook, const std::u16string& reference) {
  SheetRangeRef parsed;
  try {
    parsed = parseSheetRangeRef(reference);
  } catch (const std::exception&) {
    return std::nullopt;  // #REF! after its sheet or cells were deleted
  }
  const Sheet* sheet = workbook.findSheet(parsed.sheet);
  if (sheet == nullptr || parsed.range.cellCount() > 100000) return std::nullopt;
  CachedCells cells;
  for (int32_t row = parsed.range.firstRow; row <= parsed.range.lastRow; ++row) {
    for (int32_t column = parsed.range.firstColumn; column <= parsed.range.lastColumn; ++column) {
      CellValue value = sheet->value(row, column);
      if (value.kind != CellValue::Kind::Number && !value.isEmpty()) cells.allNumbers = false;
      cells.shown.push_back(sheet->displayText(row, column));
      cells.values.push_back(std::move(value));
    }
  }
  return cells;
}

std::string numberReference(const Workbook& workbook, const std::u16string& reference) {
  std::string xml = "<c:numRef><c:f>" + xmlPlainText(reference) + "</c:f>";
  if (auto cells = readCells(workbook, reference)) {
    xml += "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"" +
           std::to_string(cells->values.size()) + "\"/>";
    for (size_t i = 0; i < cells->values.size(); ++i) {
      if (cells->values[i].kind != CellValue::Kind::Number)
        continue;  // a gap, as the application leaves it
      xml += "<c:pt idx=\"" + std::to_string(i) + "\"><c:v>" + xmlNumber(cells->values[i].number) +
             "</c:v></c:pt>";
    }
    xml += "</c:numCache>";
  }
  return xml + "</c:numRef>";
}

std::string stringReference(const Workbook& workbook, const std::u16string& reference) {
  std::string xml = "<c:strRef><c:f>" + xmlPlainText(reference) + "</c:f>";
  if (auto cells = readCells(workbook, reference)) {
    xml += "<c:strCache><c:ptCount val=\"" + std::to_string(cells->shown.size()) + "\"/>";
    for (size_t i = 0; i < cells->shown.size(); ++i) {
      xml += "<c:pt idx=\"" + std::to_string(i) + "\"><c:v>" + xmlText(cells->shown[i]) +
             "</c:v></c:pt>";
    }
    xml += "</c:strCache>";
  }
  return xml + "</c:strRef>";
}

// Categories that are all numbers stay numbers; anything else is shown as text.
std::string categoryReference(const Workbook& workbook, const std::u16string& reference) {
  const auto cells = readCells(workbook, reference);
  return cells && cells->allNumbers ? numberReference(workbook, reference)
                                    : stringReference(workbook, reference);
}

std::string richText(const std::u16string& text) {
  return "<c:tx><c:rich><a:bodyPr/><a:lstStyle/><a:p><a:r><a:t>" + xmlText(text) +
         "</a:t></a:r></a:p></c:rich></c:tx>";
}

std::string titleXml(const std::u16string& text) {
  return text.empty() ? "" : "<c:title>" + richText(text) + "<c:overlay val=\"0\"/></c:title>";
}

// Colours are written out: a package without a theme leaves "automatic" fills to each reader,
// and some then draw nothing.
constexpr const char* kPalette[] = {"4472C4", "ED7D31", "A5A5A5", "FFC000", "5B9BD5",
                                    "70AD47", "264478", "9E480E", "636363", "997300"};

std::string shapeProperties(size_t index, bool lineOnly) {
  const std::string colour = kPalette[index % std::size(kPalette)];
  if (lineOnly) {
    return "<c:spPr><a:ln w=\"28575\" cap=\"rnd\"><a:solidFill><a:srgbClr val=\"" + colour +
           "\"/></a:solidFill><a:round/></a:ln></c:spPr>";
  }
  return "<c:spPr><a:solidFill><a:srgbClr val=\"" + colour + "\"/></a:solidFill></c:spPr>";
}

// A pie's slices each take the next colour.
std::string pieSlices(const Workbook& workbook, const ChartSeries& series) {
  const auto cells = readCells(workbook, series.values);
  std::string xml;
  for (size_t i = 0; cells && i < cells->values.size(); ++i) {
    xml += "<c:dPt><c:idx val=\"" + std::to_string(i) + "\"/><c:bubble3D val=\"0\"/>" +
           shapeProperties(i, false) + "</c:dPt>";
  }
  return xml;
}

std::string seriesXml(const Workbook& workbook, const SheetChart& chart, const ChartSeries& series,
                      size_t index) {
  const std::string number = std::to_string(index);
  std::string xml = "<c:ser><c:idx val=\"" + number + "\"/><c:order val=\"" + number + "\"/>";
  if (!series.nameCell.empty()) {
    xml += "<c:tx>" + stringReference(workbook, series.nameCell) + "</c:tx>";
  } else if (!series.nameText.empty()) {
    xml += "<c:tx><c:v>" + xmlText(series.nameText) + "</c:v></c:tx>";
  }
  const bool lines = chart.kind == ChartKind::Line || chart.kind == ChartKind::Scatter;
  if (chart.kind != ChartKind::Pie) xml += shapeProperties(index, lines);
  if (chart.kind == ChartKind::Bar || chart.kind == ChartKind::Column) {
    xml += "<c:invertIfNegative val=\"0\"/>";
  }
  if (lines) xml += "<c:marker><c:symbol val=\"none\"/></c:marker>";
  if (chart.kind == ChartKind::Pie) xml += pieSlices(workbook, series);
  const bool scatter = chart.kind == ChartKind::Scatter;
  if (!series.categories.empty()) {
    xml += scatter ? "<c:xVal>" + numberReference(workbook, series.categories) + "</c:xVal>"
                   : "<c:cat>" + categoryReference(workbook, series.categories) + "</c:cat>";
  }
  xml += scatter ? "<c:yVal>" + numberReference(workbook, series.values) + "</c:yVal>"
                 : "<c:val>" + numberReference(workbook, series.values) + "</c:val>";
  if (chart.kind == ChartKind::Line || scatter) xml += "<c:smooth val=\"0\"/>";
  return xml + "</c:ser>";
}

std::string axisXml(const char* kind, int id, int crossing, const char* position,
                    const std::u16string& title, bool gridlines) {
  std::string xml =
      std::string("<c:") + kind + "><c:axId val=\"" + std::to_string(id) +
      "\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete val=\"0\"/>"
      "<c:axPos val=\"" +
      position + "\"/>";
  if (gridlines) xml += "<c:majorGridlines/>";
  xml += titleXml(title);
  xml +=
      "<c:numFmt formatCode=\"General\" sourceLinked=\"1\"/><c:majorTickMark val=\"out\"/>"
      "<c:minorTickMark val=\"none\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"" +
      std::to_string(crossing) + "\"/><c:crosses val=\"autoZero\"/>";
  if (std::string_view(kind) == "valAx") xml += "<c:crossBetween val=\"between\"/>";
  return xml + "</c:" + kind + ">";
}

const char* groupingName(ChartGrouping grouping, bool standardForLines) {
  switch (grouping) {
    case ChartGrouping::Stacked:
      return "stacked";
    case ChartGrouping::PercentStacked:
      return "percentStacked";
    case ChartGrouping::Clustered:
      break;
  }
  return standardForLines ? "standard" : "clustered";
}

std::string plotXml(const Workbook& workbook, const SheetChart& chart) {
  std::string series;
  for (size_t i = 0; i < chart.series.size(); ++i)
    series += seriesXml(workbook, chart, chart.series[i], i);
  const std::string axes = "<c:axId val=\"500000001\"/><c:axId val=\"500000002\"/>";
  switch (chart.kind) {
    case ChartKind::Pie:
      return "<c:pieChart><c:varyColors val=\"1\"/>" + series +
             "<c:firstSliceAng val=\"0\"/></c:pieChart>";
    case ChartKind::Scatter:
      return "<c:scatterChart><c:scatterStyle val=\"lineMarker\"/><c:varyColors val=\"0\"/>" +
             series + axes + "</c:scatterChart>";
    case ChartKind::Line:
      return std::string("<c:lineChart><c:grouping val=\"") + groupingName(chart.grouping, true) +
             "\"/><c:varyColors val=\"0\"/>" + series + "<c:marker val=\"1\"/>" + axes +
             "</c:lineChart>";
    case ChartKind::Area:
      return std::string("<c:areaChart><c:grouping val=\"") + groupingName(chart.grouping, true) +
             "\"/><c:varyColors val=\"0\"/>" + series + axes + "</c:areaChart>";
    case ChartKind::Column:
    case ChartKind::Bar:
      break;
  }
  const bool stacked = chart.grouping != ChartGrouping::Clustered;
  return std::string("<c:barChart><c:barDir val=\"") +
         (chart.kind == ChartKind::Bar ? "bar" : "col") + "\"/><c:grouping val=\"" +
         groupingName(chart.grouping, false) + "\"/><c:varyColors val=\"0\"/>" + series +
         "<c:gapWidth val=\"150\"/>" + (stacked ? "<c:overlap val=\"100\"/>" : "") + axes +
         "</c:barChart>";
}

}  // namespace

std::string chartXml(const Workbook& workbook, const SheetChart& chart) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<c:roundedCorners val=\"0\"/><c:chart>";
  xml += chart.title.empty() ? "<c:autoTitleDeleted val=\"1\"/>"
                             : titleXml(chart.title) + "<c:autoTitleDeleted val=\"0\"/>";
  xml += "<c:plotArea><c:layout/>" + plotXml(workbook, chart);
  // Bars lie along the vertical axis: the category axis is on the left, the values at the bottom.
  const bool bar = chart.kind == ChartKind::Bar;
  if (chart.kind == ChartKind::Scatter) {
    xml += axisXml("valAx", 500000001, 500000002, "b", chart.categoryAxisTitle, false);
    xml += axisXml("valAx", 500000002, 500000001, "l", chart.valueAxisTitle, true);
  } else if (chart.kind != ChartKind::Pie) {
    xml += axisXml("catAx", 500000001, 500000002, bar ? "l" : "b", chart.categoryAxisTitle, false);
    xml += axisXml("valAx", 500000002, 500000001, bar ? "b" : "l", chart.valueAxisTitle, true);
  }
  xml += "</c:plotArea>";
  if (chart.legend != LegendPosition::None) {
    xml += "<c:legend><c:legendPos val=\"" + std::string(legendPositionName(chart.legend)) +
           "\"/><c:overlay val=\"0\"/></c:legend>";
  }
  return xml + "<c:plotVisOnly val=\"1\"/><c:dispBlanksAs val=\"gap\"/></c:chart></c:chartSpace>";
}

}  // namespace sx
