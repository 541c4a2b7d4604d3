#include "model/style.h"

#include <stdexcept>
#include <string>

#include "core/text_case.h"
#include "core/utf.h"
#include "model/word_table.h"

namespace sx {

namespace {

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

constexpr Word<FontUnderline> kUnderlines[] = {
    {"none", FontUnderline::None, "none"},
    {"single", FontUnderline::Single, "single"},
    {"double", FontUnderline::Double, "double"},
    {"singleAccounting", FontUnderline::SingleAccounting, "singleAccounting"},
    {"doubleAccounting", FontUnderline::DoubleAccounting, "doubleAccounting"},
};

constexpr Word<FontVerticalAlign> kVerticalAligns[] = {
    {"baseline", FontVerticalAlign::Baseline, "baseline"},
    {"superscript", FontVerticalAlign::Superscript, "superscript"},
    {"subscript", FontVerticalAlign::Subscript, "subscript"},
};

}  // namespace

FontUnderline parseFontUnderline(std::u16string_view word) {
  return parseWord(kUnderlines, word, "underline");
}
std::string_view fontUnderlineName(FontUnderline value) { return ooxmlName(kUnderlines, value); }
std::string_view fontVerticalAlignName(FontVerticalAlign value) {
  return ooxmlName(kVerticalAligns, value);
}
FontUnderline fontUnderlineFromName(std::string_view name) {
  // <u/> without a value is a single underline.
  return name.empty() ? FontUnderline::Single
                      : fromOoxmlName(kUnderlines, name, FontUnderline::Single);
}
FontVerticalAlign fontVerticalAlignFromName(std::string_view name) {
  return fromOoxmlName(kVerticalAligns, name, FontVerticalAlign::Baseline);
}

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
