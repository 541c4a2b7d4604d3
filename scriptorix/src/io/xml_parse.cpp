#include "io/xml_parse.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace sx {

namespace {

constexpr size_t kMaxDepth = 128;
// A text node of blanks alone is kept where it is an element's only content: a cell's " " and a
// rich-text run holding one space are text, and the layout whitespace between elements is not.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

// Element depth of the parsed tree, walked without recursion; stops early past `limit`.
size_t elementDepth(const pugi::xml_node& root, size_t limit) {
  size_t depth = 0, deepest = 0;
  pugi::xml_node node = root.first_child();
  while (node && deepest <= limit) {
    if (node.type() == pugi::node_element) deepest = std::max(deepest, depth + 1);
    if (node.type() == pugi::node_element && node.first_child()) {
      node = node.first_child();
      ++depth;
      continue;
    }
    while (!node.next_sibling() && node.parent() != root) {
      node = node.parent();
      --depth;
    }
    node = node.next_sibling();
  }
  return deepest;
}

pugi::xml_document parse(std::string_view xml, const std::string& partName, unsigned options) {
  pugi::xml_document document;
  const pugi::xml_parse_result result =
      document.load_buffer(xml.data(), xml.size(), options, pugi::encoding_utf8);
  if (!result) {
    throw std::runtime_error("the part " + partName + " is not well-formed XML (" +
                             result.description() + " at byte " + std::to_string(result.offset) +
                             ")");
  }
  // Counted on the parser's tree, so markup inside attribute values or text cannot hide a level.
  if (elementDepth(document, kMaxDepth) > kMaxDepth) {
    throw std::runtime_error("the part " + partName + " nests its XML deeper than " +
                             std::to_string(kMaxDepth) + " levels");
  }
  return document;
}

}  // namespace

pugi::xml_document parseXmlPart(std::string_view xml, const std::string& partName) {
  pugi::xml_document document = parse(xml, partName, kParseOptions);
  if (!document.document_element()) throw std::runtime_error("the part " + partName + " is empty");
  return document;
}

pugi::xml_document parseXmlFragment(std::string_view xml, const std::string& partName) {
  return parse(xml, partName, kParseOptions | pugi::parse_fragment);
}

std::string_view localName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view localName(const pugi::xml_attribute& attribute) {
  const std::string_view name = attribute.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node childNamed(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_element && localName(child) == name) return child;
  }
  return {};
}

pugi::xml_attribute attributeNamed(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_attribute attribute : node.attributes()) {
    if (localName(attribute) == name) return attribute;
  }
  return {};
}

pugi::xml_node compatibleChoice(const pugi::xml_node& node) {
  if (node.type() != pugi::node_element || localName(node) != "AlternateContent") return node;
  const pugi::xml_node fallback = childNamed(node, "Fallback");
  for (pugi::xml_node child : (fallback ? fallback : childNamed(node, "Choice")).children()) {
    if (child.type() == pugi::node_element) return child;
  }
  return {};
}

std::string xmlOf(const pugi::xml_node& node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw);
  return std::move(out).str();
}

std::string documentXml(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n" + std::move(out).str();
}

}  // namespace sx
