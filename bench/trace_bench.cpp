// Cost of the exact ray trace per ray-surface, against the floor set by the
// mathematical library.
//
// A refracting sphere step cannot be cheaper than its fifteen libm calls
// (tan, tan, sqrt, sqrt, acos, sin, cos, asin, sin, cos, tan, sqrt, sqrt,
// atan, atan). The Trace benchmarks time whole rays through a Cooke triplet
// and through a 100-surface stack and report nanoseconds per surface; the
// Floor benchmarks time those fifteen calls alone, per step, once with
// independent arguments (the calls may overlap in the processor) and once
// with the data dependencies they have in the trace.
// After the runs the program prints trace / floor.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

constexpr int kRays = 64;  // start rays cycled through, so no result is constant

// A value in [lo, hi) that varies with i without any pattern a compiler could use.
double spread(int i, int salt, double lo, double hi) {
  unsigned h = static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(salt) * 40503u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return lo + (hi - lo) * (h % 100000) / 100000.0;
}

// The Cooke triplet: curvature, distance to the next surface, index after (587.6 nm).
std::unique_ptr<State> cooke_triplet() {
  const double rows[9][3] = {{0, 10, 1.0},
                             {1 / 22.01359, 3.25896, 1.62041},
                             {1 / -435.76044, 6.00755, 1.0},
                             {1 / -22.21328, 0.99997, 1.62004},
                             {1 / 20.29192, 4.75041, 1.0},
                             {1 / 79.68360, 2.95208, 1.62041},
                             {1 / -18.39533, 42.20778, 1.0},
                             {0, 1, 1.0},
                             {0, 0, 1.0}};
  auto s = std::make_unique<State>();
  s->NUMB = 8;
  for (int k = 0; k <= 8; ++k) s->C[k] = rows[k][0], s->D[k] = rows[k][1], s->N[0][k] = rows[k][2];
  return s;
}

// 100 surfaces: fifty weak meniscus lenses, alternately positive and
// negative, 2 mm glass and 3 mm air; surface 100 is a plane.
std::unique_ptr<State> hundred_surfaces() {
  auto s = std::make_unique<State>();
  s->NUMB = 100;
  s->D[0] = 10;
  s->N[0][0] = 1;
  for (int k = 1; k <= 100; ++k) {
    int lens = (k - 1) / 2;
    bool front = k % 2 == 1;
    double c1 = lens % 2 == 0 ? 0.012 : 0.010, c2 = lens % 2 == 0 ? 0.010 : 0.012;
    s->C[k] = k == 100 ? 0 : (front ? c1 : c2);
    s->D[k] = front ? 2 : 3;
    s->N[0][k] = front ? 1.52 : 1.0;
  }
  return s;
}

// The table of start rays near height `height`.
struct StartRays {
  double x[kRays], y[kRays], u[kRays], v[kRays];
  explicit StartRays(double height) {
    for (int r = 0; r < kRays; ++r) {
      x[r] = spread(r, 1, 0.2, 1) * height;
      y[r] = spread(r, 2, -0.5, 0.5) * height;
      u[r] = spread(r, 3, -0.03, 0.03);
      v[r] = spread(r, 4, -0.03, 0.03);
    }
  }
  void set(State& s, int r) const { s.X[0] = x[r], s.Y[0] = y[r], s.U[0] = u[r], s.V[0] = v[r]; }
};

// Times whole traces of rays near height `height`; reports time per surface.
void run_trace(benchmark::State& bench, State& s, double height) {
  vertex_positions(s, s.D);
  const StartRays starts(height);
  for (int r = 0; r < kRays; ++r) {
    starts.set(s, r);
    trace_ray(s);
    if (!std::isfinite(s.X[s.NUMB] + s.Y[s.NUMB] + s.U[s.NUMB] + s.V[s.NUMB])) {
      bench.SkipWithError("a start ray does not pass the system");
      return;
    }
  }
  int r = 0;
  for (auto _ : bench) {
    starts.set(s, r);
    trace_ray(s);
    benchmark::DoNotOptimize(s.X[s.NUMB - 1]);
    benchmark::DoNotOptimize(s.U[s.NUMB - 1]);
    benchmark::ClobberMemory();
    r = (r + 1) % kRays;
  }
  bench.counters["per_surface"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * s.NUMB,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The same rays two at a time, side by side (as the merit traces the -h and
// +h rays of a derivative); reports time per ray-surface.
void run_pair_trace(benchmark::State& bench, State& s, double height) {
  vertex_positions(s, s.D);
  auto second = std::make_unique<State>(s);
  const StartRays starts(height);
  State& t = *second;
  int r = 0;
  for (auto _ : bench) {
    starts.set(s, r);
    starts.set(t, (r + 1) % kRays);
    trace_steps_side_by_side(surfaces_of(s), ray_of(s), 0, surfaces_of(t), ray_of(t), 0);
    benchmark::DoNotOptimize(s.X[s.NUMB - 1]);
    benchmark::DoNotOptimize(t.X[t.NUMB - 1]);
    benchmark::ClobberMemory();
    r = (r + 2) % kRays;
  }
  bench.counters["per_surface"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * s.NUMB * 2,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Trace_CookeTriplet(benchmark::State& bench) {
  static auto s = cooke_triplet();
  run_trace(bench, *s, 5);
}

void Trace_HundredSurfaces(benchmark::State& bench) {
  static auto s = hundred_surfaces();
  run_trace(bench, *s, 5);
}

void Pair_HundredSurfaces(benchmark::State& bench) {
  static auto s = hundred_surfaces();
  run_pair_trace(bench, *s, 5);
}

// Arguments of the fifteen calls of one refracting sphere step, in the
// ranges a traced ray produces: angles of a few degrees, a discriminant of a
// radius-50 sphere, a cosine of incidence near 1.
struct StepArgs {
  double u, v, disc, qa, g, I, ratio, r, half, hh, ww, ex, ey;
};

StepArgs step_args(int i) {
  return {spread(i, 5, -0.2, 0.2),  spread(i, 6, -0.2, 0.2),   spread(i, 7, 1e3, 1e4),
          spread(i, 8, 1.0, 1.08),  spread(i, 9, 0.9, 1.0),    spread(i, 10, 0.0, 0.45),
          spread(i, 11, 0.1, 0.6),  spread(i, 12, 0.0, 0.3),   spread(i, 13, 0.0, 0.4),
          spread(i, 14, 1e-4, 1e-2), spread(i, 15, 1e-3, 0.3), spread(i, 16, -0.2, 0.2),
          spread(i, 17, -0.2, 0.2)};
}

// The fifteen calls of a step, each on an argument from the table. With
// `dependent`, each argument also waits for the results it is computed from
// in trace_sphere (tan U -> root, |d| -> acos -> sin, cos -> asin -> sin, cos,
// tan -> h, |w| -> atan -> the next step's tan), tied by `+ 0 * result`,
// which the compiler may not fold (0 * inf is not 0): one multiply and one
// add per link. Without it the calls may overlap freely in the processor.
template <bool dependent>
void Floor(benchmark::State& bench) {
  StepArgs args[kRays];
  for (int r = 0; r < kRays; ++r) args[r] = step_args(r);
  auto tie = [](double x, double on) { return dependent ? x + 0 * on : x; };
  double au = 0, av = 0;  // the atan results of the previous step
  int r = 0;
  for (auto _ : bench) {
    const StepArgs& a = args[r];
    double tu = std::tan(tie(a.u, au)), tv = std::tan(tie(a.v, av));
    double root = std::sqrt(tie(a.disc, tu + tv)), len = std::sqrt(tie(a.qa, tu + tv));
    double I = std::acos(tie(a.g, root + len));
    double sI = std::sin(tie(a.I, I)), cI = std::cos(tie(a.I, I));
    double rr = std::asin(tie(a.ratio, sI + cI));
    double sR = std::sin(tie(a.r, rr)), cR = std::cos(tie(a.r, rr));
    double tk = std::tan(tie(a.half, rr));
    double h = std::sqrt(tie(a.hh, sR + cR)), w = std::sqrt(tie(a.ww, tk));
    au = std::atan(tie(a.ex, h + w));
    av = std::atan(tie(a.ey, h + w));
    for (double value : {tu, tv, root, len, I, sI, cI, rr, sR, cR, tk, h, w, au, av})
      benchmark::DoNotOptimize(value);
    r = (r + 1) % kRays;
  }
  bench.counters["per_surface"] = benchmark::Counter(
      static_cast<double>(bench.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(Trace_CookeTriplet);
BENCHMARK(Trace_HundredSurfaces);
BENCHMARK(Pair_HundredSurfaces);
BENCHMARK(Floor<false>)->Name("Floor_IndependentCalls");
BENCHMARK(Floor<true>)->Name("Floor_TraceDependencies");

// The console output, keeping each benchmark's time per surface for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto it = run.counters.find("per_surface");
      if (run.error_occurred || it == run.counters.end()) continue;
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
        ns[run.run_name.function_name] = it->second.value * 1e9;
    }
  }
  std::map<std::string, double> ns;
};

}  // namespace
}  // namespace lumaveil

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  lumaveil::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto& ns = reporter.ns;
  for (const char* trace : {"Trace_CookeTriplet", "Trace_HundredSurfaces", "Pair_HundredSurfaces"}) {
    for (const char* floor : {"Floor_IndependentCalls", "Floor_TraceDependencies"}) {
      if (ns.count(trace) && ns.count(floor))
        std::printf("%-22s / %-22s = %.2f  (%.1f ns / %.1f ns per surface)\n", trace, floor,
                    ns[trace] / ns[floor], ns[trace], ns[floor]);
    }
  }
  if (ns.count("Trace_HundredSurfaces") && ns.count("Pair_HundredSurfaces"))
    std::printf("one ray at a time / two side by side = %.2f\n",
                ns["Trace_HundredSurfaces"] / ns["Pair_HundredSurfaces"]);
  return 0;
}
