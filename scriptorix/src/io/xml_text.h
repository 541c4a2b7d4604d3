#pragma once

#include <string>
#include <string_view>

namespace sx {

// Text for an element or attribute of an Office Open XML string type (ST_Xstring): &, <, >
// and quotes as entities; characters that XML 1.0 forbids (most controls, U+FFFE, U+FFFF) and
// the carriage return as _xHHHH_; an underscore that would read as the start of such an escape as
// _x005F_.
std::string xmlText(std::u16string_view text);
// Text for a plain xsd:string (a formula): forbidden characters become U+FFFD.
std::string xmlPlainText(std::u16string_view text);
// An ASCII attribute value, escaped.
std::string xmlAttribute(std::string_view text);

}  // namespace sx
