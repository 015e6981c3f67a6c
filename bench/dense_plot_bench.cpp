// A dense spot grid end to end, through the host program as a user runs it:
// mode 1 of the Cooke triplet with NS = 400 steps from centre to rim
// (502,625 spot rays per wavelength, three wavelengths), then `plot` and
// `export` of that report. The plot should take no longer than mode 1
// itself and write a few megabytes of SVG at most; the counters give the
// bytes written.
//
//   build/bench/dense_plot_bench --benchmark_min_time=1x
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path& scratch() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("lumaveil-dense-" + std::to_string(::getpid()));
    fs::create_directories(d);
    std::ifstream in(std::string(LUMAVEIL_EXAMPLES_DIR) + "/cooke_triplet/IN_FM.txt",
                     std::ios::binary);
    std::stringstream lens;
    lens << in.rdbuf();
    std::string text = lens.str();
    // Line 3: the steps from centre to rim.
    const std::string key = "steps from centre to rim (NS)\t";
    const std::size_t at = text.find(key) + key.size();
    text.replace(at, text.find('\n', at) - at, "400");
    std::ofstream(d / "IN_FM.txt", std::ios::binary) << text;
    return d;
  }();
  return dir;
}

void run(benchmark::State& state, const std::string& arguments) {
  const std::string command =
      std::string(LUMAVEIL_HOST) + " --quiet -C " + scratch().string() + " " + arguments;
  for (auto _ : state) {
    int raw = std::system(command.c_str());
    if (!WIFEXITED(raw) || WEXITSTATUS(raw) != 0)
      state.SkipWithError(("failed: " + command).c_str());
  }
}

std::uintmax_t bytes_in(const fs::path& dir, const std::string& extension) {
  std::uintmax_t total = 0;
  if (!fs::exists(dir)) return 0;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == extension) total += entry.file_size();
  return total;
}

void Mode1(benchmark::State& state) {
  run(state, "1");
  state.counters["report_MB"] = static_cast<double>(fs::file_size(scratch() / "OUT_M.xls")) / 1e6;
}

void Plot(benchmark::State& state) {
  if (!fs::exists(scratch() / "OUT_M.xls")) run(state, "1");
  run(state, "plot -o plots");
  state.counters["svg_MB"] = static_cast<double>(bytes_in(scratch() / "plots", ".svg")) / 1e6;
}

void Export(benchmark::State& state) {
  run(state, "export");
  state.counters["xlsx_MB"] = static_cast<double>(bytes_in(scratch(), ".xlsx")) / 1e6;
}

BENCHMARK(Mode1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Plot)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Export)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(scratch());
  return 0;
}
