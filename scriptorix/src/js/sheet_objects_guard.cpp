#include "js/sheet_objects_guard.h"

#include "io/xlsx_origin.h"
#include "js/script_error.h"
#include "model/workbook.h"

namespace sx {

void refuseObjectsOnOpenedFile(const Call& call, const Sheet& sheet) {
  const auto* origin = dynamic_cast<const XlsxOrigin*>(sheet.workbook().origin());
  if (origin != nullptr && origin->sheets.contains(sheet.id())) {
    throw ArgumentError(call.args.methodName() +
                        ": notes, pictures, charts and tables can be added to sheets made by the "
                        "script, not to a sheet of an opened file");
  }
}

void refuseChartSheetOnOpenedFile(const Call& call, const Workbook& workbook) {
  if (workbook.origin() != nullptr) {
    throw ArgumentError(call.args.methodName() +
                        ": chart sheets can be added only to a workbook made with "
                        "builder.CreateFile, not to an opened file");
  }
}

}  // namespace sx
