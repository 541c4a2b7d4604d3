#include "io/xml_text.h"

#include <cstdio>

#include "core/utf.h"

namespace sx {

namespace {

bool forbiddenInXml(char16_t c) {
  return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

bool isHex(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_x" followed by four hex digits and "_" would be read back as an escaped character.
bool startsEscape(std::u16string_view text, size_t at) {
  if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_') {
    return false;
  }
  for (size_t k = at + 2; k < at + 6; ++k) {
    if (!isHex(text[k])) return false;
  }
  return true;
}

void appendEscaped(std::string& out, std::string_view utf8) {
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      // Character references survive where raw ones would not: a bare CR is normalised away on
      // reading, and a tab or line feed inside an attribute (a sheet name) becomes a blank.
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\t':
        out += "&#9;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

std::string xmlText(std::u16string_view text) {
  std::u16string safe;
  safe.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // A carriage return goes as _x000D_ too, as spreadsheet applications write it, so that every
    // reader (not only one that keeps character references) gets it back.
    if (forbiddenInXml(c) || c == u'\r' || startsEscape(text, i)) {
      char code[8];
      std::snprintf(code, sizeof code, "_x%04X_", static_cast<unsigned>(c));
      for (const char* p = code; *p; ++p) safe += static_cast<char16_t>(*p);
    } else {
      safe += c;
    }
  }
  std::string out;
  appendEscaped(out, toUtf8(safe));
  return out;
}

std::string xmlPlainText(std::u16string_view text) {
  std::u16string safe(text);
  for (char16_t& c : safe) {
    if (forbiddenInXml(c)) c = 0xFFFD;
  }
  std::string out;
  appendEscaped(out, toUtf8(safe));
  return out;
}

std::string xmlAttribute(std::string_view text) {
  std::string out;
  appendEscaped(out, text);
  return out;
}

}  // namespace sx
