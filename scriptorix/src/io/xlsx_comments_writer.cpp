#include <map>

#include "core/utf.h"
#include "io/xlsx_sheet_objects.h"
#include "io/xml_text.h"

namespace sx {

std::string commentsXml(const SheetObjects& objects) {
  std::map<std::u16string, size_t> authors;
  std::string list;
  for (const auto& [cell, note] : objects.notes) {
    if (authors.emplace(note.author, authors.size()).second) {
      list += "<author>" + xmlText(note.author) + "</author>";
    }
  }
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<comments xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><authors>" +
      list + "</authors><commentList>";
  for (const auto& [cell, note] : objects.notes) {
    xml += "<comment ref=\"" + toUtf8(formatRangeRef(cellRef(cell.first, cell.second), false)) +
           "\" authorId=\"" + std::to_string(authors.at(note.author)) +
           "\"><text><t xml:space=\"preserve\">" + xmlText(note.text) + "</t></text></comment>";
  }
  return xml + "</commentList></comments>";
}

}  // namespace sx
