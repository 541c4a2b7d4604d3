#pragma once

namespace zq {

// Fixed classifications of single UTF-16 units, independent of the machine's locale.
// Up to U+00FF space is U+0009..U+000D, U+0020, U+0085, U+00A0 and digit is 0..9 plus the
// superscripts U+00B2, U+00B3, U+00B9. Above U+00FF they follow Unicode: White_Space and
// general category Nd. Alphabetic is Unicode Alphabetic throughout, Latin-1 letters
// included. The tables come from scripts/generate_char_class_tables.py.
bool isWideSpace(char16_t unit);
bool isWideDigit(char16_t unit);
bool isWideAlpha(char16_t unit);

}  // namespace zq
