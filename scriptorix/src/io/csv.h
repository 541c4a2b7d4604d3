#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/sheet.h"

namespace sx {

// The sheet as UTF-8 CSV: from A1 to the last row and column holding a value, each cell as
// displayed, a field with a comma, a double quote, CR or LF quoted (inner quotes doubled), every
// record ended by "\n". Cells with only a format add nothing. The text goes to `write` in
// pieces of whole records, so memory follows one record, not the file. Text past `maxBytes`
// throws std::length_error before it is written.
void writeCsv(const Sheet& sheet, const std::function<void(std::string_view)>& write,
              uint64_t maxBytes);

// Reads UTF-8 CSV (a leading BOM dropped; records ended by "\r\n", "\n" or "\r"; RFC 4180
// quotes) into `sheet` from A1. A field that reads as a plain decimal number becomes a number,
// TRUE/FALSE (any case) a boolean, anything else text as written, with no formula or apostrophe
// meaning. Numbers with a leading zero ("00123") or a "+" stay text: a conversion would lose
// what was written. Throws std::runtime_error on an unterminated quote or on data past the
// sheet's limits.
void readCsv(std::string_view bytes, Sheet& sheet);

}  // namespace sx
