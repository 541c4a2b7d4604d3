#pragma once

#include <string>
#include <string_view>

namespace sx::formula {

// Files store functions newer than the 2007 set with a prefix ("_xlfn.IFS", "_xlfn._xlws.SORT");
// formulas as users see and write them have none.
std::u16string_view withoutFunctionPrefix(std::u16string_view upperName);

}  // namespace sx::formula
