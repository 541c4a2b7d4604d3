#include "io/kept_tables.h"

#include <pugixml.hpp>

#include <algorithm>

#include "core/utf.h"

namespace sx {

KeptTables keptTables(const XlsxOrigin& origin) {
  KeptTables tables;
  for (const PackagePart& part : origin.keptParts) {
    if (!part.contentType.ends_with("spreadsheetml.table+xml")) continue;
    pugi::xml_document document;
    if (!document.load_buffer(part.data.data(), part.data.size())) continue;
    const pugi::xml_node table = document.document_element();
    tables.largestId = std::max(tables.largestId, table.attribute("id").as_uint());
    for (const char* attribute : {"name", "displayName"}) {
      if (const char* name = table.attribute(attribute).value(); *name) tables.names.push_back(fromUtf8(name));
    }
  }
  return tables;
}

}  // namespace sx
