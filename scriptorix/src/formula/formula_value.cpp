#include "formula/formula_value.h"

#include <array>
#include <utility>

namespace sx::formula {
namespace {

constexpr std::array<std::pair<ErrorCode, std::u16string_view>, 7> kErrorTexts = {{
    {ErrorCode::Null, u"#NULL!"},
    {ErrorCode::Div0, u"#DIV/0!"},
    {ErrorCode::Value, u"#VALUE!"},
    {ErrorCode::Ref, u"#REF!"},
    {ErrorCode::Name, u"#NAME?"},
    {ErrorCode::Num, u"#NUM!"},
    {ErrorCode::NA, u"#N/A"},
}};

}  // namespace

std::u16string_view errorText(ErrorCode code) {
  for (const auto& [known, text] : kErrorTexts) {
    if (known == code) return text;
  }
  return u"#VALUE!";
}

std::optional<ErrorCode> errorFromText(std::u16string_view text) {
  for (const auto& [code, known] : kErrorTexts) {
    if (known.size() != text.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
      char16_t c = text[i] >= u'a' && text[i] <= u'z' ? char16_t(text[i] - 32) : text[i];
      if (c != known[i]) same = false;
    }
    if (same) return code;
  }
  return std::nullopt;
}

}  // namespace sx::formula
