#include "js/script_lines.h"

namespace sx {

LineEnd lineEndFrom(std::u16string_view script, size_t position) {
  char16_t quote = 0;  // the quote of the string literal being read, if any
  for (; position < script.size(); ++position) {
    const char16_t c = script[position];
    if (c == u'\n' || c == u'\r') {
      const bool crlf = c == u'\r' && position + 1 < script.size() && script[position + 1] == u'\n';
      return {position + (crlf ? 2 : 1), true};
    }
    if (c == u'\u2028' || c == u'\u2029') {
      if (quote == 0) return {position + 1, true};
    } else if (quote != 0) {
      if (c == u'\\') {
        ++position;
      } else if (c == quote) {
        quote = 0;
      }
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'/' && position + 1 < script.size() && script[position + 1] == u'/') {
      // A comment: quotes in it open nothing, and U+2028 ends it like any line end.
      for (++position; position < script.size(); ++position) {
        const char16_t d = script[position];
        if (d == u'\n' || d == u'\r' || d == u'\u2028' || d == u'\u2029') break;
      }
      --position;
    }
  }
  return {script.size(), false};
}

}  // namespace sx
