#include "js/script_excerpt.h"

#include "js/script_lines.h"

namespace sx {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string scriptLineExcerpt(std::u16string_view script, int line, size_t maxLength) {
  if (line < 1) return u"";
  size_t start = 0;
  for (int current = 1; current < line; ++current) {
    const LineEnd end = lineEndFrom(script, start);
    if (!end.terminated) return u"";
    start = end.next;
  }
  const LineEnd lineEnd = lineEndFrom(script, start);
  size_t end = lineEnd.next;
  if (lineEnd.terminated) {
    const bool crlf = end >= start + 2 && script.substr(end - 2, 2) == u"\r\n";
    end -= crlf ? 2 : 1;
  }
  while (start < end && isBlank(script[start])) ++start;
  while (end > start && isBlank(script[end - 1])) --end;

  std::u16string text(script.substr(start, end - start));
  for (char16_t& c : text) {
    // A NUL, tab or U+2028 inside a text would garble the console line.
    if (c < 0x20 || c == 0x7F || c == u'\u2028' || c == u'\u2029') c = u' ';
  }
  if (text.size() <= maxLength) return text;
  const size_t kept = maxLength > 3 ? maxLength - 3 : 0;
  text.resize(kept);
  // Never half a surrogate pair.
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  return text + u"...";
}

}  // namespace sx
