#include "js/sheet_objects_guard.h"

#include "js/script_error.h"
#include "model/workbook.h"

namespace sx {

void refuseObjectsOnOpenedFile(const Call& call, const Sheet& sheet) {
  if (sheet.workbook().origin() != nullptr) {
    throw ArgumentError(call.args.methodName() +
                        ": notes, pictures, charts and tables can be added only to a workbook made "
                        "with builder.CreateFile, not to an opened file");
  }
}

}  // namespace sx
