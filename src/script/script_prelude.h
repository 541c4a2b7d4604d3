#pragma once

#include <string_view>

namespace zq {

// The one line that follows the open or create line: the sheet index, the results object and
// the packing of engine objects into plain values. It holds no line feed.
std::u16string_view scriptPrelude();

}  // namespace zq
