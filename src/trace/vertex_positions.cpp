#include "trace/vertex_positions.h"

namespace lumaveil {

void vertex_positions(State& s, const double* dist) {
  s.ZV[0] = dist[0];
  for (int k = 1; k <= wide(s.NUMB) - 1; ++k) s.ZV[k] = s.ZV[k - 1] + dist[k];
}

}  // namespace lumaveil
