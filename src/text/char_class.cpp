#include "text/char_class.h"

#include <algorithm>

#include "text/char_class_tables.h"

namespace zq {

namespace {

bool inRanges(std::span<const detail::UnitRange> ranges, char16_t unit) {
  // The first range whose last unit is not below `unit` is the only one that can hold it.
  const auto found = std::lower_bound(
      ranges.begin(), ranges.end(), unit,
      [](const detail::UnitRange& range, char16_t value) { return range.last < value; });
  return found != ranges.end() && found->first <= unit;
}

constexpr char16_t kLatin1End = 0x00FF;

}  // namespace

bool isWideSpace(char16_t unit) {
  if (unit <= kLatin1End) {
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0;
  }
  return inRanges(detail::kWideSpaceRanges, unit);
}

bool isWideDigit(char16_t unit) {
  if (unit <= kLatin1End) {
    return (unit >= u'0' && unit <= u'9') || unit == 0xB2 || unit == 0xB3 || unit == 0xB9;
  }
  return inRanges(detail::kWideDigitRanges, unit);
}

bool isWideAlpha(char16_t unit) { return inRanges(detail::kWideAlphaRanges, unit); }

}  // namespace zq
