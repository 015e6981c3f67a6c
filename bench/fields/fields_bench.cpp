// The field analysis of `lumaveil fields` on the Double Gauss (F/2,
// f = 100): three fields (0, 10, 14 degrees) at three wavelengths (F, d, C),
// stop at the diaphragm. Each field and wavelength aims its chief ray,
// traces the 81-ray spot, two aimed fans of 21 rays, the pencil foci and
// the rim rays.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "cli/fields/analysis.h"
#include "model/input_grid.h"
#include "model/lens_data.h"

namespace {

using namespace lumaveil;

constexpr double kDegree = 3.14159265358979323846 / 180;

// The design of examples/double_gauss with three wavelengths: each glass's
// d index from the example, F and C from an Abbe number.
std::string double_gauss_three_wavelengths() {
  const double r[] = {56.20238, 152.28580, 37.68262, 0, 24.23130, 0, -28.37731, 0, -37.92546,
                      177.41176, -79.41143};
  const double d[] = {8.75, 0.5, 12.5, 3.8, 16.369445, 13.747957, 3.8, 11.0, 0.5, 7.0, 61.487536};
  const double n[] = {1.6222915, 1, 1.6073789, 1.6034172, 1, 1, 1.6034172, 1.6204079, 1, 1.6204079, 1};
  const double abbe[] = {56, 0, 59, 38, 0, 0, 38, 60, 0, 60, 0};
  std::string text = "Double Gauss, three wavelengths\n\n\t\t1\n\t\t5\n\t\t25\n\t\t0\n\t\t0\n\t\t0\n\t\t0\n\t\t0\n\n\n"
                     "\t13\n\t3\n\n\t\t\t\t\t\t\t\t486.1\t587.6\t656.3\n\t\t\t\t\t\t\t\t1\t1\t1\n"
                     "0\t0\t0\t10\t0\t0\t\t0\t1\t1\t1\n";
  char row[256];
  for (int k = 0; k < 11; ++k) {
    const double spread = abbe[k] > 0 ? (n[k] - 1) / abbe[k] : 0;
    std::snprintf(row, sizeof row, "%d\t0\t%.12g\t%.12g\t0\t0\t\t0\t%.10g\t%.10g\t%.10g\n", k + 1,
                  r[k] == 0 ? 0 : 1 / r[k], d[k], n[k] + 0.7 * spread, n[k], n[k] - 0.3 * spread);
    text += row;
  }
  text += "12\t0\t0\t0\t0\t0\t\t0\t1\t1\t1\n13\t0\t0\t0\t0\t0\t\t0\t1\t1\t1\n";
  return text;
}

std::unique_ptr<State> read_lens(const std::string& text) {
  auto grid = std::make_unique<InputGrid>();
  std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  grid->fill(file, kLensDataGrid);
  std::fclose(file);
  auto s = std::make_unique<State>();
  store_lens_data(*s, *grid);
  return s;
}

void BM_DoubleGaussThreeFieldsThreeWavelengths(benchmark::State& state) {
  const auto lens = read_lens(double_gauss_three_wavelengths());
  const std::vector<double> fields{0, 10 * kDegree, 14 * kDegree};
  for (auto _ : state) {
    const fields::Analysis a = fields::analyse_fields(*lens, 6, fields);
    if (!a.error.empty() || !a.fields[2].bundles[2].reaches_image) state.SkipWithError("not analysed");
    benchmark::DoNotOptimize(a.fields[2].bundles[2].x);
  }
}
BENCHMARK(BM_DoubleGaussThreeFieldsThreeWavelengths)->Unit(benchmark::kMillisecond);

void BM_DoubleGaussAimChiefRay(benchmark::State& state) {
  const auto lens = read_lens(double_gauss_three_wavelengths());
  fields::RayAimer aimer(*lens, 6, 2);
  for (auto _ : state) {
    const fields::Aimed a = aimer.aim_chief(14 * kDegree);
    benchmark::DoNotOptimize(a.start.x);
  }
}
BENCHMARK(BM_DoubleGaussAimChiefRay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
