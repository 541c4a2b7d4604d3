#pragma once

#include <string>
#include <vector>

namespace sx {

// One part of an Office Open XML package. Parts the model writes and parts carried over from an
// opened package look the same, so a later save can merge both lists.
struct PackagePart {
  std::string name;         // "xl/workbook.xml", no leading slash
  std::string contentType;  // empty for parts covered by a default (.rels, .xml)
  std::string data;
};

// The zip bytes of a package: [Content_Types].xml (built from the parts) first, then the parts
// in the order given. Fixed timestamps make equal inputs give equal bytes.
std::string writePackage(const std::vector<PackagePart>& parts);

}  // namespace sx
