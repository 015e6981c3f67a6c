#include "aberration/optical_path.h"

#include <cmath>

namespace lumaveil {

void path_lengths(State& s) {
  for (int i = 0; i <= wide(s.NUMB) - 2; ++i) {
    double n = s.N[0][i];
    if (n < 0) n = 1.0;
    // Geometric length per unit of z along the segment.
    double tu = std::tan(s.U[i]);
    double tv = std::tan(s.V[i]);
    double L = std::sqrt(tu * tu + 1 + tv * tv);
    if (s.N[0][i + 1] < 0) {
      // Z[i+1] is stored folded about the mirror's vertex plane.
      s.OPL[i] = (2 * s.ZV[i] - s.Z[i + 1] - s.Z[i]) * n * L;
    } else if (s.FLAG[i] == 2) {
      s.OPL[i] = 0;
    } else {
      s.OPL[i] = (s.Z[i + 1] - s.Z[i]) * n * L;
    }
  }
}

void wave_aberration(State& s, int j) {
  const int a = s.NUMB - 2;  // the last surface the path runs to
  const int b = s.NUMB - 1;  // the surface of the reference image point
  double P = 0.0;
  for (int i = 0; i <= wide(s.NUMB) - 3; ++i) P = P + s.OPL[i];
  if (s.TYPE[b] != 1) {
    double dx = s.Xr - s.X[a];
    double dy = s.Yr - s.Y[a];
    double dz = s.Z[b] - s.Z[a];
    double g = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (s.Z[b] > s.Z[a]) P = P + g; else P = P - g;
  }
  s.AB = (P - s.OPR) * 1000000.0 / s.WL[j];
}

}  // namespace lumaveil
