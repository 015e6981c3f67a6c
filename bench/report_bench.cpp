// Cost of the reports of modes 1 and 4 and of the number formatter.
//
// Mode1 and Mode4 are whole calls (reading IN_FM.txt, tracing, writing
// OUT_M.xls into a scratch folder) on the Cooke triplet of examples/ with its
// grid steps NS set to 100 and 400, on 1 and 2 threads. The column
// ns_per_ray is wall time per traced grid or scan ray.
//
// Format/<conversion>/<path> prints one number: `exact` through the standard
// library's conversion alone (std::to_chars, as every report was printed
// before the integer routines), `fast` through format_number as the reports
// now print. After the runs the program prints exact / fast per conversion,
// in processor time. Format/spot_row is one row of mode 1's spot diagram
// through its parsed format, Format/spot_row_text the same row written in
// place (report/row_text.h), the path the spot diagram's batches now take.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "entry/entry.h"
#include "parallel/pool.h"
#include "report/format.h"
#include "report/literals.h"
#include "report/row_text.h"
#include "report/trace_and_spot.h"

namespace lumaveil {
namespace {

namespace fs = std::filesystem;

// The Cooke triplet with NS replaced (line 3, column 2 of IN_FM.txt), in a
// folder of its own made once per run of the program.
fs::path triplet_with_steps(int steps) {
  static const fs::path root = [] {
    std::string dir = (fs::temp_directory_path() / "lumaveil-report-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    return fs::path(dir);
  }();
  const fs::path folder = root / ("ns" + std::to_string(steps));
  if (fs::exists(folder / "IN_FM.txt")) return folder;
  fs::create_directories(folder);
  std::ifstream in(fs::path(LUMAVEIL_EXAMPLES_DIR) / "cooke_triplet" / "IN_FM.txt", std::ios::binary);
  std::ofstream out(folder / "IN_FM.txt", std::ios::binary);
  std::string line;
  for (int index = 0; std::getline(in, line); ++index) {
    if (index == 3) {
      std::vector<std::string> cells;
      std::stringstream row(line);
      for (std::string cell; std::getline(row, cell, '\t');) cells.push_back(cell);
      cells.resize(cells.size() > 3 ? cells.size() : 3);
      cells[2] = std::to_string(steps);
      line.clear();
      for (std::size_t c = 0; c < cells.size(); ++c) line += (c > 0 ? "\t" : "") + cells[c];
    }
    out << line << '\n';
  }
  return folder;
}

// Rays one call traces in its grids or scans.
long long rays_of(const State& s, int mode) {
  if (mode == 1) return s.NW * spot_count(s.NS);
  return s.NW * 2LL * (2LL * s.NS + 1);
}

void ModeRun(benchmark::State& bench, int mode, int steps, int threads) {
  fs::current_path(triplet_with_steps(steps));
  auto s = std::make_unique<State>();
  run_call(*s, 0);
  const long long rays = rays_of(*s, mode);
  parallel::set_thread_count(threads);
  for (auto _ : bench) {
    run_call(*s, mode);
    benchmark::DoNotOptimize(s->X[1]);
  }
  parallel::set_thread_count(0);
  bench.counters["ns_per_ray"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * static_cast<double>(rays),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Numbers as the reports show them: coordinates and angles of a few units
// for %f, and for %E and %G values over many decades with either sign.
const std::vector<double>& report_numbers(char kind) {
  static std::map<char, std::vector<double>> tables;
  std::vector<double>& v = tables[kind];
  if (!v.empty()) return v;
  std::mt19937_64 rng(2026);
  std::uniform_real_distribution<double> unit(-1.0, 1.0), decades(-8.0, 4.0);
  for (int i = 0; i < 4096; ++i)
    v.push_back(kind == 'f' ? 50 * unit(rng) : unit(rng) * std::pow(10.0, decades(rng)));
  return v;
}

// Nanoseconds per number of each benchmark, for the ratios.
std::map<std::string, double>& ns_of() {
  static std::map<std::string, double> m;
  return m;
}

void FormatNumber(benchmark::State& bench, char kind, bool fast) {
  const std::vector<double>& values = report_numbers(kind);
  char out[kNumberBytes];
  std::size_t i = 0;
  long long count = 0;
  const std::clock_t start = std::clock();
  for (auto _ : bench) {
    const double v = values[i++ & 4095];
    const int n = fast ? format_number(out, kind, 6, v) : format_number_exact(out, kind, 6, v);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(out[0]);
    ++count;
  }
  // Processor time, which a loaded machine disturbs less than wall time.
  const double took = 1e9 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  ns_of()[std::string(1, kind) + (fast ? "/fast" : "/exact")] = took / static_cast<double>(count);
}

// A spot-diagram row ("%d" and four "%10.6f") through the parsed row
// format, as mode 1 writes each of its grid's rays, into a sink that keeps
// only the byte count.
void FormatSpotRow(benchmark::State& bench) {
  struct CountingSink final : FormatSink {
    void append(const char*, int length) override { bytes += length; }
    long long bytes = 0;
  };
  static constexpr ParsedFormat kRow{literals::kSpotRow};
  const std::vector<double>& values = report_numbers('f');
  CountingSink sink;
  std::size_t i = 0;
  for (auto _ : bench) {
    const double* v = &values[i & 4092];
    format_to(sink, kRow, {static_cast<int>(i & 0xFFFF), v[0] / 500, v[1] / 500, v[2] / 5000, v[3] / 5000});
    i += 4;
  }
  benchmark::DoNotOptimize(sink.bytes);
  bench.SetItemsProcessed(static_cast<long long>(bench.iterations()));
}

// The same rows written in place by spot_row_text, as the spot diagram's
// batches now write them.
void SpotRowText(benchmark::State& bench) {
  const std::vector<double>& values = report_numbers('f');
  char out[kSpotRowBytes];
  long long bytes = 0;
  std::size_t i = 0;
  for (auto _ : bench) {
    const double* v = &values[i & 4092];
    bytes += spot_row_text(out, static_cast<long long>(i & 0xFFFF), v[0] / 500, v[1] / 500,
                           v[2] / 5000, v[3] / 5000);
    benchmark::DoNotOptimize(out[0]);
    i += 4;
  }
  benchmark::DoNotOptimize(bytes);
  bench.SetItemsProcessed(static_cast<long long>(bench.iterations()));
}

void register_all() {
  for (int mode : {1, 4})
    for (int steps : {100, 400})
      for (int threads : {1, 2}) {
        const std::string name = "Mode" + std::to_string(mode) + "/NS" + std::to_string(steps) +
                                 "/threads" + std::to_string(threads);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) {
          ModeRun(st, mode, steps, threads);
        })->Unit(benchmark::kMillisecond)->UseRealTime();
      }
  for (char kind : {'f', 'E', 'G'})
    for (bool fast : {false, true}) {
      const std::string name = std::string("Format/%") + kind + (fast ? "/fast" : "/exact");
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { FormatNumber(st, kind, fast); });
    }
  benchmark::RegisterBenchmark("Format/spot_row", FormatSpotRow);
  benchmark::RegisterBenchmark("Format/spot_row_text", SpotRowText);
}

void print_ratios() {
  std::printf("\nformatter, processor ns per number: exact / fast\n");
  for (char kind : {'f', 'E', 'G'}) {
    const std::string k(1, kind);
    const auto exact = ns_of().find(k + "/exact"), fast = ns_of().find(k + "/fast");
    if (exact == ns_of().end() || fast == ns_of().end()) continue;
    std::printf("  %%%c  %7.1f / %6.1f = %5.2fx\n", kind, exact->second, fast->second,
                exact->second / fast->second);
  }
}

}  // namespace
}  // namespace lumaveil

int main(int argc, char** argv) {
  lumaveil::register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  lumaveil::print_ratios();
  return 0;
}
