#include "text/utf8.h"

#include "text/utf8_convert.h"

namespace zq {

namespace {
constexpr char16_t kByteOrderMark = u'\uFEFF';
}

std::u16string decodeUtf8(std::string_view bytes) {
  if (bytes.empty()) {
    return {};
  }
  std::u16string text = detail::convertUtf8ToUtf16(bytes);
  if (!text.empty() && text.front() == kByteOrderMark) {
    text.erase(0, 1);
  }
  return text;
}

std::string encodeUtf8(std::u16string_view text) {
  if (text.empty()) {
    return {};
  }
  return detail::convertUtf16ToUtf8(text);
}

}  // namespace zq
