#include "model/style_table.h"

#include <functional>

namespace sx {

namespace {
void mix(size_t& seed, size_t value) {
  seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

size_t hashColor(const std::optional<Color>& color) {
  return color ? (size_t{1} << 24) | (size_t{color->red} << 16) | (size_t{color->green} << 8) |
                     color->blue
               : 0;
}

void mixEdge(size_t& seed, const BorderEdge& edge) {
  mix(seed, static_cast<size_t>(edge.line));
  mix(seed, hashColor(edge.color));
}
}  // namespace

size_t hashStyle(const Style& style) {
  size_t seed = std::hash<std::u16string>{}(style.numberFormat);
  mix(seed, std::hash<std::u16string>{}(style.font.name));
  mix(seed, std::hash<double>{}(style.font.size));
  mix(seed, (style.font.bold ? 1 : 0) | (style.font.italic ? 2 : 0) |
                (style.font.strikethrough ? 4 : 0) | (style.wrap ? 8 : 0) |
                (style.borders.diagonalDown ? 16 : 0) | (style.borders.diagonalUp ? 32 : 0));
  mix(seed, static_cast<size_t>(style.font.underline) * 4 +
                static_cast<size_t>(style.font.verticalAlign));
  mix(seed, hashColor(style.font.color));
  mix(seed, hashColor(style.fill));
  mix(seed, static_cast<size_t>(style.horizontal) * 16 + static_cast<size_t>(style.vertical));
  for (const BorderEdge* edge : {&style.borders.left, &style.borders.right, &style.borders.top,
                                 &style.borders.bottom, &style.borders.diagonal}) {
    mixEdge(seed, *edge);
  }
  return seed;
}

StyleTable::StyleTable() { intern(Style{}); }

uint32_t StyleTable::intern(const Style& style) {
  const size_t hash = hashStyle(style);
  auto [first, last] = byHash_.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (styles_[it->second] == style) return it->second;
  }
  const auto index = static_cast<uint32_t>(styles_.size());
  styles_.push_back(style);
  byHash_.emplace(hash, index);
  return index;
}

}  // namespace sx
