#include <cmath>

#include "trace/trace.h"

namespace lumaveil {

void trace_ideal(const TraceSurfaces& s, const TraceRay& ray, int i) {
  const int k = i + 1;
  const double f = s.d[i];
  ray.flag[i] = 2;
  // The element bends by heights and angles, not slopes: they are taken
  // only for a ray that keeps them.
  if (ray.tu != nullptr) keep_slopes(ray, i, std::tan(ray.u[i]), std::tan(ray.v[i]));
  // Height behind depends on the angle in front, angle behind on the height.
  ray.x[k] = -f * std::sin(ray.u[i]);
  ray.y[k] = -f * std::sin(ray.v[i]);
  ray.u[k] = std::asin(ray.x[i] / f);
  ray.v[k] = std::asin(ray.y[i] / f);
  ray.z[k] = s.zv[k - 1];
}

void trace_ideal(State& s, int i) { trace_ideal(surfaces_of(s), ray_of(s), i); }

}  // namespace lumaveil
