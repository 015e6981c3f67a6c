#include "aberration/optical_path.h"

#include <cmath>

namespace lumaveil {

void path_lengths(const State& s, const TraceRay& ray, double* opl) {
  for (int i = 0; i <= wide(s.NUMB) - 2; ++i) {
    double n = s.N[0][i];
    if (n < 0) n = 1.0;
    // Geometric length per unit of z along the segment; the slopes are
    // those the trace took, when it kept them.
    double tu = ray.tu != nullptr ? ray.tu[i] : std::tan(ray.u[i]);
    double tv = ray.tv != nullptr ? ray.tv[i] : std::tan(ray.v[i]);
    double L = std::sqrt(tu * tu + 1 + tv * tv);
    if (s.N[0][i + 1] < 0) {
      // z[i+1] is stored folded about the mirror's vertex plane.
      opl[i] = (2 * s.ZV[i] - ray.z[i + 1] - ray.z[i]) * n * L;
    } else if (ray.flag[i] == 2) {
      opl[i] = 0;
    } else {
      opl[i] = (ray.z[i + 1] - ray.z[i]) * n * L;
    }
  }
}

double wave_aberration(const State& s, const TraceRay& ray, const double* opl, int j) {
  const int a = s.NUMB - 2;  // the last surface the path runs to
  const int b = s.NUMB - 1;  // the surface of the reference image point
  double P = 0.0;
  for (int i = 0; i <= wide(s.NUMB) - 3; ++i) P = P + opl[i];
  if (s.TYPE[b] != 1) {
    double dx = s.Xr - ray.x[a];
    double dy = s.Yr - ray.y[a];
    double dz = ray.z[b] - ray.z[a];
    double g = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (ray.z[b] > ray.z[a]) P = P + g; else P = P - g;
  }
  return (P - s.OPR) * 1000000.0 / s.WL[j];
}

void path_lengths(State& s) { path_lengths(s, ray_of(s), s.OPL); }

void wave_aberration(State& s, int j) { s.AB = wave_aberration(s, ray_of(s), s.OPL, j); }

}  // namespace lumaveil
