#include "aberration/fit_polynomial.h"

#include <cmath>

#include "optimise/solve_linear.h"

namespace lumaveil {

void clear_power_sums(PowerSums& sums) {
  for (int p = 0; p <= 12; ++p) {
    sums.SX[p] = 0;
    sums.SYX[p] = 0;
  }
}

double scan_abscissa(long long l, int M) { return (static_cast<double>(l) * 1.0) / M; }

void sample_powers(double t, SamplePowers& powers) {
  powers.pow[0] = 1.0;
  powers.pow[1] = t;
  for (int p = 2; p <= 12; ++p) powers.pow[p] = std::pow(t, p);
}

void add_sample(PowerSums& sums, const SamplePowers& powers, double y) {
  const double t = powers.pow[1];
  sums.SX[0] = sums.SX[0] + 1.0;
  sums.SX[1] = sums.SX[1] + t;
  for (int p = 2; p <= 12; ++p) sums.SX[p] = sums.SX[p] + powers.pow[p];
  sums.SYX[0] = sums.SYX[0] + y;
  sums.SYX[1] = sums.SYX[1] + t * y;
  for (int p = 2; p <= 6; ++p) sums.SYX[p] = sums.SYX[p] + powers.pow[p] * y;
}

void add_sample(PowerSums& sums, double t, double y) {
  SamplePowers powers;
  sample_powers(t, powers);
  add_sample(sums, powers, y);
}

void solve_power_sums(State& s, const PowerSums& sums) {
  s.NEQ = 7;
  for (int a = 1; a <= 7; ++a) {
    s.BB[a] = sums.SYX[a - 1];
    for (int b = 1; b <= 7; ++b) s.AA[a][b] = sums.SX[a + b - 2];
  }
  solve_linear(s);
}

}  // namespace lumaveil
