#include "optimise/distance_search.h"

#include "entry/progress.h"
#include "optimise/driver_report.h"
#include "optimise/gauss_newton.h"
#include "optimise/newton_step.h"
#include "report/literals.h"
#include "report/report.h"

namespace lumaveil {
namespace {

// The surface numbers of the searched distances, checked: a distance is
// searchable when its surface lies in 0..NUMB-2, and two searched distances
// must differ. Writes the error line and returns false otherwise.
bool searched_surfaces_valid(const State& s, int count, Report& f1) {
  for (int which = 1; which <= count; ++which) {
    const int surface = s.ND[which];
    if (surface < 0 || surface > wide(s.NUMB) - 2) {
      f1.print("error: ND[%d] = %d is not a surface 0..NUMB-2 (NUMB = %d)\n",
               {which, surface, s.NUMB});
      return false;
    }
  }
  if (count == 2 && s.ND[1] == s.ND[2]) {
    f1.print("error: ND[1] = ND[2] = %d: the two searched distances must differ\n", {s.ND[1]});
    return false;
  }
  return true;
}

// The distance at grid offset number m (0..4) around `centre`.
double grid_distance(int m, double h, double centre) { return (m - 2) * h + centre; }

// One pass of mode 5: sample the 5-point grid, then step D[s1].
void search_one(State& s, double* AR, double* Dv, GridMerit merit_at) {
  const int s1 = s.ND[1];
  const double h = s.HD;
  double G[5];
  for (int m = 0; m <= 4; ++m) {
    progress(1, m + 1, 5);
    Dv[s1] = grid_distance(m, h, s.D[s1]);
    merit_at(s, AR, Dv);
    G[m] = s.E;
  }
  NewtonStep1 step = newton_step_1(G, h);
  s.D[s1] = s.D[s1] - step.u / step.q;
}

// One pass of mode 6: sample the 5 × 5 grid, D1 outer and D2 inner, then
// step D[s1] and D[s2].
void search_two(State& s, double* AR, double* Dv, GridMerit merit_at) {
  const int s1 = s.ND[1];
  const int s2 = s.ND[2];
  const double h = s.HD;
  double G[5][5];
  for (int a = 0; a <= 4; ++a) {
    Dv[s1] = grid_distance(a, h, s.D[s1]);
    for (int b = 0; b <= 4; ++b) {
      progress(1, a * 5 + b + 1, 25);
      Dv[s2] = grid_distance(b, h, s.D[s2]);
      merit_at(s, AR, Dv);
      G[a][b] = s.E;
    }
  }
  NewtonStep2 step = newton_step_2(G, h);
  s.D[s1] = step.step1 + s.D[s1];
  s.D[s2] = step.step2 + s.D[s2];
}

void run_distance_search(State& s, int count, GridMerit merit_at) {
  if (!read_ray_set_or_report(s)) return;
  Report f1;
  f1.put(count == 1 ? literals::kCurvatureOneDistanceHeading
                    : literals::kCurvatureTwoDistancesHeading);
  f1.put(count == 1 ? literals::kMeritOneDistanceColumns : literals::kMeritTwoDistancesColumns);
  for (int v = 0; v <= s.NV - 1; ++v) f1.print(literals::kCurvatureColumn, {v});
  f1.put(literals::kLineEnd);
  if (!searched_surfaces_valid(s, count, f1)) return;

  double AR[kSurfaceSlots] = {};
  double Dv[kSurfaceSlots] = {};
  for (long long n = 0; n <= s.NITD; ++n) {
    progress(0, n + 1, s.NITD + 1LL);
    for (int k = 0; k <= wide(s.NUMB) - 1; ++k) Dv[k] = s.D[k];
    if (count == 1) {
      search_one(s, AR, Dv, merit_at);
      f1.print(literals::kMeritOneDistanceRow,
               {n, s.D[s.ND[1]], s.E, s.Xa, s.Xs, s.Ya, s.Ys});
    } else {
      search_two(s, AR, Dv, merit_at);
      f1.print(literals::kMeritTwoDistancesRow,
               {n, s.D[s.ND[1]], s.D[s.ND[2]], s.E, s.Xa, s.Xs, s.Ya, s.Ys});
    }
    // The curvatures with which the last grid point ended.
    print_variable_values(f1, s, literals::kCurvatureValue, AR);
    f1.put(literals::kLineEnd);
  }
}

}  // namespace

void refit_curvatures(State& s, double* AR, const double* Dv) { gn_curvature_inner(s, AR, Dv); }

void gn_curvature_d1(State& s, GridMerit merit_at) { run_distance_search(s, 1, merit_at); }

void gn_curvature_d2(State& s, GridMerit merit_at) { run_distance_search(s, 2, merit_at); }

}  // namespace lumaveil
