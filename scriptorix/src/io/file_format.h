#pragma once

#include <string_view>

namespace sx {

enum class FileFormat { Xlsx, Xlsm, Xltx, Csv };

// "xlsx", "xlsm", "xltx", "csv", ignoring ASCII case; anything else throws
// std::invalid_argument.
FileFormat parseFileFormat(std::u16string_view word);

}  // namespace sx
