#include "exit_pupil.h"

#include <cmath>

namespace lumaveil::quality {

void trace_from_start(const State& s, const StartRay& start, RayArrays& ray) {
  ray.X[0] = start.x;
  ray.Y[0] = start.y;
  ray.Z[0] = 0.0;
  ray.U[0] = start.u;
  ray.V[0] = start.v;
  trace_steps(surfaces_of(s), ray.ray(), 0);
}

double exit_pupil_z(const State& s, int stop) {
  // The stop's centre is its axis point (cli/fields/aim.h), its vertex z.
  const bool shifted = s.TYPE[stop] != 1 && s.TYPE[stop] != 2;
  const double xc = shifted ? s.Xd[stop] : 0.0, yc = shifted ? s.Yd[stop] : 0.0;
  RayArrays ray;
  for (int k = 0; k <= stop; ++k) ray.FLAG[k] = 0;
  ray.X[stop] = xc;
  ray.Y[stop] = yc;
  ray.Z[stop] = s.ZV[stop - 1];
  ray.U[stop] = 0.0;
  ray.V[stop] = 1e-5;  // small: the paraxial limit
  trace_steps(surfaces_of(s), ray.ray(), stop);
  // The last segment, y(z) = Y[a] − tan V[a]·(z − Z[a]), meets y = yc.
  const int a = s.NUMB - 2;
  return ray.Z[a] + (ray.Y[a] - yc) / std::tan(ray.V[a]);
}

}  // namespace lumaveil::quality
