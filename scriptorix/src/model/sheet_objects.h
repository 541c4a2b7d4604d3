#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/address.h"

namespace sx {

struct CellShift;

// A note (the application's legacy comment) on one cell.
struct CellNote {
  std::u16string author;
  std::u16string text;
};

// Where a picture or chart sits: a two-cell anchor spans `cells`; a one-cell anchor starts at
// the top-left cell of `cells` and is `width` x `height` pixels.
struct DrawingAnchor {
  RangeRef cells;
  bool oneCell = false;
  uint32_t width = 0;
  uint32_t height = 0;
};

enum class ImageType { Png, Jpeg };

struct SheetImage {
  ImageType type = ImageType::Png;
  std::string bytes;
  uint32_t pixelWidth = 0;  // as the file's header states
  uint32_t pixelHeight = 0;
  DrawingAnchor anchor;
};

enum class ChartKind { Column, Bar, Line, Pie, Scatter, Area };
enum class ChartGrouping { Clustered, Stacked, PercentStacked };
enum class LegendPosition { None, Right, Left, Top, Bottom };
// The script's words ("column", "stacked", "bottom"), ASCII case ignored; anything else throws.
ChartKind parseChartKind(std::u16string_view word);
ChartGrouping parseChartGrouping(std::u16string_view word);
LegendPosition parseLegendPosition(std::u16string_view word);
// The legendPos value ("r", "b", ...); "" for None.
std::string_view legendPositionName(LegendPosition position);

// References are absolute and name their sheet ("'My data'!$B$2:$B$13"), as a chart part holds
// them.
struct ChartSeries {
  std::u16string values;
  std::u16string categories;  // "" without categories
  std::u16string nameCell;    // the series name from a cell, or
  std::u16string nameText;    // a fixed one
};

struct SheetChart {
  ChartKind kind = ChartKind::Column;
  ChartGrouping grouping = ChartGrouping::Clustered;
  std::u16string title;
  std::u16string categoryAxisTitle;
  std::u16string valueAxisTitle;
  LegendPosition legend = LegendPosition::Right;
  std::vector<ChartSeries> series;
  DrawingAnchor anchor;
};

enum class TotalsFunction { None, Sum, Average, Count, CountNumbers, Max, Min, StdDev, Var };
// "sum", "average", "count", "countNums", "max", "min", "stdDev", "var", "none"; else throws.
TotalsFunction parseTotalsFunction(std::u16string_view word);
// The SUBTOTAL code that skips hidden rows (109 for sum); 0 for None.
int subtotalCode(TotalsFunction function);
// The table part's totalsRowFunction attribute ("sum", "countNums", ...).
std::string_view totalsFunctionName(TotalsFunction function);

struct TableColumn {
  std::u16string name;
  TotalsFunction totals = TotalsFunction::None;
  std::u16string totalsLabel;  // text in the totals row instead of a function
};

struct SheetTable {
  std::u16string name;
  RangeRef range;  // header (when shown), data and totals rows
  std::u16string style = u"TableStyleMedium2";
  bool headerRow = true;
  bool totalsRow = false;
  bool bandedRows = true;
  bool bandedColumns = false;
  std::vector<TableColumn> columns;
};

// Header texts as column names the way the application makes them: an empty header becomes
// "ColumnN" (N its position), and a name already taken (ignoring case) gets 2, 3, ... appended.
std::vector<std::u16string> uniqueColumnNames(const std::vector<std::u16string>& headers);
// A table name: a letter, "_" or "\\" first, then letters, digits, "_" and "."; not a cell
// reference ("A1", "R1C1"); at most 255 characters. Throws with the reason otherwise.
void checkTableName(std::u16string_view name);

// A cell area after an Insert or Delete; nullopt when it lay wholly in deleted cells.
std::optional<RangeRef> movedArea(const RangeRef& area, const CellShift& shift);

// A sheet that is one chart.
struct ChartSheet {
  uint32_t id = 0;  // from the worksheets' numbering, so sheet ids stay unique
  std::u16string name;
  SheetChart chart;
  uint32_t afterSheetId = 0;  // the worksheet it follows; 0 or a deleted one: at the end
};

// What a sheet holds beside its cells: notes, pictures, charts and tables.
struct SheetObjects {
  std::map<std::pair<int32_t, int32_t>, CellNote> notes;  // by (row, column)
  std::vector<SheetImage> images;
  std::vector<SheetChart> charts;
  std::vector<SheetTable> tables;

  bool hasDrawing() const { return !images.empty() || !charts.empty(); }
  bool empty() const { return notes.empty() && !hasDrawing() && tables.empty(); }
  // Throws when the shift would cut a table or change its columns.
  void checkShift(const CellShift& shift) const;
  // Notes, anchors and tables follow the cells; what lay wholly in deleted cells goes.
  void applyShift(const CellShift& shift);
};

}  // namespace sx
