#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sx {

// Line `line` of a script (1-based, counted as lineEndFrom counts them), on one line without the
// blanks around it and cut to at most `maxLength` characters ("..." at the end when cut), so an
// error line can show where it stopped. Empty when the script has no such line.
std::u16string scriptLineExcerpt(std::u16string_view script, int line, size_t maxLength = 120);

}  // namespace sx
