#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sx {

struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Color&) const = default;
};

enum class HorizontalAlignment { General, Left, Center, Right, Justify };
enum class VerticalAlignment { Bottom, Top, Center, Justify, Distributed };
enum class BorderLineStyle {
  None,
  Thin,
  Medium,
  Dashed,
  Dotted,
  Thick,
  Double,
  Hair,
  MediumDashed,
  DashDot,
  MediumDashDot,
  DashDotDot,
  MediumDashDotDot,
  SlantDashDot
};
enum class BorderPosition {
  Top,
  Bottom,
  Left,
  Right,
  InsideHorizontal,
  InsideVertical,
  DiagonalDown,
  DiagonalUp
};

enum class FontUnderline { None, Single, Double, SingleAccounting, DoubleAccounting };
enum class FontVerticalAlign { Baseline, Superscript, Subscript };

// The script's words, compared without regard to ASCII case ("left", "Thin", "InsideVertical").
// An unknown word throws std::invalid_argument naming the accepted words.
HorizontalAlignment parseHorizontalAlignment(std::u16string_view word);
VerticalAlignment parseVerticalAlignment(std::u16string_view word);
BorderLineStyle parseBorderLineStyle(std::u16string_view word);
BorderPosition parseBorderPosition(std::u16string_view word);
FontUnderline parseFontUnderline(std::u16string_view word);

// The names Office Open XML uses ("left", "center", "mediumDashDot", ...).
std::string_view horizontalAlignmentName(HorizontalAlignment value);
std::string_view verticalAlignmentName(VerticalAlignment value);
std::string_view borderLineStyleName(BorderLineStyle value);
std::string_view fontUnderlineName(FontUnderline value);
std::string_view fontVerticalAlignName(FontVerticalAlign value);
// From the file's words; an unknown word gives the default.
FontUnderline fontUnderlineFromName(std::string_view name);
FontVerticalAlign fontVerticalAlignFromName(std::string_view name);

struct BorderEdge {
  BorderLineStyle line = BorderLineStyle::None;
  Color color;
  bool operator==(const BorderEdge&) const = default;
};

struct Font {
  std::u16string name = u"Calibri";
  double size = 11;
  bool bold = false;
  bool italic = false;
  FontUnderline underline = FontUnderline::None;
  bool strikethrough = false;
  FontVerticalAlign verticalAlign = FontVerticalAlign::Baseline;
  std::optional<Color> color;
  bool operator==(const Font&) const = default;
};

struct Borders {
  BorderEdge left, right, top, bottom, diagonal;
  bool diagonalDown = false;
  bool diagonalUp = false;
  bool operator==(const Borders&) const = default;
};

// Everything a cell's format holds; one entry of the workbook's style table.
struct Style {
  std::u16string numberFormat = u"General";
  Font font;
  std::optional<Color> fill;
  HorizontalAlignment horizontal = HorizontalAlignment::General;
  VerticalAlignment vertical = VerticalAlignment::Bottom;
  bool wrap = false;
  Borders borders;
  // 1 + the index of the opened file's cell format this was read from (0: none), so that what
  // the model does not hold of it (protection, the named style, indents) survives a save.
  uint32_t origin = 0;
  bool operator==(const Style&) const = default;
};

}  // namespace sx
