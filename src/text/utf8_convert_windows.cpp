#ifdef _WIN32

#include <climits>
#include <stdexcept>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "text/utf8_convert.h"

namespace zq::detail {

// No flags: without MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS the converters repair
// malformed input with U+FFFD instead of failing.
std::u16string convertUtf8ToUtf16(std::string_view bytes) {
  const char* failure = "Input is not valid UTF-8";
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    throw std::runtime_error(failure);
  }
  const int byteCount = static_cast<int>(bytes.size());
  const int unitCount = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount, nullptr, 0);
  if (unitCount <= 0) {
    throw std::runtime_error(failure);
  }
  std::u16string text(static_cast<std::size_t>(unitCount), u'\0');
  if (MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount,
                          reinterpret_cast<wchar_t*>(text.data()), unitCount) != unitCount) {
    throw std::runtime_error(failure);
  }
  return text;
}

std::string convertUtf16ToUtf8(std::u16string_view text) {
  const char* failure = "Cannot encode UTF-8";
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    throw std::runtime_error(failure);
  }
  const auto* units = reinterpret_cast<const wchar_t*>(text.data());
  const int unitCount = static_cast<int>(text.size());
  const int byteCount =
      WideCharToMultiByte(CP_UTF8, 0, units, unitCount, nullptr, 0, nullptr, nullptr);
  if (byteCount <= 0) {
    throw std::runtime_error(failure);
  }
  std::string bytes(static_cast<std::size_t>(byteCount), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, units, unitCount, bytes.data(), byteCount, nullptr,
                          nullptr) != byteCount) {
    throw std::runtime_error(failure);
  }
  return bytes;
}

}  // namespace zq::detail

#endif
