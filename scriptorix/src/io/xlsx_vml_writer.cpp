#include <algorithm>

#include "core/sheet_limits.h"
#include "io/xlsx_sheet_objects.h"

namespace sx {

// The application finds a note's box through this legacy drawing: one hidden shape per note,
// anchored beside its cell.
std::string notesVmlXml(const SheetObjects& objects, uint32_t number) {
  std::string xml =
      "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
      "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
      "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
      "<o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" data=\"" +
      std::to_string(number) +
      "\"/></o:shapelayout>"
      "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
      "path=\"m,l,21600r21600,l21600,xe\">"
      "<v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" "
      "o:connecttype=\"rect\"/></v:shapetype>";
  // Shape ids of drawing N start at N * 1024 + 1, which the idmap above announces.
  uint32_t shape = number * 1024 + 1;
  for (const auto& [cell, note] : objects.notes) {
    const auto [row, column] = cell;
    // Left column, offset, top row, offset, right column, offset, bottom row, offset.
    // The box sits right of and just above its cell, kept inside the sheet at its edges.
    const int32_t left = std::min(column + 1, kMaxColumns - 3);
    const int32_t top = std::min(std::max(row - 1, 0), kMaxRows - 5);
    const std::string anchor = std::to_string(left) + ", 15, " + std::to_string(top) + ", 10, " +
                               std::to_string(left + 2) + ", 15, " + std::to_string(top + 4) +
                               ", 4";
    xml += "<v:shape id=\"_x0000_s" + std::to_string(shape++) +
           "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:80pt;margin-top:2pt;"
           "width:108pt;height:60pt;z-index:1;visibility:hidden\" fillcolor=\"#ffffe1\" "
           "o:insetmode=\"auto\">"
           "<v:fill color2=\"#ffffe1\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/>"
           "<v:path o:connecttype=\"none\"/><v:textbox style=\"mso-direction-alt:auto\"><div "
           "style=\"text-align:left\"/></v:textbox>"
           "<x:ClientData ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:Anchor>" +
           anchor + "</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>" + std::to_string(row) +
           "</x:Row><x:Column>" + std::to_string(column) + "</x:Column></x:ClientData></v:shape>";
  }
  return xml + "</xml>";
}

}  // namespace sx
