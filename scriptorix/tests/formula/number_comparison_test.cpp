#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "formula/value_coercion.h"

namespace sx::formula {
namespace {

// The rule the comparison must follow, written out the slow way: equal exactly when the
// 15-significant-digit forms agree.
bool agreeTo15Digits(double a, double b) {
  char x[32], y[32];
  std::snprintf(x, sizeof x, "%.14e", a);
  std::snprintf(y, sizeof y, "%.14e", b);
  return std::string(x) == std::string(y) || a == b;
}

TEST(NumberComparison, EqualExactlyWhenFifteenDigitsAgree) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  std::uniform_int_distribution<int> ulps(-200, 200);
  int equalSeen = 0, differentSeen = 0;
  for (int i = 0; i < 200000; ++i) {
    const double a = mantissa(random) * std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1);
    // Neighbours up to a few hundred units in the last place away straddle the 15th digit.
    double b = a;
    for (int step = ulps(random); step != 0; step += step > 0 ? -1 : 1)
      b = std::nextafter(b, step > 0 ? INFINITY : -INFINITY);
    if (i % 7 == 0) b = a * (1 + 3e-14);
    const bool expected = agreeTo15Digits(a, b);
    (expected ? equalSeen : differentSeen) += 1;
    ASSERT_EQ(compareScalars(Scalar::fromNumber(a), Scalar::fromNumber(b)) == 0, expected)
        << a << " against " << b;
  }
  // Both answers must have been exercised for the check to mean anything.
  EXPECT_GT(equalSeen, 1000);
  EXPECT_GT(differentSeen, 1000);
}

TEST(NumberComparison, EdgeValues) {
  auto compare = [](double a, double b) {
    return compareScalars(Scalar::fromNumber(a), Scalar::fromNumber(b));
  };
  EXPECT_EQ(compare(0.1 * 3, 0.3), 0);
  EXPECT_EQ(compare(0.0, -0.0), 0);
  EXPECT_LT(compare(-1e-320, 1e-320), 0);
  EXPECT_EQ(compare(4.9406564584124654e-324, 4.9406564584124654e-324), 0);
  EXPECT_GT(compare(1e300, 1e299), 0);
  EXPECT_LT(compare(1.0, 1.0000000000001), 0);
  EXPECT_EQ(compare(1.0, 1.000000000000001), 0);
}

}  // namespace
}  // namespace sx::formula
