#include <cmath>

#include "trace/trace.h"

namespace lumaveil {

void trace_ideal(State& s, int i) {
  const int k = i + 1;
  const double f = s.D[i];
  s.FLAG[i] = 2;
  // Height behind depends on the angle in front, angle behind on the height.
  s.X[k] = -f * std::sin(s.U[i]);
  s.Y[k] = -f * std::sin(s.V[i]);
  s.U[k] = std::asin(s.X[i] / f);
  s.V[k] = std::asin(s.Y[i] / f);
  s.Z[k] = s.ZV[k - 1];
}

}  // namespace lumaveil
