#pragma once

#include <string_view>

namespace sx {

// Throws std::invalid_argument, naming the fault and the code, when a number format code is
// malformed: a quoted text or "[" left open, a "]" without "[", a backslash, "_" or "*" with
// nothing after it, more than four sections, or a bracket that is neither a colour (a name or
// Color1 to Color56), a condition ([<100], [>=0.5]), elapsed time ([h], [mm], [ss]) nor a
// locale or currency ([$-409], [$EUR-407]). A reader would otherwise misread the cell.
void checkNumberFormatCode(std::u16string_view code);

}  // namespace sx
