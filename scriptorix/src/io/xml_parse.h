#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace sx {

// Parsed XML of one package part. Malformed XML, and elements nested deeper than any real part
// does, throw std::runtime_error naming the part.
pugi::xml_document parseXmlPart(std::string_view xml, const std::string& partName);
// The same for a run of sibling elements (a slice of <sheetData>).
pugi::xml_document parseXmlFragment(std::string_view xml, const std::string& partName);

// The element's name without its namespace prefix ("x:row" -> "row").
std::string_view localName(const pugi::xml_node& node);
std::string_view localName(const pugi::xml_attribute& attribute);
// First child element / attribute with that local name, whatever its prefix.
pugi::xml_node childNamed(const pugi::xml_node& node, std::string_view name);
pugi::xml_attribute attributeNamed(const pugi::xml_node& node, std::string_view name);

// Markup compatibility: an element wrapped in mc:AlternateContent is read from its fallback,
// which every reader understands (else its first choice); any other node is itself.
pugi::xml_node compatibleChoice(const pugi::xml_node& node);

// The node as XML text, unformatted.
std::string xmlOf(const pugi::xml_node& node);
// The document as text with an XML declaration, unformatted.
std::string documentXml(const pugi::xml_document& document);

}  // namespace sx
