#pragma once

#include <vector>

namespace sx::formula {

// Percentiles of sorted numbers, interpolating between neighbours; a fraction outside what
// the method allows (or no numbers) throws #NUM!.
// Inclusive: rank k*(n-1) from 0, so 0 and 1 are the smallest and the largest.
double percentileInclusive(const std::vector<double>& sorted, double fraction);
// Exclusive: rank k*(n+1) from 1, which must fall within 1..n.
double percentileExclusive(const std::vector<double>& sorted, double fraction);

// The most frequent numbers, each once, in the order first met; empty when none repeats.
std::vector<double> modes(const std::vector<double>& numbers);

}  // namespace sx::formula
