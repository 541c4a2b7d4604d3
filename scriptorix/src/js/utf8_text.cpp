#include "js/utf8_text.h"

#include <cstdint>

namespace sx {

namespace {

// Writes at out[used] on; UTF-16 never needs more units than UTF-8 has bytes.
void putCodePoint(std::u16string& out, size_t& used, char32_t code) {
  if (code < 0x10000) {
    out[used++] = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out[used++] = static_cast<char16_t>(0xD800 + (code >> 10));
    out[used++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::optional<std::u16string> decodeUtf8(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  size_t used = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out[used++] = lead;
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      return std::nullopt;
    }
    if (i + length > bytes.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if (!isContinuation(next)) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    putCodePoint(out, used, code);
    i += length;
  }
  out.resize(used);
  return out;
}

}  // namespace sx
