#include "script/color_expression.h"

#include <stdexcept>

#include "json/json_lookup.h"
#include "json/script_literal.h"

namespace zq {

std::u16string colorExpression(const JsonValue& color) {
  if (color.kind == JsonKind::Number) {
    // The engine does the masking, so the number reaches it as the task gave it.
    const std::u16string packed = scriptLiteral(color);
    return u"Api.CreateColorFromRGB(" + packed + u" & 255, (" + packed + u" >> 8) & 255, (" +
           packed + u" >> 16) & 255)";
  }
  if (color.kind == JsonKind::Object) {
    const std::u16string blue = scriptLiteral(requireMember(color, u"b"));
    const std::u16string green = scriptLiteral(requireMember(color, u"g"));
    const std::u16string red = scriptLiteral(requireMember(color, u"r"));
    return u"Api.CreateColorFromRGB(" + red + u", " + green + u", " + blue + u")";
  }
  throw std::runtime_error("Color must be an object {r,g,b} or a number");
}

}  // namespace zq
