#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sx {

// True when the text would be read as a reference rather than a name: a cell in A1 style
// (one to three letters then digits: A1, xfd9) or an R1C1 form (R, C, R2, C3, RC, R2C3).
bool readsAsReference(std::u16string_view name);

// A sheet name as a reference must write it in front of "!": plain when it is letters, digits,
// underscores and dots starting with a letter or underscore and reads as neither a reference
// nor a logical value; otherwise quoted, with inner apostrophes doubled. Every writer of
// references (addresses, formulas, defined names) uses this one rule.
std::u16string quoteSheetName(std::u16string_view name);

// 0 -> "A", 25 -> "Z", 26 -> "AA", 16383 -> "XFD".
std::u16string columnLetters(int32_t column);

}  // namespace sx
