// Cost of the merit evaluation and of whole optimising modes, on three lens
// sizes, along the plain path (every ray traced 1 + 2n times through every
// surface, one thread) and the fast one (derivatives retraced from their
// first changed surface; one thread, then all threads).
//
// Cases: the Cooke triplet and the Double Gauss of examples/, and a
// generated lens of 60 surfaces, 10 wavelengths, 50 rays and 30 curvature
// variables. The column ns_per_step is the time per ray-surface step that the
// plain path traces (the same count on every path, so the columns compare
// directly). After the runs the program prints each fast path's speed-up
// against the plain path.
//
//   merit_bench --write-case DIR SURFACES WAVELENGTHS RAYS VARIABLES
// writes a generated lens (IN_FM.txt, IN_FM2.txt) into DIR and exits; the
// timings of whole calls through the host are taken on such a folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "entry/entry.h"
#include "model/ray_set.h"
#include "optimise/merit.h"
#include "parallel/pool.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

namespace fs = std::filesystem;
using testing::LensFile;
using testing::Ray;
using testing::RaySetFile;
using testing::Surface;

// A lens of weak elements, glass and air in turn, with `variables`
// curvature variables spread over it; its rays start on a fan and a field
// bundle and aim at where the lens sends them at the middle wavelength.
void write_generated_case(const fs::path& dir, int surfaces, int wavelengths, int rays,
                          int variables) {
  fs::create_directories(dir);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  LensFile lens;
  lens.RH = 3;
  lens.wavelengths.clear();
  lens.weights.clear();
  for (int q = 0; q < wavelengths; ++q) {
    lens.wavelengths.push_back(450 + 25.0 * q);
    lens.weights.push_back(q == wavelengths / 2 ? 1.0 : 0.5);
  }
  lens.nd1 = surfaces / 6;
  lens.nd2 = 2 * surfaces / 3;
  for (int k = 0; k <= surfaces; ++k) {
    // Weak meniscus lenses, alternately converging and diverging.
    Surface f;
    const bool glass = k % 2 == 1;
    const int element = (k - 1) / 2;
    const double c1 = element % 2 == 0 ? 0.012 : 0.010, c2 = element % 2 == 0 ? 0.010 : 0.012;
    f.D = k == 0 ? 10 : glass ? 2 : 3;
    f.C = k == 0 || k == surfaces ? 0 : glass ? c1 : c2;
    for (int q = 0; q < wavelengths; ++q)
      f.n.push_back(glass ? 1.52 + 0.0002 * (wavelengths - q) : 1.0);
    lens.surfaces.push_back(f);
  }
  for (int v = 0; v < variables; ++v) lens.surfaces[1 + v * (surfaces - 2) / variables].code.assign(1, 'V');
  lens.write();

  // The targets: where the lens itself sends the rays at the middle
  // wavelength. The variables of such a stack act much alike, so the
  // optimisation stays finite only near its solution.
  auto s = std::make_unique<State>();
  run_call(*s, 0);  // reads the lens only
  for (int k = 0; k <= s->NUMB; ++k) s->N[0][k] = s->N[wavelengths / 2 + 1][k];
  vertex_positions(*s, s->D);
  RaySetFile set;
  set.NIT = 2, set.NITC = 1, set.NITD = 0, set.HD = 0.1;
  for (int r = 0; r < rays; ++r) {
    Ray y;
    const bool field = r % 2 == 1;
    y.X = -3 + 6.0 * (r / 2) / (rays / 2 > 1 ? rays / 2 - 1 : 1) + (field ? 0.5 : 0);
    y.Y = field ? 0.3 : 0;
    y.U = field ? 0.02 : 0;
    if (y.X == 0 && y.U == 0) y.X = 0.1;
    s->X[0] = y.X, s->Y[0] = y.Y, s->U[0] = y.U, s->V[0] = 0;
    trace_ray(*s);
    const int last = evaluated_surface(*s);
    y.XT = s->X[last], y.YT = s->Y[last], y.UT = s->U[last], y.VT = s->V[last];
    set.rays.push_back(y);
  }
  set.write();
  fs::current_path(previous);
}

// A folder of inputs for each case, made once per run of the program.
fs::path case_folder(const std::string& name) {
  static const fs::path root = [] {
    std::string dir = (fs::temp_directory_path() / "lumaveil-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    return fs::path(dir);
  }();
  const fs::path folder = root / name;
  if (fs::exists(folder / "IN_FM.txt")) return folder;
  if (name == "generated") {
    write_generated_case(folder, 60, 10, 50, 30);
  } else {
    fs::create_directories(folder);
    for (const char* file : {"IN_FM.txt", "IN_FM2.txt"})
      fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / name / file, folder / file);
  }
  return folder;
}

struct Path {
  const char* name;
  int retrace;
  int threads;  // 0: all
};

constexpr Path kPaths[] = {{"plain", 0, 1}, {"retrace", 1, 1}, {"retrace_threads", 1, 0}};
const char* const kCases[] = {"cooke_triplet", "double_gauss", "generated"};

// Seconds per iteration of each benchmark, for the speed-ups.
std::map<std::string, double>& seconds_of() {
  static std::map<std::string, double> m;
  return m;
}

void use_path(const Path& path) {
  set_merit_retrace(path.retrace);
  const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
  parallel::set_thread_count(path.threads > 0 ? path.threads : cpus > 0 ? static_cast<int>(cpus) : 1);
}

// Merit evaluations a mode runs, read from its ray set and lens.
long long evaluations(const State& s, int mode) {
  const long long passes = s.NITD + 1;
  switch (mode) {
    case 2: case 3: return s.NIT;
    case 5: return passes * 5 * s.NITC;
    case 6: return passes * 25 * s.NITC;
    default: return 1;
  }
}

// Ray-surface steps of one plain evaluation.
long long plain_steps(const State& s) {
  long long rays = 0;
  for (int r = 0; r < s.NRAY; ++r)
    if (!(s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0)) ++rays;
  return rays * s.NW * (1 + 2LL * s.NV) * s.NUMB;
}

void finish(benchmark::State& bench, const std::string& key, long long steps, double seconds) {
  bench.counters["ns_per_step"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * static_cast<double>(steps),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  seconds_of()[key] = seconds / static_cast<double>(bench.iterations());
  set_merit_retrace(-1);
  parallel::set_thread_count(0);
}

// One merit evaluation at the lens's own curvatures.
void Merit(benchmark::State& bench, const char* name, Path path) {
  const fs::path folder = case_folder(name);
  fs::current_path(folder);
  auto s = std::make_unique<State>();
  run_call(*s, 0);
  read_ray_set(*s);
  vertex_positions(*s, s->D);
  double p[kSurfaceSlots];
  std::memcpy(p, s->C, sizeof p);
  use_path(path);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : bench) {
    merit_curvature(*s, s->NV, s->IV, p);
    benchmark::DoNotOptimize(s->E);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  finish(bench, std::string("Merit/") + name + "/" + path.name, plain_steps(*s), took.count());
}

// One whole call of a mode: reading the files, optimising, writing the report.
void Mode(benchmark::State& bench, int mode, const char* name, Path path) {
  const fs::path folder = case_folder(name);
  fs::current_path(folder);
  auto s = std::make_unique<State>();
  run_call(*s, 0);
  read_ray_set(*s);
  const long long steps = plain_steps(*s) * evaluations(*s, mode);
  use_path(path);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : bench) {
    run_call(*s, mode);
    benchmark::DoNotOptimize(s->E);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  finish(bench, "Mode" + std::to_string(mode) + "/" + name + "/" + path.name, steps, took.count());
}

void register_all() {
  for (const char* name : kCases) {
    const bool large = std::strcmp(name, "generated") == 0;
    for (const Path& path : kPaths) {
      auto* b = benchmark::RegisterBenchmark(
          (std::string("Merit/") + name + "/" + path.name).c_str(),
          [=](benchmark::State& st) { Merit(st, name, path); });
      b->Unit(benchmark::kMillisecond)->UseRealTime();
      if (large) b->Iterations(3);
    }
    for (int mode : {2, 3, 5, 6})
      for (const Path& path : kPaths) {
        auto* b = benchmark::RegisterBenchmark(
            ("Mode" + std::to_string(mode) + "/" + name + "/" + path.name).c_str(),
            [=](benchmark::State& st) { Mode(st, mode, name, path); });
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        if (large) b->Iterations(1);
      }
  }
}

void print_speed_ups() {
  const auto& m = seconds_of();
  std::printf("\nspeed-up against the plain path (wall time per iteration):\n");
  for (const auto& [key, seconds] : m) {
    const std::size_t slash = key.rfind('/');
    const std::string base = key.substr(0, slash);
    if (key.substr(slash + 1) == "plain") continue;
    const auto plain = m.find(base + "/plain");
    if (plain == m.end()) continue;
    std::printf("  %-40s %6.2fx\n", key.c_str(), plain->second / seconds);
  }
}

}  // namespace
}  // namespace lumaveil

int main(int argc, char** argv) {
  if (argc == 7 && std::strcmp(argv[1], "--write-case") == 0) {
    lumaveil::write_generated_case(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                                   std::atoi(argv[5]), std::atoi(argv[6]));
    return 0;
  }
  lumaveil::register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  lumaveil::print_speed_ups();
  return 0;
}
