#include "formula/general_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sx::formula {

namespace {

constexpr std::size_t kGeneralWidth = 11;

std::string printFixed(double value, int decimals) {
  const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.pop_back();
  return text;
}

void stripTrailingZeros(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
}

std::string generalScientific(double value) {
  const bool negative = value < 0;
  const double magnitude = std::fabs(value);
  int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  for (int attempt = 0; attempt < 2; ++attempt) {
    const std::size_t exponentLength = std::abs(exponent) >= 100 ? 5 : 4;  // "E+12" / "E+123"
    const int decimals =
        static_cast<int>(kGeneralWidth) - (negative ? 1 : 0) - 2 - static_cast<int>(exponentLength);
    std::string mantissa = printFixed(magnitude / std::pow(10.0, exponent), std::max(decimals, 0));
    if (mantissa.rfind("10", 0) == 0) {  // rounding carried into the next power of ten
      ++exponent;
      continue;
    }
    stripTrailingZeros(mantissa);
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return (negative ? "-" : "") + mantissa + exponentText;
  }
  return "0";
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::u16string renderCellGeneral(double value) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? u"0" : u"#NUM!";
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e-4 && magnitude < 1e11) {
    const int integerDigits =
        magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int room = static_cast<int>(kGeneralWidth) - (value < 0 ? 1 : 0) - integerDigits - 1;
    // Never more than 15 significant digits: beyond that a double holds noise.
    const int leadingZeros =
        magnitude < 1 ? -static_cast<int>(std::floor(std::log10(magnitude))) - 1 : 0;
    const int significantRoom = 15 - (magnitude < 1 ? 0 : integerDigits) + leadingZeros;
    std::string text = printFixed(value, std::max(0, std::min(room, significantRoom)));
    stripTrailingZeros(text);
    if (text.size() <= kGeneralWidth && text != "0" && text != "-0") return widen(text);
  }
  return widen(generalScientific(value));
}

}  // namespace sx::formula
