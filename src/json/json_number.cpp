#include "json/json_number.h"

#include <charconv>
#include <stdexcept>
#include <string>
#include <system_error>

namespace zq::detail {

double convertJsonNumber(std::u16string_view text) {
  // The conversion only understands ASCII, so it stops at the first other unit
  // (a superscript or non-Latin digit taken in by the scanner).
  std::string ascii;
  for (const char16_t unit : text) {
    if (unit >= 0x80) {
      break;
    }
    ascii.push_back(static_cast<char>(unit));
  }
  double value = 0;
  // from_chars never looks at the locale, unlike strtod.
  const auto [end, error] =
      std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
  if (error == std::errc::invalid_argument) {
    throw std::invalid_argument("invalid stod argument");
  }
  if (error == std::errc::result_out_of_range) {
    throw std::out_of_range("stod argument out of range");
  }
  return value;
}

}  // namespace zq::detail
