#pragma once

#include <cmath>

namespace sx::formula {

// The annuity relation behind FV, PV, PMT, IPMT, RATE and their kin: `type` 1 pays at the
// start of each period, 0 at its end. Money paid out is negative.
inline double annuityFutureValue(double rate, double periods, double payment, double present,
                                 double type) {
  if (rate == 0) return -(present + payment * periods);
  const double growth = std::pow(1 + rate, periods);
  return -(present * growth + payment * (1 + rate * type) * (growth - 1) / rate);
}

// (1 + rate)^periods - 1, exact also for rates near zero.
inline double compoundGrowth(double rate, double periods) {
  return std::expm1(periods * std::log1p(rate));
}

inline double annuityPayment(double rate, double periods, double present, double future,
                             double type) {
  if (rate == 0) return -(present + future) / periods;
  const double growth = std::pow(1 + rate, periods);
  return -(present * growth + future) * rate / ((1 + rate * type) * (growth - 1));
}

// The interest part of payment number `period` (1-based) of an annuity paying `payment`.
inline double annuityInterest(double rate, double period, double payment, double present,
                              double type) {
  if (period == 1) return type != 0 ? 0 : -present * rate;
  if (type != 0)
    return (annuityFutureValue(rate, period - 2, payment, present, 1) - payment) * rate;
  return annuityFutureValue(rate, period - 1, payment, present, 0) * rate;
}

}  // namespace sx::formula
