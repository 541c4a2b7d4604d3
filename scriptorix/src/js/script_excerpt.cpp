#include "js/script_excerpt.h"

namespace sx {

namespace {

bool isLineTerminator(char16_t c) {
  return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029';
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string scriptLineExcerpt(std::u16string_view script, int line, size_t maxLength) {
  if (line < 1) return u"";
  size_t start = 0;
  for (int current = 1; current < line; ++current) {
    while (start < script.size() && !isLineTerminator(script[start])) ++start;
    if (start == script.size()) return u"";
    const bool crlf = script[start] == u'\r' && start + 1 < script.size() &&
                      script[start + 1] == u'\n';
    start += crlf ? 2 : 1;
  }
  size_t end = start;
  while (end < script.size() && !isLineTerminator(script[end])) ++end;
  while (start < end && isBlank(script[start])) ++start;
  while (end > start && isBlank(script[end - 1])) --end;

  std::u16string text(script.substr(start, end - start));
  for (char16_t& c : text) {
    if (c < 0x20 || c == 0x7F) c = u' ';  // a NUL or tab inside a line would garble the console
  }
  if (text.size() <= maxLength) return text;
  const size_t kept = maxLength > 3 ? maxLength - 3 : 0;
  text.resize(kept);
  // Never half a surrogate pair.
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  return text + u"...";
}

}  // namespace sx
