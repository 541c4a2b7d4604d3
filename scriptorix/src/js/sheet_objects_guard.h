#pragma once

#include "js/arguments.h"
#include "model/sheet.h"

namespace sx {

// Notes, pictures, charts and tables go on sheets the engine writes whole: a sheet of an opened
// package keeps its own such parts as they are, and new ones on it are refused with a message
// rather than written over or lost. Sheets the script adds to an opened workbook take them.
void refuseObjectsOnOpenedFile(const Call& call, const Sheet& sheet);
// Chart sheets are added only to workbooks the engine creates.
void refuseChartSheetOnOpenedFile(const Call& call, const Workbook& workbook);

}  // namespace sx
