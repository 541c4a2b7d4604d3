#pragma once

#include <string_view>

namespace sx {

// What an input file holds, judged from its bytes, so that a file this engine does not read is
// refused with a message naming what it is instead of being read as CSV.
enum class InputKind {
  Package,  // a zip: an Office Open XML package
  Text,     // UTF-8 text without control bytes: read as CSV
  Empty,
  EncryptedWorkbook,  // an OLE compound file holding an encrypted package
  LegacyWorkbook,     // an OLE compound file holding an Excel 97-2003 workbook
  CompoundFile,       // any other OLE compound file
  Binary,
};

InputKind inputKindOf(std::string_view bytes);

}  // namespace sx
