#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/xlsx_origin.h"
#include "model/workbook.h"

namespace sx {

// The tables an opened package carries through as they are: their names (which new tables may
// not take) and the largest id among them (new tables number after it).
struct KeptTables {
  std::vector<std::u16string> names;
  uint32_t largestId = 0;
};
KeptTables keptTables(const XlsxOrigin& origin);

// A table from its part's XML; nullopt when the part has no area a sheet can hold.
std::optional<KeptTable> readKeptTable(std::string_view xml, const std::string& partName,
                                       const std::string& relationshipId);

// A pivot table's place from its part's XML; nullopt without a usable location.
std::optional<KeptTable> readKeptPivotPlace(std::string_view xml, const std::string& partName,
                                            const std::string& relationshipId);

// Where a table lying at `area` is after the shift, as the desktop application moves it: it
// moves with the cells after it, grows by cells inserted inside it, shrinks by cells deleted
// from it and goes when all of it is deleted (nullopt). Throws std::runtime_error, naming the
// table, for what the application refuses: tearing it, deleting its header or totals row
// alone, leaving it no data row, or pushing it off the sheet; for a pivot table, any change
// to its cells other than moving or deleting them all.
std::optional<RangeRef> tableAfterShift(const KeptTable& table, const RangeRef& area,
                                        const CellShift& shift);

// Where the table is after every shift recorded on its sheet; nullopt when it went.
std::optional<RangeRef> tableNow(const KeptTable& table, const std::vector<RecordedShift>& shifts,
                                 uint32_t sheetId);

}  // namespace sx
