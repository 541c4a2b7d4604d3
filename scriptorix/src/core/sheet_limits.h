#pragma once

#include <cstdint>

namespace sx {

// The sheet size of the xlsx format: rows 1 to 1,048,576, columns A to XFD.
inline constexpr int32_t kMaxRows = 1048576;
inline constexpr int32_t kMaxColumns = 16384;

}  // namespace sx
