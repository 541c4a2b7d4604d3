#include "js/script_chunker.h"

#include "js/script_lines.h"

#include <algorithm>
#include <array>

namespace sx {

namespace {

bool isLineTerminator(char16_t c) {
  return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029';
}

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\u00A0' || c == u'\uFEFF';
}

bool isIdentifierPart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'_' || c == u'$' || c > 0x7F;
}

bool startsWithWord(std::u16string_view text, std::u16string_view word) {
  return text.substr(0, word.size()) == word &&
         (text.size() == word.size() || !isIdentifierPart(text[word.size()]));
}

// A line that begins like this may carry on the statement before it. After a semicolon only
// the words that continue an if or a try can: "a;\n(b)" is two statements, "a\n(b)" one.
bool continuesStatement(std::u16string_view line, bool afterSemicolon) {
  constexpr std::array<std::u16string_view, 3> kClauses = {u"else", u"catch", u"finally"};
  const auto startsWithAny = [&](const auto& words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::u16string_view word) { return startsWithWord(line, word); });
  };
  if (startsWithAny(kClauses)) return true;
  if (afterSemicolon) return false;
  constexpr std::u16string_view kContinuing = u".([`,?:+-*/%&|^<>=";
  if (kContinuing.find(line.front()) != std::u16string_view::npos) return true;
  if (line.substr(0, 2) == u"!=") return true;
  constexpr std::array<std::u16string_view, 3> kOperators = {u"in", u"instanceof", u"of"};
  return startsWithAny(kOperators);
}

// The line ends its statement with a semicolon (a trailing comment hides it: then no).
bool endsWithSemicolon(std::u16string_view line) {
  while (!line.empty() && (isBlank(line.back()) || isLineTerminator(line.back()))) {
    line.remove_suffix(1);
  }
  return !line.empty() && line.back() == u';';
}

// After this many lines past the target, checks are spaced out by an eighth of the excess.
constexpr size_t kLineByLineExtension = 64;

}  // namespace

ScriptChunker::ScriptChunker(std::u16string_view script, size_t targetLines,
                             ParsesAlone parsesAlone)
    : script_(script),
      targetLines_(std::max<size_t>(targetLines, 1)),
      parsesAlone_(std::move(parsesAlone)) {}

// The offset after the line that starts at `position`, counting its terminator into `lines`
// ("\r\n" is one).
size_t ScriptChunker::lineEnd(size_t position, int& lines) const {
  const LineEnd end = lineEndFrom(script_, position);
  if (end.terminated) ++lines;
  return end.next;
}

bool ScriptChunker::nextLineStartsStatement(size_t position, bool afterSemicolon) const {
  while (position < script_.size()) {
    while (position < script_.size() &&
           (isBlank(script_[position]) || isLineTerminator(script_[position]))) {
      ++position;
    }
    const std::u16string_view rest = script_.substr(position);
    if (rest.empty()) return true;
    if (rest.substr(0, 2) != u"//") return !continuesStatement(rest, afterSemicolon);
    while (position < script_.size() && !isLineTerminator(script_[position])) ++position;
  }
  return true;
}

std::optional<ScriptChunk> ScriptChunker::next() {
  if (position_ >= script_.size()) return std::nullopt;
  const size_t start = position_;
  size_t end = start;
  int terminators = 0;
  size_t lines = 0;
  size_t checkAt = targetLines_;
  while (end < script_.size()) {
    const size_t lineStart = end;
    end = lineEnd(end, terminators);
    ++lines;
    if (end >= script_.size() || lines < checkAt) continue;
    const bool afterSemicolon = endsWithSemicolon(script_.substr(lineStart, end - lineStart));
    if (!nextLineStartsStatement(end, afterSemicolon)) continue;
    if (parsesAlone_(script_.substr(start, end - start), line_)) break;
    const size_t excess = lines - targetLines_;
    checkAt = lines + (excess < kLineByLineExtension ? 1 : excess / 8);
  }
  ScriptChunk chunk{script_.substr(start, end - start), line_, line_ + terminators};
  // A chunk that ends with its terminator closes its last line; the next starts on a new one.
  if (end > start && isLineTerminator(script_[end - 1])) chunk.lastLine -= 1;
  position_ = end;
  line_ += terminators;
  return chunk;
}

}  // namespace sx
