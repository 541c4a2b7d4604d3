#include "model/style.h"

#include <stdexcept>
#include <string>

#include "core/text_case.h"
#include "core/utf.h"

namespace sx {

namespace {

// Script word -> value, with the OOXML name of each value.
template <typename Enum>
struct Word {
  const char* script;
  Enum value;
  const char* ooxml;
};

constexpr Word<HorizontalAlignment> kHorizontal[] = {
    {"general", HorizontalAlignment::General, "general"},
    {"left", HorizontalAlignment::Left, "left"},
    {"center", HorizontalAlignment::Center, "center"},
    {"right", HorizontalAlignment::Right, "right"},
    {"justify", HorizontalAlignment::Justify, "justify"},
};

constexpr Word<VerticalAlignment> kVertical[] = {
    {"bottom", VerticalAlignment::Bottom, "bottom"},
    {"top", VerticalAlignment::Top, "top"},
    {"center", VerticalAlignment::Center, "center"},
    {"justify", VerticalAlignment::Justify, "justify"},
    {"distributed", VerticalAlignment::Distributed, "distributed"},
};

constexpr Word<BorderLineStyle> kLines[] = {
    {"None", BorderLineStyle::None, "none"},
    {"Thin", BorderLineStyle::Thin, "thin"},
    {"Medium", BorderLineStyle::Medium, "medium"},
    {"Dashed", BorderLineStyle::Dashed, "dashed"},
    {"Dotted", BorderLineStyle::Dotted, "dotted"},
    {"Thick", BorderLineStyle::Thick, "thick"},
    {"Double", BorderLineStyle::Double, "double"},
    {"Hair", BorderLineStyle::Hair, "hair"},
    {"MediumDashed", BorderLineStyle::MediumDashed, "mediumDashed"},
    {"DashDot", BorderLineStyle::DashDot, "dashDot"},
    {"MediumDashDot", BorderLineStyle::MediumDashDot, "mediumDashDot"},
    {"DashDotDot", BorderLineStyle::DashDotDot, "dashDotDot"},
    {"MediumDashDotDot", BorderLineStyle::MediumDashDotDot, "mediumDashDotDot"},
    {"SlantDashDot", BorderLineStyle::SlantDashDot, "slantDashDot"},
};

constexpr Word<BorderPosition> kPositions[] = {
    {"Top", BorderPosition::Top, ""},
    {"Bottom", BorderPosition::Bottom, ""},
    {"Left", BorderPosition::Left, ""},
    {"Right", BorderPosition::Right, ""},
    {"InsideHorizontal", BorderPosition::InsideHorizontal, ""},
    {"InsideVertical", BorderPosition::InsideVertical, ""},
    {"DiagonalDown", BorderPosition::DiagonalDown, ""},
    {"DiagonalUp", BorderPosition::DiagonalUp, ""},
};

template <typename Enum, size_t N>
Enum parseWord(const Word<Enum> (&words)[N], std::u16string_view word, const char* what) {
  std::string accepted;
  for (const auto& entry : words) {
    if (equalsAsciiIgnoringCase(word, entry.script)) return entry.value;
    accepted += accepted.empty() ? "" : ", ";
    accepted += entry.script;
  }
  throw std::invalid_argument("Unknown " + std::string(what) + " \"" + toUtf8(word) +
                              "\" (expected one of " + accepted + ")");
}

template <typename Enum, size_t N>
std::string_view ooxmlName(const Word<Enum> (&words)[N], Enum value) {
  for (const auto& entry : words) {
    if (entry.value == value) return entry.ooxml;
  }
  return words[0].ooxml;
}

}  // namespace

HorizontalAlignment parseHorizontalAlignment(std::u16string_view word) {
  return parseWord(kHorizontal, word, "horizontal alignment");
}
VerticalAlignment parseVerticalAlignment(std::u16string_view word) {
  return parseWord(kVertical, word, "vertical alignment");
}
BorderLineStyle parseBorderLineStyle(std::u16string_view word) {
  return parseWord(kLines, word, "border line style");
}
BorderPosition parseBorderPosition(std::u16string_view word) {
  return parseWord(kPositions, word, "border position");
}

std::string_view horizontalAlignmentName(HorizontalAlignment value) {
  return ooxmlName(kHorizontal, value);
}
std::string_view verticalAlignmentName(VerticalAlignment value) {
  return ooxmlName(kVertical, value);
}
std::string_view borderLineStyleName(BorderLineStyle value) { return ooxmlName(kLines, value); }

}  // namespace sx
