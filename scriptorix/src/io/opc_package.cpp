#include "io/opc_package.h"

#include <stdexcept>

#include "io/xml_parse.h"
#include "io/xml_text.h"

namespace sx {

namespace {

std::string_view folderOf(std::string_view part) {
  const size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

}  // namespace

std::string partKey(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

OpcPackage::OpcPackage(std::vector<ZipEntry> entries) : parts_(std::move(entries)) {
  for (size_t i = 0; i < parts_.size(); ++i) index_.emplace(partKey(parts_[i].name), i);
  const std::string* types = find("[Content_Types].xml");
  if (!types) throw std::runtime_error("the package has no [Content_Types].xml");
  const pugi::xml_document document = parseXmlPart(*types, "[Content_Types].xml");
  for (pugi::xml_node node : document.document_element().children()) {
    if (localName(node) == "Override") {
      std::string_view name = node.attribute("PartName").value();
      if (!name.empty() && name.front() == '/') name.remove_prefix(1);
      overrides_[partKey(name)] = node.attribute("ContentType").value();
    } else if (localName(node) == "Default") {
      defaults_[partKey(node.attribute("Extension").value())] =
          node.attribute("ContentType").value();
    }
  }
}

const std::string* OpcPackage::find(std::string_view name) const {
  auto it = index_.find(partKey(name));
  return it == index_.end() ? nullptr : &parts_[it->second].data;
}

const std::string& OpcPackage::data(std::string_view name) const {
  const std::string* found = find(name);
  if (!found) throw std::runtime_error("the package has no part " + std::string(name));
  return *found;
}

std::string OpcPackage::contentType(std::string_view name) const {
  if (auto it = overrides_.find(partKey(name)); it != overrides_.end()) return it->second;
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) return {};
  auto it = defaults_.find(partKey(name.substr(dot + 1)));
  return it == defaults_.end() ? std::string() : it->second;
}

std::vector<Relationship> OpcPackage::relationships(std::string_view partName) const {
  const std::string relsName = relationshipsPartName(partName);
  const std::string* xml = find(relsName);
  if (!xml) return {};
  const pugi::xml_document document = parseXmlPart(*xml, relsName);
  std::vector<Relationship> out;
  for (pugi::xml_node node : document.document_element().children()) {
    if (localName(node) != "Relationship") continue;
    out.push_back({node.attribute("Id").value(), node.attribute("Type").value(),
                   node.attribute("Target").value(),
                   std::string_view(node.attribute("TargetMode").value()) == "External"});
  }
  return out;
}

std::string relationshipsPartName(std::string_view partName) {
  const std::string_view folder = folderOf(partName);
  return std::string(folder) + "_rels/" + std::string(partName.substr(folder.size())) + ".rels";
}

std::string resolveTarget(std::string_view sourcePart, std::string_view target) {
  std::string path = target.starts_with('/')
                         ? std::string(target.substr(1))
                         : std::string(folderOf(sourcePart)) + std::string(target);
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& segment : segments) out += (out.empty() ? "" : "/") + segment;
  return out;
}

std::string relativeTarget(std::string_view sourcePart, std::string_view target) {
  const std::string_view folder = folderOf(sourcePart);
  if (target.starts_with(folder)) return std::string(target.substr(folder.size()));
  return "/" + std::string(target);
}

std::string pathFromPart(std::string_view sourcePart, std::string_view target) {
  std::string_view folder = folderOf(sourcePart);
  std::string climb;
  while (!target.starts_with(folder)) {
    // One folder up: drop the last segment of "a/b/".
    const size_t slash = folder.substr(0, folder.size() - 1).rfind('/');
    folder = slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash + 1);
    climb += "../";
  }
  return climb + std::string(target.substr(folder.size()));
}

std::string_view relationshipKind(std::string_view type) {
  const size_t slash = type.rfind('/');
  return slash == std::string_view::npos ? type : type.substr(slash + 1);
}

std::string relationshipsXml(const std::vector<Relationship>& relationships) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const Relationship& rel : relationships) {
    xml += "<Relationship Id=\"" + xmlAttribute(rel.id) + "\" Type=\"" + xmlAttribute(rel.type) +
           "\" Target=\"" + xmlAttribute(rel.target) + "\"";
    if (rel.external) xml += " TargetMode=\"External\"";
    xml += "/>";
  }
  return xml + "</Relationships>";
}

}  // namespace sx
