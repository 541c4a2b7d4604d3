#include "formula/function_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sx::formula {

void forEachArgumentValue(CallArgs& args, std::size_t first,
                          const std::function<void(const Scalar&, bool direct)>& visit,
                          std::size_t end) {
  for (std::size_t i = first; i < std::min(end, args.size()); ++i) {
    if (args.isMissing(i)) continue;
    Value value = args.value(i);
    if (auto* scalar = std::get_if<Scalar>(&value)) {
      visit(*scalar, true);
    } else if (auto* array = std::get_if<Array>(&value)) {
      for (const auto& cell : array->cells) visit(cell, false);
    } else {
      for (const auto& area : std::get<References>(value)) {
        args.evaluator().forEachCell(
            area, [&](const Scalar& cell, int32_t, int32_t) { visit(cell, false); });
      }
    }
  }
}

std::vector<double> collectNumbers(CallArgs& args, std::size_t first, std::size_t end) {
  std::vector<double> numbers;
  forEachArgumentValue(
      args, first,
      [&](const Scalar& value, bool direct) {
        if (value.isError()) throw FormulaError{value.error};
        if (value.isNumber()) {
          numbers.push_back(value.number);
        } else if (direct && !value.isEmpty()) {
          numbers.push_back(toNumber(value));
        }
      },
      end);
  return numbers;
}

std::vector<double> numbersIn(CallArgs& args, std::size_t i) {
  std::vector<double> numbers;
  forEachArgumentValue(
      args, i,
      [&](const Scalar& value, bool) {
        if (value.isError()) throw FormulaError{value.error};
        if (value.isNumber()) numbers.push_back(value.number);
      },
      i + 1);
  return numbers;
}

double significant15(double value) {
  if (!std::isfinite(value)) return value;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  return std::strtod(buffer, nullptr);
}

double roundHalfAway(double value, int digits) {
  if (!std::isfinite(value)) return value;
  if (digits > 15) return value;
  if (digits < -15) return 0;
  // Round to 15 significant digits first so that 2.675 (2.67499999...) rounds to 2.68.
  double scale = std::pow(10.0, std::abs(digits));
  double cleaned = significant15(value);
  double shifted = significant15(digits >= 0 ? cleaned * scale : cleaned / scale);
  double rounded = std::round(shifted);
  return digits >= 0 ? rounded / scale : rounded * scale;
}

int64_t toInteger(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 9.0e15) throw FormulaError{ErrorCode::Num};
  return int64_t(std::trunc(value));
}

namespace {

char16_t fold(char16_t c) { return upperCase(std::u16string_view(&c, 1))[0]; }

}  // namespace

bool wildcardMatch(std::u16string_view pattern, std::u16string_view text) {
  std::size_t p = 0, t = 0, starP = std::u16string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = ++p;
      starT = t;
      continue;
    }
    if (p < pattern.size()) {
      bool escaped = pattern[p] == u'~' && p + 1 < pattern.size() &&
                     (pattern[p + 1] == u'*' || pattern[p + 1] == u'?' || pattern[p + 1] == u'~');
      char16_t want = escaped ? pattern[p + 1] : pattern[p];
      if ((!escaped && want == u'?') || fold(want) == fold(text[t])) {
        p += escaped ? 2 : 1;
        ++t;
        continue;
      }
    }
    if (starP == std::u16string_view::npos) return false;
    p = starP;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace sx::formula
