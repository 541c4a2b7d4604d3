#pragma once

#include <functional>
#include <vector>

#include "formula/evaluator.h"

namespace sx::formula {

// Visits the values of arguments [first, end) (end defaults to all): a value given directly is
// visited with `direct` true; the cells of a range and the elements of an array with `direct`
// false.
void forEachArgumentValue(CallArgs& args, std::size_t first,
                          const std::function<void(const Scalar&, bool direct)>& visit,
                          std::size_t end = std::size_t(-1));

// The numbers SUM and its kin take: from ranges and arrays only numbers (errors propagate,
// text and booleans are skipped); given directly, booleans and numeric text count too.
// Arguments [first, end) are read.
std::vector<double> collectNumbers(CallArgs& args, std::size_t first = 0,
                                   std::size_t end = std::size_t(-1));

// The numbers of argument `i` only, as a range holds them: errors propagate, anything else is
// skipped even when given directly (LARGE, Z.TEST, T.TEST's samples).
std::vector<double> numbersIn(CallArgs& args, std::size_t i);

// Spreadsheet rounding of `value` to `digits` decimals (negative digits round left of the point),
// half away from zero, after removing binary noise such as 2.675 stored as 2.67499999.
double roundHalfAway(double value, int digits);

// The value kept to 15 significant digits, as a spreadsheet holds numbers: 0.1*3 becomes 0.3.
double significant15(double value);

// A number as an integer argument (truncated toward zero).
int64_t toInteger(double value);

// Spreadsheet wildcard matching, ignoring case: "*" any run, "?" one character, "~" escapes.
bool wildcardMatch(std::u16string_view pattern, std::u16string_view text);

// Wraps a number result, turning NaN and infinities into #NUM!.
inline Value number(double value) { return numberResult(value); }

}  // namespace sx::formula
