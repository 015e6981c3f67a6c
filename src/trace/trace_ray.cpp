#include "trace/trace.h"

namespace lumaveil {

TraceSurfaces surfaces_of(const State& s) {
  return {s.NUMB, s.TYPE, s.C, s.D, s.Xd, s.Yd, s.ZV, s.N[0], nullptr};
}

TraceRay ray_of(State& s) { return {s.X, s.Y, s.Z, s.U, s.V, s.FLAG, nullptr, nullptr, false}; }

namespace {

// Step i: from surface i to surface i+1, by the kind of surface i+1.
void trace_step(const TraceSurfaces& s, const TraceRay& ray, int i) {
  ray.flag[i] = 0;
  switch (s.type[i + 1]) {
    case 1: trace_ideal(s, ray, i); break;
    case 2: trace_tilted_plane(s, ray, i); break;
    default: trace_sphere(s, ray, i); break;
  }
}

}  // namespace

void trace_steps(const TraceSurfaces& s, const TraceRay& ray, int first) {
  for (int i = first; i <= wide(s.numb) - 1; ++i) trace_step(s, ray, i);
}

void trace_steps_side_by_side(const TraceSurfaces& sa, const TraceRay& a, int first_a,
                              const TraceSurfaces& sb, const TraceRay& b, int first_b) {
  const long long last = wide(sa.numb) - 1;
  for (int i = first_a < first_b ? first_a : first_b; i <= last; ++i) {
    const bool both = i >= first_a && i >= first_b;
    if (both && sa.type[i + 1] != 1 && sa.type[i + 1] != 2 && sb.type[i + 1] == sa.type[i + 1]) {
      a.flag[i] = 0;
      b.flag[i] = 0;
      trace_sphere_pair(sa, a, sb, b, i);
      continue;
    }
    if (i >= first_a) trace_step(sa, a, i);
    if (i >= first_b) trace_step(sb, b, i);
  }
}

void trace_ray(State& s) { trace_steps(surfaces_of(s), ray_of(s), 0); }

}  // namespace lumaveil
