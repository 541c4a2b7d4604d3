#pragma once

#include <string_view>

#include "model/style.h"

namespace sx {

// The width of a text in the font, in the characters a column width counts (the width of a
// digit of an 11-point Calibri), estimated from typical proportions of common proportional
// fonts: narrow letters and punctuation, ordinary letters and digits, wide capitals. No font
// file is read, so this is an approximation, good to about one character on ordinary text.
// The longest line counts when the text has line breaks.
double estimatedTextWidth(std::u16string_view text, const Font& font);

}  // namespace sx
