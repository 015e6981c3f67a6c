#include "optimise/merit_plain.h"

#include "optimise/merit_contribution.h"
#include "optimise/merit_variables.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// Traces the ray of the state block (moving the vertex positions with the
// distances first) and returns its values at the evaluated surface.
RayValues traced_values(State& s, Varied what) {
  if (what == Varied::kDistance) vertex_positions(s, s.D);
  trace_ray(s);
  const int last = evaluated_surface(s);
  return {s.X[last], s.Y[last], s.U[last], s.V[last]};
}

}  // namespace

void plain_rays(State& s, Varied what, int n, const int* iv, const double* p, double& S) {
  double* T = what == Varied::kCurvature ? s.C : s.D;
  const double h = s.H;
  RayContribution c;
  for (int q = 1; q <= s.NW; ++q) {
    for (int k = 0; k <= wide(s.NUMB) - 1; ++k) s.N[0][k] = s.N[q][k];
    const double w = s.WQ[q];
    for (int r = 0; r <= wide(s.NRAY) - 1; ++r) {
      if (starts_at_zero(s, r)) continue;
      s.X[0] = s.XI[r];
      s.Y[0] = s.YI[r];
      s.U[0] = s.UI[r];
      s.V[0] = s.VI[r];

      // Residuals at the values of p.
      set_variables(s, T, p);
      set_residuals(s, r, traced_values(s, what), c);

      // Central differences of the raw values, one variable at a time.
      for (int m = 0; m <= n - 1; ++m) {
        offset_variable(s, T, iv, p, m, -h);
        RayValues minus = traced_values(s, what);
        offset_variable(s, T, iv, p, m, +h);
        RayValues plus = traced_values(s, what);
        set_differences(m, h, minus, plus, c);
        offset_variable(s, T, iv, p, m, 0);
      }
      add_contribution(s, S, w, n, c);
    }
  }
}

}  // namespace lumaveil
