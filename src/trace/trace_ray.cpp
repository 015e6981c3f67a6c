#include "trace/trace.h"

namespace lumaveil {

TraceSurfaces surfaces_of(const State& s) {
  return {s.NUMB, s.TYPE, s.C, s.D, s.Xd, s.Yd, s.ZV, s.N[0]};
}

TraceRay ray_of(State& s) { return {s.X, s.Y, s.Z, s.U, s.V, s.FLAG}; }

void trace_steps(const TraceSurfaces& s, const TraceRay& ray, int first) {
  for (int i = first; i <= wide(s.numb) - 1; ++i) {
    ray.flag[i] = 0;
    switch (s.type[i + 1]) {
      case 1: trace_ideal(s, ray, i); break;
      case 2: trace_tilted_plane(s, ray, i); break;
      default: trace_sphere(s, ray, i); break;
    }
  }
}

void trace_ray(State& s) { trace_steps(surfaces_of(s), ray_of(s), 0); }

}  // namespace lumaveil
