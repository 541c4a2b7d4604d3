#include "formula/order_statistics.h"

#include <cmath>
#include <map>

#include "formula/value_coercion.h"

namespace sx::formula {
namespace {

// The value at 0-based `rank` between the numbers around it.
double interpolate(const std::vector<double>& sorted, double rank) {
  std::size_t below = std::size_t(std::floor(rank));
  double fraction = rank - double(below);
  if (below + 1 >= sorted.size()) return sorted[below];
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

}  // namespace

double percentileInclusive(const std::vector<double>& sorted, double fraction) {
  if (sorted.empty() || fraction < 0 || fraction > 1) throw FormulaError{ErrorCode::Num};
  return interpolate(sorted, fraction * double(sorted.size() - 1));
}

double percentileExclusive(const std::vector<double>& sorted, double fraction) {
  double rank = fraction * double(sorted.size() + 1);
  if (sorted.empty() || fraction <= 0 || fraction >= 1 || rank < 1 ||
      rank > double(sorted.size())) {
    throw FormulaError{ErrorCode::Num};
  }
  return interpolate(sorted, rank - 1);
}

std::vector<double> modes(const std::vector<double>& numbers) {
  std::map<double, int> counts;
  int best = 1;
  for (double n : numbers) best = std::max(best, ++counts[n]);
  std::vector<double> found;
  if (best < 2) return found;
  for (double n : numbers) {
    auto entry = counts.find(n);
    if (entry->second == best) {
      found.push_back(n);
      entry->second = 0;  // listed once
    }
  }
  return found;
}

}  // namespace sx::formula
