#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/xlsx_origin.h"

namespace sx {

// The tables an opened package carries through as they are: their names (which new tables may
// not take) and the largest id among them (new tables number after it).
struct KeptTables {
  std::vector<std::u16string> names;
  uint32_t largestId = 0;
};
KeptTables keptTables(const XlsxOrigin& origin);

}  // namespace sx
