#include "io/file_format.h"

#include <stdexcept>

namespace sx {

namespace {
bool equalsIgnoringCase(std::u16string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<char16_t>(word[i])) return false;
  }
  return true;
}
}  // namespace

FileFormat parseFileFormat(std::u16string_view word) {
  if (equalsIgnoringCase(word, "xlsx")) return FileFormat::Xlsx;
  if (equalsIgnoringCase(word, "xlsm")) return FileFormat::Xlsm;
  if (equalsIgnoringCase(word, "xltx")) return FileFormat::Xltx;
  if (equalsIgnoringCase(word, "csv")) return FileFormat::Csv;
  throw std::invalid_argument("Unsupported file format (use xlsx, xlsm, xltx or csv)");
}

}  // namespace sx
