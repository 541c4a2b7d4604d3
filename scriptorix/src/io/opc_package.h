#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "io/zip_reader.h"

namespace sx {

struct Relationship {
  std::string id;
  std::string type;    // full type URI
  std::string target;  // as written
  bool external = false;
};

// Part names compare without regard to ASCII case: the key a part is found under.
std::string partKey(std::string_view name);

// An opened Office Open XML package: its parts by name (in any case) and what
// [Content_Types].xml says.
class OpcPackage {
 public:
  explicit OpcPackage(std::vector<ZipEntry> entries);

  const std::vector<ZipEntry>& parts() const { return parts_; }
  // Throws std::runtime_error naming the missing part.
  const std::string& data(std::string_view name) const;
  const std::string* find(std::string_view name) const;
  // The part's content type: its override, else the default for its extension, else "".
  std::string contentType(std::string_view name) const;

  // The relationships of a part ("" for the package's own), empty when it has none.
  std::vector<Relationship> relationships(std::string_view partName) const;

 private:
  std::vector<ZipEntry> parts_;
  // Keyed by partKey: part names, part names without "/", extensions.
  std::map<std::string, size_t, std::less<>> index_;
  std::map<std::string, std::string, std::less<>> overrides_;
  std::map<std::string, std::string, std::less<>> defaults_;
};

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for "".
std::string relationshipsPartName(std::string_view partName);
// A relationship target resolved against the part that holds it, as a part name.
std::string resolveTarget(std::string_view sourcePart, std::string_view target);
// `target` written relative to the folder of `sourcePart`.
std::string relativeTarget(std::string_view sourcePart, std::string_view target);
// The target as a path from the source part's folder, climbing with "../" where it must
// ("xl/worksheets/sheet1.xml" to "xl/drawings/drawing1.xml": "../drawings/drawing1.xml"), the
// form applications write for a part's own drawings, comments and tables.
std::string pathFromPart(std::string_view sourcePart, std::string_view target);
// The last segment of a relationship type ("worksheet", "styles").
std::string_view relationshipKind(std::string_view type);

std::string relationshipsXml(const std::vector<Relationship>& relationships);

}  // namespace sx
