#include <algorithm>
#include <map>
#include <numeric>
#include <queue>
#include <stdexcept>
#include <tuple>

#include "model/sheet.h"

namespace sx {

namespace {
void checkPosition(int32_t row, int32_t column) {
  if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
    throw std::out_of_range("Cell outside the sheet (rows 1 to 1048576, columns A to XFD)");
  }
}
}  // namespace

void Sheet::setStyleIndex(int32_t row, int32_t column, uint32_t style) {
  checkPosition(row, column);
  cellAt(row, column).style = style;
}

void Sheet::setRowFormat(int32_t row, const RowFormat& format) {
  checkPosition(row, 0);
  if (format == RowFormat{}) {
    rowFormats_.erase(row);
  } else {
    rowFormats_[row] = format;
  }
}

void Sheet::setColumnFormat(int32_t column, const ColumnFormat& format) {
  checkPosition(0, column);
  if (format == ColumnFormat{}) {
    columnFormats_.erase(column);
  } else {
    columnFormats_[column] = format;
  }
}

void Sheet::loadMerges(std::vector<RangeRef> areas) {
  for (RangeRef& area : areas) area = checked(area);
  std::erase_if(areas, [](const RangeRef& area) { return area.isSingleCell(); });
  // Sweep down the rows keeping the open areas by first column: each area is checked against
  // its one possible left neighbour, so any number of areas loads in O(n log n).
  std::vector<size_t> order(areas.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return std::tuple(areas[a].firstRow, areas[a].firstColumn, a) <
           std::tuple(areas[b].firstRow, areas[b].firstColumn, b);
  });
  std::map<int32_t, int32_t> openLastColumn;   // by first column
  using Ending = std::pair<int32_t, int32_t>;  // last row, first column
  std::priority_queue<Ending, std::vector<Ending>, std::greater<>> endings;
  std::vector<bool> kept(areas.size(), false);
  for (size_t index : order) {
    const RangeRef& area = areas[index];
    while (!endings.empty() && endings.top().first < area.firstRow) {
      openLastColumn.erase(endings.top().second);
      endings.pop();
    }
    auto left = openLastColumn.upper_bound(area.lastColumn);
    if (left != openLastColumn.begin() && std::prev(left)->second >= area.firstColumn) continue;
    openLastColumn.emplace(area.firstColumn, area.lastColumn);
    endings.emplace(area.lastRow, area.firstColumn);
    kept[index] = true;
  }
  merges_.clear();
  for (size_t index = 0; index < areas.size(); ++index) {
    if (kept[index]) merges_.push_back(areas[index]);
  }
}

}  // namespace sx
