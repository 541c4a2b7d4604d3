#pragma once

#include "js/arguments.h"
#include "model/sheet.h"

namespace sx {

// Notes, pictures, charts and tables are written only into workbooks the engine creates: an
// opened package keeps its own such parts as they are, and new ones beside them are refused
// with a message rather than written over or lost.
void refuseObjectsOnOpenedFile(const Call& call, const Sheet& sheet);

}  // namespace sx
