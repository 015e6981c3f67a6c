#include "optimise/solve_linear.h"

namespace lumaveil {

void solve_linear(State& s) {
  const int n = s.NEQ;
  if (n <= 0) return;

  // Forward elimination by cross-multiplication.
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const double p = s.AA[i][i];
      const double f = s.AA[j][i];
      s.BB[j] = s.BB[j] * p - f * s.BB[i];
      for (int k = 1; k <= n; ++k) s.AA[j][k] = s.AA[j][k] * p - f * s.AA[i][k];
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
