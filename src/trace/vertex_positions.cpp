#include "trace/vertex_positions.h"

namespace lumaveil {

void vertex_positions(double* zv, int numb, const double* dist) {
  zv[0] = dist[0];
  for (int k = 1; k <= wide(numb) - 1; ++k) zv[k] = zv[k - 1] + dist[k];
}

void vertex_positions(State& s, const double* dist) { vertex_positions(s.ZV, s.NUMB, dist); }

}  // namespace lumaveil
