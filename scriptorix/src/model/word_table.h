#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/text_case.h"
#include "core/utf.h"

namespace sx {

// Script word -> value, with the OOXML name of each value.
template <typename Enum>
struct Word {
  const char* script;
  Enum value;
  const char* ooxml;
};

// The value of a script word, compared without regard to ASCII case; an unknown word throws
// std::invalid_argument naming the accepted words.
template <typename Enum, size_t N>
Enum parseWord(const Word<Enum> (&words)[N], std::u16string_view word, const char* what) {
  std::string accepted;
  for (const auto& entry : words) {
    if (equalsAsciiIgnoringCase(word, entry.script)) return entry.value;
    accepted += accepted.empty() ? "" : ", ";
    accepted += entry.script;
  }
  throw std::invalid_argument("Unknown " + std::string(what) + " \"" + toUtf8(word) +
                              "\" (expected one of " + accepted + ")");
}

template <typename Enum, size_t N>
std::string_view ooxmlName(const Word<Enum> (&words)[N], Enum value) {
  for (const auto& entry : words) {
    if (entry.value == value) return entry.ooxml;
  }
  return words[0].ooxml;
}

// The value whose OOXML name is `name` (exactly, as files write it), or `fallback`.
template <typename Enum, size_t N>
Enum fromOoxmlName(const Word<Enum> (&words)[N], std::string_view name, Enum fallback) {
  for (const auto& entry : words) {
    if (name == entry.ooxml) return entry.value;
  }
  return fallback;
}

}  // namespace sx
