#include "optimise/merit.h"

#include <cmath>

#include "optimise/merit_fast.h"
#include "optimise/merit_plain.h"
#include "optimise/solve_linear.h"

namespace lumaveil {

void merit(State& s, Varied what, int n, const int* iv, const double* p) {
  double S = 0;
  s.SW = 0;
  s.SDX = 0;
  s.SDX2 = 0;
  s.SDY = 0;
  s.SDY2 = 0;
  s.NEQ = n;
  for (int i = 0; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) s.AA[i][j] = 0;
    s.BB[i] = 0;
  }

  if (fast_path_applies(s, what, n, p))
    fast_rays(s, what, n, iv, p, S);
  else
    plain_rays(s, what, n, iv, p, S);

  solve_linear(s);

  s.E = std::sqrt(S / s.SW);
  s.Xa = s.SDX / s.SW;
  s.Xs = std::sqrt((s.SDX2 - s.SDX * s.SDX / s.SW) / (s.SW - 1));
  s.Ya = s.SDY / s.SW;
  s.Ys = std::sqrt((s.SDY2 - s.SDY * s.SDY / s.SW) / (s.SW - 1));
}

}  // namespace lumaveil
