#include "optimise/solve_linear.h"

#include <cmath>

namespace lumaveil {

namespace {

// Rows are left alone while their largest magnitude lies in [2^-200, 2^200].
constexpr int kSafeExponent = 200;

// Brings row j of the system (AA[j][1..n] and BB[j]) back near 1 when its
// largest magnitude has left the safe range, by multiplying it with a power
// of two. ldexp is exact for normal numbers, so the row keeps every bit of
// its mantissas; only the common factor of the row changes. A row that is
// all zero, or holds a non-finite entry, is left as it stands.
void rescale_row(State& s, int j, int n) {
  double largest = std::fabs(s.BB[j]);
  for (int k = 1; k <= n; ++k) {
    const double a = std::fabs(s.AA[j][k]);
    if (a > largest) largest = a;
  }
  if (largest == 0 || !std::isfinite(largest)) return;
  int exponent = 0;
  std::frexp(largest, &exponent);  // largest = m·2^exponent, 0.5 <= m < 1
  if (exponent >= -kSafeExponent && exponent <= kSafeExponent) return;
  s.BB[j] = std::ldexp(s.BB[j], -exponent);
  for (int k = 1; k <= n; ++k) s.AA[j][k] = std::ldexp(s.AA[j][k], -exponent);
}

}  // namespace

void solve_linear(State& s) {
  const int n = s.NEQ;
  if (n <= 0) return;

  // Forward elimination by cross-multiplication, each updated row kept in
  // range by an exact power-of-two rescale.
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const double p = s.AA[i][i];
      const double f = s.AA[j][i];
      s.BB[j] = s.BB[j] * p - f * s.BB[i];
      for (int k = 1; k <= n; ++k) s.AA[j][k] = s.AA[j][k] * p - f * s.AA[i][k];
      rescale_row(s, j, n);
    }
  }

  // Back substitution.
  s.DX[n - 1] = s.BB[n] / s.AA[n][n];
  for (int i = n - 1; i >= 1; --i) {
    double sum = 0;
    for (int k = i + 1; k <= n; ++k) sum = sum + s.AA[i][k] * s.DX[k - 1];
    s.DX[i - 1] = (s.BB[i] - sum) / s.AA[i][i];
  }
}

}  // namespace lumaveil
