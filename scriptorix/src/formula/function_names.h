#pragma once

#include <string>
#include <string_view>

namespace sx::formula {

// Files store functions newer than the 2007 set with a prefix ("_xlfn.IFS", "_xlfn._xlws.SORT");
// formulas as users see and write them have none.
std::u16string_view withoutFunctionPrefix(std::u16string_view upperName);

// A formula as a file stores it: every newer function with its prefix (IFS -> _xlfn.IFS,
// FILTER -> _xlfn._xlws.FILTER). Other applications show #NAME? for one without.
std::u16string withFunctionPrefixes(std::u16string_view formula);
// A formula as read from a file, with the prefixes of the functions withFunctionPrefixes
// writes taken away; other prefixed names (a future function) stay as they are.
std::u16string withoutFunctionPrefixes(std::u16string_view formula);

}  // namespace sx::formula
