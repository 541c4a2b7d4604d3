#pragma once

#include "js/arguments.h"
#include "model/address.h"

namespace sx {

// GetRows / GetCols arguments on a sheet: a 1-based number, or text such as "3", "1:3", "C",
// "A:C". Anything that is not whole rows (columns) throws.
RangeRef wholeRowsArgument(const Arguments& args, size_t index);
RangeRef wholeColumnsArgument(const Arguments& args, size_t index);

}  // namespace sx
