#include "optimise/merit_fast.h"

#include <cstdint>
#include <cstring>

#include "optimise/merit_contribution.h"
#include "optimise/merit_lanes.h"
#include "optimise/merit_retrace.h"
#include "optimise/merit_variables.h"
#include "parallel/pool.h"
#include "trace/trace.h"

namespace lumaveil {
namespace {

RayWork work_of[parallel::kMaxThreads];
RayContribution contribution_of[kMaxWavelengths * kMaxRays];

// Task number t: wavelength t / NRAY + 1, ray t % NRAY, as in the plain
// evaluation, on the worker's own arrays.
void trace_task(void* context, int worker, int task) {
  const Evaluation& e = *static_cast<const Evaluation*>(context);
  const State& s = *e.s;
  RayWork& w = work_of[worker];
  RayContribution& c = contribution_of[task];
  const int q = task / s.NRAY + 1;
  const int r = task % s.NRAY;
  c.worker = worker;
  c.counts = !starts_at_zero(s, r);
  if (!c.counts) return;

  // The indices of the wavelength, the entry behind the last surface as the
  // working row holds it.
  for (int k = 0; k <= s.NUMB - 1; ++k) w.N[k] = s.N[q][k];
  w.N[s.NUMB] = s.N[0][s.NUMB];
  const double* in = e.what == Varied::kCurvature ? s.C : s.D;
  for (RayLane& l : w.lane) {
    std::memcpy(l.T, in, sizeof l.T);
    if (e.what == Varied::kDistance) std::memcpy(l.ZV, s.ZV, sizeof l.ZV);
    l.X[0] = s.XI[r];
    l.Y[0] = s.YI[r];
    l.U[0] = s.UI[r];
    l.V[0] = s.VI[r];
    l.Z[0] = s.Z[0];
    set_variables(s, l.T, e.p);
    l.agrees = 0;  // entry 0 is the start
  }

  // The trace at p, in lane 0; lane 1 takes its values where it starts.
  RayLane& a = w.lane[0];
  trace_steps(ready_lane(e, w, a, 0), a.ray(), 0);
  set_residuals(s, r, values_at_last(s, a), c);
  keep_as_base(w, a, s.NUMB);
  a.agrees = s.NUMB;

  for (int m = 0; m <= e.n - 1; ++m) {
    RayValues minus, plus;
    trace_derivative(e, w, m, minus, plus);
    set_differences(m, s.H, minus, plus, c);
  }
}

// Leaves the state block as the plain evaluation leaves it: the working row
// at the last wavelength, and when a ray was traced, the arrays of its last
// trace, the varied array and (for distances) the vertex positions.
void leave_state(State& s, const Evaluation& e, int tasks) {
  if (s.NW >= 1)
    for (int k = 0; k <= s.NUMB - 1; ++k) s.N[0][k] = s.N[s.NW][k];
  int last = tasks - 1;
  while (last >= 0 && !contribution_of[last].counts) --last;
  if (last < 0) return;
  // The last trace is the +h trace of the last variable, or without
  // variables the trace at p.
  const RayLane& w = work_of[contribution_of[last].worker].lane[e.n > 0 ? 1 : 0];
  for (int k = 0; k <= s.NUMB; ++k) {
    s.X[k] = w.X[k];
    s.Y[k] = w.Y[k];
    s.Z[k] = w.Z[k];
    s.U[k] = w.U[k];
    s.V[k] = w.V[k];
  }
  for (int k = 0; k <= s.NUMB - 1; ++k) s.FLAG[k] = w.FLAG[k];
  std::memcpy(e.what == Varied::kCurvature ? s.C : s.D, w.T, sizeof w.T);
  if (e.what == Varied::kDistance)
    for (int k = 0; k <= s.NUMB - 1; ++k) s.ZV[k] = w.ZV[k];
}

}  // namespace

bool fast_path_applies(const State& s, Varied what, int n, const double* p) {
  const double* T = what == Varied::kCurvature ? s.C : s.D;
  if (s.NUMB < 1 || s.NUMB > kMaxSurfaces) return false;
  if (s.NW > kMaxWavelengths || s.NRAY > kMaxRays || n > kMaxSurfaces) return false;
  const auto at = [](const double* a) { return reinterpret_cast<std::uintptr_t>(a); };
  if (at(p + kSurfaceSlots) > at(T) && at(p) < at(T + kSurfaceSlots)) return false;
  return retrace_enabled() || parallel::thread_count() > 1;
}

void fast_rays(State& s, Varied what, int n, const int* iv, const double* p, double& S) {
  const int rays = s.NRAY > 0 ? s.NRAY : 0;
  const int tasks = s.NW > 0 ? s.NW * rays : 0;
  const Evaluation e{&s, what, n, iv, p, retrace_enabled()};
  parallel::run_tasks(tasks, trace_task, const_cast<Evaluation*>(&e));
  for (int t = 0; t < tasks; ++t)
    if (contribution_of[t].counts) add_contribution(s, S, s.WQ[t / rays + 1], n, contribution_of[t]);
  leave_state(s, e, tasks);
}

}  // namespace lumaveil
