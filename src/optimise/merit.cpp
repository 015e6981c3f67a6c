#include "optimise/merit.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/codes.h"
#include "optimise/solve_linear.h"
#include "parallel/pool.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// The surface whose entry of p gives surface k its value: k itself for a
// 'V' surface, the companion for a 'P' or 'M' surface, -1 for a surface that
// is not varied.
int value_source(const State& s, int k) {
  const char code = s.CODE[k][0];
  if (code == 'V') return k;
  if (code == 'P' || code == 'M') {
    const int g = s.LINK[k];
    if (g >= 0 && g <= kMaxSurfaces) return g;
  }
  return -1;
}

// The value surface k takes when its variable stands at `value`.
double tied_value(const State& s, int k, double value) {
  return s.CODE[k][0] == 'M' ? -value : value;
}

// Gives every variable and tied surface its value from p.
void set_variables(const State& s, double* T, const double* p) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0) T[k] = tied_value(s, k, p[g]);
  }
}

// Moves variable m to its value from p plus delta; the surfaces tied to it
// follow. Every other surface keeps what T holds.
void offset_variable(const State& s, double* T, const int* iv, const double* p, int m,
                     double delta) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0 && iv[g] == m) T[k] = tied_value(s, k, p[g] + delta);
  }
}

struct RayValues {
  double x, y, u, v;
};

RayValues traced_values(State& s, Varied what) {
  if (what == Varied::kDistance) vertex_positions(s, s.D);
  trace_ray(s);
  const int last = evaluated_surface(s);
  return {s.X[last], s.Y[last], s.U[last], s.V[last]};
}

// What one ray at one wavelength adds to the evaluation: its four weighted
// residuals and the central differences of its raw values, one per variable.
struct RayContribution {
  bool counts;  // false for a ray whose start values are all zero
  int worker;   // the worker that traced it
  double rX, rY, rU, rV;
  double SPX[kSurfaceSlots], SPY[kSurfaceSlots], SPU[kSurfaceSlots], SPV[kSurfaceSlots];
};

// Adds one ray's contribution to the normal equations and the sums.
void add_contribution(State& s, double& S, double w, int n, const RayContribution& c) {
  const double rX = c.rX, rY = c.rY, rU = c.rU, rV = c.rV;
  const double* SPX = c.SPX;
  const double* SPY = c.SPY;
  const double* SPU = c.SPU;
  const double* SPV = c.SPV;

  // Normal equations.
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j)
      s.AA[i][j] = s.AA[i][j] + (SPX[j - 1] * SPX[i - 1] + SPY[j - 1] * SPY[i - 1] +
                                 SPU[j - 1] * SPU[i - 1] + SPV[j - 1] * SPV[i - 1]) * w;
    s.BB[i] = s.BB[i] - (rX * SPX[i - 1] + rY * SPY[i - 1] + rU * SPU[i - 1] +
                         rV * SPV[i - 1]) * w;
  }

  // Statistics: weighted merit and count, unweighted residual sums.
  s.SW = s.SW + w;
  S = S + (rX * rX + rY * rY + rU * rU + rV * rV) * w;
  s.SDX = s.SDX + rX;
  s.SDX2 = s.SDX2 + rX * rX;
  s.SDY = s.SDY + rY;
  s.SDY2 = s.SDY2 + rY * rY;
}

bool starts_at_zero(const State& s, int r) {
  return s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0;
}

// The residuals of the values at the last surface against ray r's targets.
void set_residuals(const State& s, int r, const RayValues& at, RayContribution& c) {
  c.rX = (at.x - s.XT[r]) * s.WXY;
  c.rY = (at.y - s.YT[r]) * s.WXY;
  c.rU = (at.u - s.UT[r]) * s.WUV;
  c.rV = (at.v - s.VT[r]) * s.WUV;
}

void set_differences(int m, double h, const RayValues& minus, const RayValues& plus,
                     RayContribution& c) {
  c.SPX[m] = (plus.x - minus.x) / (2 * h);
  c.SPY[m] = (plus.y - minus.y) / (2 * h);
  c.SPU[m] = (plus.u - minus.u) / (2 * h);
  c.SPV[m] = (plus.v - minus.v) / (2 * h);
}

// The plain evaluation: every trace of every ray runs through all surfaces
// on the state block itself.
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

// ---------------------------------------------------------------------------
// The fast evaluation. Each (wavelength, ray) pair is a task with its own
// copy of the ray arrays, of the varied array and of the vertex positions,
// the lens data shared; the tasks run on the worker threads and their
// contributions are then added in the order of the plain evaluation, so
// every sum sees the same terms in the same order.
//
// A derivative trace repeats, bit for bit, every step whose inputs equal
// those of the trace at p: the steps before the first surface whose entry of
// the varied array differs from the one at p (for distances, before the
// first changed D, from which on the vertex positions move too). Those steps
// are taken from the trace at p and only the rest is traced.

bool retrace_enabled_by_default() {
  const char* text = std::getenv("LUMAVEIL_RETRACE");
  return !(text != nullptr && std::strcmp(text, "0") == 0);
}

std::atomic<int> retrace_override{-1};

bool retrace_enabled() {
  const int forced = retrace_override.load(std::memory_order_relaxed);
  if (forced >= 0) return forced == 1;
  static const bool from_environment = retrace_enabled_by_default();
  return from_environment;
}

// One trace's arrays: the ray at each surface, the varied array as the
// trace sees it and, for distances, the vertex positions.
struct RayLane : RayArrays {
  double T[kSurfaceSlots];
  double ZV[kSurfaceSlots];
  int agrees;  // entries 0..agrees of the ray arrays (0..agrees-1 of FLAG) equal the base
};

// One worker's arrays: two lanes, for the -h and the +h trace of a
// derivative (lane 0 also traces at p), and the trace at p.
struct RayWork {
  RayLane lane[2];
  double baseX[kSurfaceSlots], baseY[kSurfaceSlots], baseZ[kSurfaceSlots];
  double baseU[kSurfaceSlots], baseV[kSurfaceSlots];
  int baseFLAG[kSurfaceSlots];
  double baseT[kSurfaceSlots];  // the varied array at the values of p
  double N[kSurfaceSlots];      // the indices of the task's wavelength
};

// One evaluation as the tasks see it: read only while they run.
struct Evaluation {
  const State* s;
  Varied what;
  int n;
  const int* iv;
  const double* p;
  bool retrace;
};

RayWork work_of[parallel::kMaxThreads];
RayContribution contribution_of[kMaxWavelengths * kMaxRays];

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

// Readies a lane to be traced from step `first`: its vertex positions, and
// the base values that its last trace overwrote before `first`. Returns the
// surfaces the lane's trace reads.
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

// The lane's trace becomes the base: the trace at p.
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

// The -h and +h traces of variable m, side by side.
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

// The fast evaluation keeps to what it can reproduce exactly: a lens with
// surfaces, counts within the arrays, and values p that are not the varied
// array itself (the plain evaluation then reads back what it writes).
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

}  // namespace

void set_merit_retrace(int mode) { retrace_override.store(mode < 0 ? -1 : (mode ? 1 : 0)); }

void merit(State& s, Varied what, int n, const int* iv, const double* p) {
  double S = 0;
  s.SW = 0;
  s.SDX = 0;
  s.SDX2 = 0;
  s.SDY = 0;
  s.SDY2 = 0;
  s.NEQ = n;
  for (int i = 0; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) s.AA[i][j] = 0;
    s.BB[i] = 0;
  }

  if (fast_path_applies(s, what, n, p))
    fast_rays(s, what, n, iv, p, S);
  else
    plain_rays(s, what, n, iv, p, S);

  solve_linear(s);

  s.E = std::sqrt(S / s.SW);
  s.Xa = s.SDX / s.SW;
  s.Xs = std::sqrt((s.SDX2 - s.SDX * s.SDX / s.SW) / (s.SW - 1));
  s.Ya = s.SDY / s.SW;
  s.Ys = std::sqrt((s.SDY2 - s.SDY * s.SDY / s.SW) / (s.SW - 1));
}

void add_correction(const State& s, double* ar) {
  int v = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    if (is_variable(s, k)) {
      ar[k] = ar[k] + 1.0 * s.DX[v];
      ++v;
    }
  }
}

}  // namespace lumaveil
