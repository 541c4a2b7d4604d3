#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sx {

// A run of whole lines of the script.
struct ScriptChunk {
  std::u16string_view text;
  int firstLine;  // 1-based, as the script counts lines
  int lastLine;
};

// Cuts a script into chunks of about `targetLines` whole lines. A chunk ends only where it
// parses on its own and the next line cannot continue its last statement (a line that begins
// with ".", "(", an operator, "else" and the like; after a line ending in ";" only "else",
// "catch" and "finally" continue); otherwise it grows, line by line at first
// and then in widening steps so that a long construct costs few syntax checks.
class ScriptChunker {
 public:
  using ParsesAlone = std::function<bool(std::u16string_view text, int firstLine)>;

  ScriptChunker(std::u16string_view script, size_t targetLines, ParsesAlone parsesAlone);

  std::optional<ScriptChunk> next();

 private:
  size_t lineEnd(size_t position, int& lines) const;
  bool nextLineStartsStatement(size_t position, bool afterSemicolon) const;

  std::u16string_view script_;
  size_t targetLines_;
  ParsesAlone parsesAlone_;
  size_t position_ = 0;
  int line_ = 1;
};

}  // namespace sx
