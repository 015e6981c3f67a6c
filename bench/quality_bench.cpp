// Cost of `lumaveil quality` for one field and one wavelength on the default
// 64 x 64 pupil grid (3 228 rays), and of its parts: the traced wavefront,
// the two Zernike fits, the PSF with its transfer function (two 128 x 128
// FFTs) and the MTF curves, and the encircled and ensquared energy.
// The lens is the double Gauss of the examples (13 surfaces), on the axis
// and at 10 degrees.
#include <benchmark/benchmark.h>

#include <string>

#include "cli/fields/aim.h"
#include "cli/quality/analysis.h"
#include "cli/quality/lens.h"

namespace lumaveil::quality {
namespace {

constexpr int kStop = 6;

const Lens& double_gauss() {
  static Lens lens;
  if (!lens.state) {
    std::string why;
    if (!load_lens(std::string(LUMAVEIL_EXAMPLES_DIR) + "/double_gauss", lens, why)) std::abort();
  }
  return lens;
}

void Analyse(benchmark::State& state) {
  const double field = state.range(0) * 3.14159265358979323846 / 180;
  for (auto _ : state) {
    QualityResult r;
    std::string why;
    if (!analyse(*double_gauss().state, kStop, field, 1, 64, r, why)) state.SkipWithError(why.c_str());
    benchmark::DoNotOptimize(r.mtf.tangential.data());
  }
}
BENCHMARK(Analyse)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

// The parts, on the axis.
struct Parts {
  fields::RayAimer aimer{*double_gauss().state, kStop, 1};
  QualityResult r;
  Parts() {
    std::string why;
    analyse(*double_gauss().state, kStop, 0, 1, 64, r, why);
  }
};
const Parts& parts() {
  static Parts p;
  return p;
}

void Wavefront64(benchmark::State& state) {
  for (auto _ : state) {
    Wavefront wf = sample_wavefront(parts().aimer.lens(), parts().r.reference, 64);
    benchmark::DoNotOptimize(wf.w.data());
  }
}
BENCHMARK(Wavefront64)->Unit(benchmark::kMillisecond);

void ZernikeFits(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> f = fit_zernike(parts().r.wavefront, ZernikeSet::kFringe);
    std::vector<double> s = fit_zernike(parts().r.wavefront, ZernikeSet::kStandard);
    benchmark::DoNotOptimize(f.data());
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(ZernikeFits)->Unit(benchmark::kMillisecond);

void PsfAndMtf(benchmark::State& state) {
  const QualityResult& r = parts().r;
  for (auto _ : state) {
    Psf psf = compute_psf(r.wavefront, r.wavelength, 0, 0);
    MtfCurves mtf = compute_mtf(psf, r.wavefront, r.wavelength);
    benchmark::DoNotOptimize(mtf.tangential.data());
  }
}
BENCHMARK(PsfAndMtf)->Unit(benchmark::kMillisecond);

void Energy(benchmark::State& state) {
  const QualityResult& r = parts().r;
  for (auto _ : state) {
    EnergyCurves e = compute_energy(r.psf, r.energy.radius.back());
    benchmark::DoNotOptimize(e.encircled.data());
  }
}
BENCHMARK(Energy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumaveil::quality

BENCHMARK_MAIN();
