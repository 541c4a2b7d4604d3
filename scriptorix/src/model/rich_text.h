#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/style.h"

namespace sx {

// One piece of a cell's text with a font of its own; unset properties are the cell's.
struct TextRun {
  std::u16string text;
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<bool> underline;  // single
  std::optional<bool> strikethrough;
  std::optional<Color> color;
  std::optional<double> size;  // points, 1 to 409
  std::optional<std::u16string> fontName;
  bool operator==(const TextRun&) const = default;
};

// The runs of one cell, and the pool id of the text they make: when the cell's value changes,
// they no longer apply.
struct RichText {
  uint32_t textId = 0;
  std::vector<TextRun> runs;
};

}  // namespace sx
