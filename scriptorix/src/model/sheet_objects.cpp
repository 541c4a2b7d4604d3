#include "model/sheet_objects.h"

#include <stdexcept>

#include "core/text_case.h"
#include "core/utf.h"
#include "formula/reference_adjust.h"
#include "model/word_table.h"
#include "model/workbook.h"

namespace sx {

namespace {

constexpr Word<ChartKind> kChartKinds[] = {
    {"column", ChartKind::Column, "col"},       {"bar", ChartKind::Bar, "bar"},
    {"line", ChartKind::Line, "line"},          {"pie", ChartKind::Pie, "pie"},
    {"scatter", ChartKind::Scatter, "scatter"}, {"area", ChartKind::Area, "area"},
};

constexpr Word<ChartGrouping> kGroupings[] = {
    {"clustered", ChartGrouping::Clustered, "clustered"},
    {"stacked", ChartGrouping::Stacked, "stacked"},
    {"percentStacked", ChartGrouping::PercentStacked, "percentStacked"},
};

constexpr Word<LegendPosition> kLegendPositions[] = {
    {"none", LegendPosition::None, ""},      {"right", LegendPosition::Right, "r"},
    {"left", LegendPosition::Left, "l"},     {"top", LegendPosition::Top, "t"},
    {"bottom", LegendPosition::Bottom, "b"},
};

struct TotalsEntry {
  TotalsFunction function;
  int subtotal;
};

constexpr Word<TotalsEntry> kTotals[] = {
    {"none", {TotalsFunction::None, 0}, "none"},
    {"sum", {TotalsFunction::Sum, 109}, "sum"},
    {"average", {TotalsFunction::Average, 101}, "average"},
    {"count", {TotalsFunction::Count, 103}, "count"},
    {"countNums", {TotalsFunction::CountNumbers, 102}, "countNums"},
    {"max", {TotalsFunction::Max, 104}, "max"},
    {"min", {TotalsFunction::Min, 105}, "min"},
    {"stdDev", {TotalsFunction::StdDev, 107}, "stdDev"},
    {"var", {TotalsFunction::Var, 110}, "var"},
};

const Word<TotalsEntry>& totalsEntry(TotalsFunction function) {
  for (const auto& entry : kTotals) {
    if (entry.value.function == function) return entry;
  }
  return kTotals[0];
}

}  // namespace

ChartKind parseChartKind(std::u16string_view word) {
  return parseWord(kChartKinds, word, "chart type");
}
ChartGrouping parseChartGrouping(std::u16string_view word) {
  return parseWord(kGroupings, word, "chart grouping");
}
LegendPosition parseLegendPosition(std::u16string_view word) {
  return parseWord(kLegendPositions, word, "legend position");
}

std::string_view legendPositionName(LegendPosition position) {
  return ooxmlName(kLegendPositions, position);
}

TotalsFunction parseTotalsFunction(std::u16string_view word) {
  return parseWord(kTotals, word, "totals function").function;
}
int subtotalCode(TotalsFunction function) { return totalsEntry(function).value.subtotal; }
std::string_view totalsFunctionName(TotalsFunction function) { return totalsEntry(function).ooxml; }

std::vector<std::u16string> uniqueColumnNames(const std::vector<std::u16string>& headers) {
  std::vector<std::u16string> names;
  auto taken = [&](std::u16string_view name) {
    for (const auto& other : names) {
      if (equalsIgnoringCase(other, name)) return true;
    }
    for (size_t i = names.size(); i < headers.size(); ++i) {
      if (equalsIgnoringCase(headers[i], name)) return true;
    }
    return false;
  };
  for (size_t i = 0; i < headers.size(); ++i) {
    std::u16string base =
        headers[i].empty() ? u"Column" + fromUtf8(std::to_string(i + 1)) : headers[i];
    std::u16string name = base;
    // A later header with the same text keeps its own name, so only earlier ones count for it.
    bool clash = false;
    for (const auto& other : names) clash = clash || equalsIgnoringCase(other, name);
    for (int n = 2; clash; ++n) {
      name = base + fromUtf8(std::to_string(n));
      clash = taken(name);
    }
    names.push_back(std::move(name));
  }
  return names;
}

void checkTableName(std::u16string_view name) {
  if (!Workbook::isValidDefinedName(name)) {
    throw std::invalid_argument("Not a valid table name: \"" + toUtf8(name) +
                                "\" (a letter or \"_\" first, then letters, digits, \"_\" and "
                                "\".\"; not a cell reference)");
  }
}

// A table keeps its columns: a shift that would cut it or change its width is refused.
void SheetObjects::checkShift(const CellShift& shift) const {
  for (const SheetTable& table : tables) {
    const RangeRef& area = table.range;
    const ShiftAxes axes =
        shiftAxes(shift, area.firstRow, area.firstColumn, area.lastRow, area.lastColumn);
    const bool touches = axes.bandAcrossLast >= axes.acrossFirst &&
                         axes.bandAcrossFirst <= axes.acrossLast && axes.bandFirst <= axes.last;
    if (touches &&
        (axes.bandAcrossFirst > axes.acrossFirst || axes.bandAcrossLast < axes.acrossLast)) {
      throw std::runtime_error("Cannot move part of table " + toUtf8(table.name) +
                               ": shift whole rows or columns of it");
    }
    const auto moved = movedArea(area, shift);
    if (moved && moved->columnCount() != area.columnCount()) {
      throw std::runtime_error("Cannot change the columns of table " + toUtf8(table.name));
    }
  }
}

void SheetObjects::applyShift(const CellShift& shift) {
  std::map<std::pair<int32_t, int32_t>, CellNote> movedNotes;
  for (auto& [cell, note] : notes) {
    if (auto moved = movedArea(cellRef(cell.first, cell.second), shift)) {
      movedNotes.emplace(std::pair{moved->firstRow, moved->firstColumn}, std::move(note));
    }
  }
  notes = std::move(movedNotes);
  // A corner in deleted cells goes to where they were, so the picture or chart stays.
  auto moveAnchor = [&](DrawingAnchor& anchor) {
    if (auto moved = movedArea(anchor.cells, shift)) {
      anchor.cells = *moved;
    } else {
      const bool vertical = shift.kind == CellShift::Kind::DeleteUp;
      RangeRef place = cellRef(vertical ? shift.firstRow : anchor.cells.firstRow,
                               vertical ? anchor.cells.firstColumn : shift.firstColumn);
      anchor.cells = place;
    }
  };
  for (auto& image : images) moveAnchor(image.anchor);
  for (auto& chart : charts) moveAnchor(chart.anchor);
  std::vector<SheetTable> kept;
  for (auto& table : tables) {
    if (auto moved = movedArea(table.range, shift)) {
      table.range = *moved;
      kept.push_back(std::move(table));
    }
  }
  tables = std::move(kept);
}

}  // namespace sx
