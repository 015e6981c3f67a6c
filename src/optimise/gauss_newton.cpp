#include "optimise/gauss_newton.h"

#include "entry/progress.h"
#include "optimise/driver_report.h"
#include "optimise/merit.h"
#include "report/literals.h"
#include "report/report.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// What distinguishes mode 2 from mode 3.
struct GaussNewtonMode {
  Varied what;
  const char* heading;
  const char* column;  // the column of one variable
  const char* value;   // the value of one variable in a row
};

constexpr GaussNewtonMode kCurvatureMode{Varied::kCurvature, literals::kCurvatureHeading,
                                         literals::kCurvatureColumn, literals::kCurvatureValue};
constexpr GaussNewtonMode kDistanceMode{Varied::kDistance, literals::kDistanceHeading,
                                        literals::kDistanceColumn, literals::kDistanceValue};

void run_gauss_newton(State& s, const GaussNewtonMode& mode) {
  if (!read_ray_set_or_report(s)) return;
  Report f1;
  f1.put(mode.heading);

  // The curvature evaluation traces at the vertex positions of D; the
  // distance evaluation places the surfaces itself before every trace.
  double* T = mode.what == Varied::kCurvature ? s.C : s.D;
  if (mode.what == Varied::kCurvature) vertex_positions(s, s.D);
  double AR[kSurfaceSlots] = {};
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k) AR[k] = T[k];

  f1.put(literals::kMeritColumns);
  for (int v = 0; v <= s.NV - 1; ++v) f1.print(mode.column, {v});
  f1.put(literals::kLineEnd);

  for (long long j = 1; j <= s.NIT; ++j) {
    progress(0, j, s.NIT);
    merit(s, mode.what, s.NV, s.IV, AR);
    f1.print(literals::kMeritRow, {j, s.E, s.Xa, s.Xs, s.Ya, s.Ys});
    print_variable_values(f1, s, mode.value, AR);
    f1.put(literals::kLineEnd);
    add_correction(s, AR);
  }
}

}  // namespace

void gn_curvature(State& s) { run_gauss_newton(s, kCurvatureMode); }

void gn_distance(State& s) { run_gauss_newton(s, kDistanceMode); }

void gn_curvature_inner(State& s, double* ar, const double* dv) {
  vertex_positions(s, dv);
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k) ar[k] = s.C[k];
  for (long long t = 1; t <= s.NITC; ++t) {
    merit_curvature(s, s.NV, s.IV, ar);
    add_correction(s, ar);
  }
}

}  // namespace lumaveil
