#pragma once

#include <memory>
#include <string_view>

#include "model/workbook.h"

namespace sx {

// Reads an .xlsx/.xlsm/.xltx package into a workbook whose origin keeps every part and element
// the model does not hold, for a save to carry through. Throws std::runtime_error on a package
// that is broken, hostile or not a spreadsheet.
std::unique_ptr<Workbook> readXlsxWorkbook(std::string_view bytes);

}  // namespace sx
