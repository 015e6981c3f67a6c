#include "optimise/merit_lanes.h"

#include <cstring>

#include "optimise/merit_variables.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first step whose inputs differ from those of the trace at p.
int first_changed_step(const Evaluation& e, const RayWork& w, const RayLane& l) {
  const int numb = e.s->NUMB;
  if (!e.retrace) return 0;
  if (e.what == Varied::kCurvature) {
    // Step i reads the curvature of surface i+1.
    for (int k = 1; k <= numb; ++k)
      if (!same_bits(l.T[k], w.baseT[k])) return k - 1;
  } else {
    // Step i reads ZV[i] (the sum of D[0..i]) and, at an ideal element, D[i].
    for (int k = 0; k <= numb - 1; ++k)
      if (!same_bits(l.T[k], w.baseT[k])) return k;
  }
  return numb;
}

}  // namespace

TraceSurfaces ready_lane(const Evaluation& e, RayWork& w, RayLane& l, int first) {
  const State& s = *e.s;
  const double* zv = s.ZV;
  if (e.what == Varied::kDistance) {
    vertex_positions(l.ZV, s.NUMB, l.T);
    zv = l.ZV;
  }
  for (int k = l.agrees + 1; k <= first; ++k) {
    l.X[k] = w.baseX[k];
    l.Y[k] = w.baseY[k];
    l.Z[k] = w.baseZ[k];
    l.U[k] = w.baseU[k];
    l.V[k] = w.baseV[k];
    l.FLAG[k - 1] = w.baseFLAG[k - 1];  // set by step k-1, as X[k]
  }
  if (first < l.agrees) l.agrees = first;
  const double* c = e.what == Varied::kCurvature ? l.T : s.C;
  const double* d = e.what == Varied::kDistance ? l.T : s.D;
  return {s.NUMB, s.TYPE, c, d, s.Xd, s.Yd, zv, w.N, nullptr};
}

RayValues values_at_last(const State& s, const RayLane& l) {
  const int last = evaluated_surface(s);
  return {l.X[last], l.Y[last], l.U[last], l.V[last]};
}

void keep_as_base(RayWork& w, const RayLane& l, int numb) {
  for (int k = 0; k <= numb; ++k) {
    w.baseX[k] = l.X[k];
    w.baseY[k] = l.Y[k];
    w.baseZ[k] = l.Z[k];
    w.baseU[k] = l.U[k];
    w.baseV[k] = l.V[k];
  }
  std::memcpy(w.baseFLAG, l.FLAG, sizeof l.FLAG);
  std::memcpy(w.baseT, l.T, sizeof l.T);
}

void trace_derivative(const Evaluation& e, RayWork& w, int m, RayValues& minus, RayValues& plus) {
  const State& s = *e.s;
  const double h = s.H;
  RayLane& a = w.lane[0];
  RayLane& b = w.lane[1];
  offset_variable(s, a.T, e.iv, e.p, m, -h);
  offset_variable(s, b.T, e.iv, e.p, m, +h);
  const int first_a = first_changed_step(e, w, a);
  const int first_b = first_changed_step(e, w, b);
  const TraceSurfaces sa = ready_lane(e, w, a, first_a);
  const TraceSurfaces sb = ready_lane(e, w, b, first_b);
  trace_steps_side_by_side(sa, a.ray(), first_a, sb, b.ray(), first_b);
  minus = values_at_last(s, a);
  plus = values_at_last(s, b);
  offset_variable(s, a.T, e.iv, e.p, m, 0);
  offset_variable(s, b.T, e.iv, e.p, m, 0);
}

}  // namespace lumaveil
