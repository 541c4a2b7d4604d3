#pragma once

#include <filesystem>
#include <memory>

#include "io/file_format.h"
#include "model/workbook.h"

namespace sx {

// Reads a workbook by content: a zip package ("PK\3\4"), or UTF-8 text as CSV into one sheet
// named after the file. A missing, unreadable or malformed file, and one that is neither (an
// encrypted or legacy workbook, a lock file, binary data, an empty file other than .csv),
// throws std::runtime_error naming what it is.
std::unique_ptr<Workbook> openWorkbook(const std::filesystem::path& path);

// Writes atomically: a package for xlsx/xlsm/xltx, the active sheet for csv.
void saveWorkbook(const Workbook& workbook, FileFormat format, const std::filesystem::path& path);

}  // namespace sx
