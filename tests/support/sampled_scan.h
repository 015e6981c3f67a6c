// The power sums of a mode-4 scan whose samples are a known polynomial.
#ifndef LUMAVEIL_TESTS_SAMPLED_SCAN_H
#define LUMAVEIL_TESTS_SAMPLED_SCAN_H

#include "aberration/fit_polynomial.h"

namespace lumaveil::testing {

// The samples of Σ c[p]·t^p at t = l/M, l = −M..M, gathered in the order of
// a scan as mode 4 gathers them.
inline PowerSums sampled_scan(int M, const double (&c)[7]) {
  PowerSums sums;
  clear_power_sums(sums);
  for (long long l = -M; l <= M; ++l) {
    const double t = scan_abscissa(l, M);
    double y = 0;
    for (int p = 6; p >= 0; --p) y = y * t + c[p];
    add_sample(sums, t, y);
  }
  return sums;
}

}  // namespace lumaveil::testing

#endif
