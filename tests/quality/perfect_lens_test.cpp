// A perfect lens and the same lens out of focus, against first-order optics
// and the diffraction theory of a circular pupil.
#include <cmath>

#include "quality_fixtures.h"

namespace lumaveil::quality {
namespace {

using lumaveil::testing::ScratchDir;
using testing::analyse_here;
using testing::write_ideal_lens;

constexpr double kF = 50, kRh = 10, kLambda = 500e-6;  // mm
constexpr double kPi = 3.14159265358979323846;

// The aberration-free MTF of a circular pupil, written out.
double circular_pupil_mtf(double s) {
  if (s >= 1) return 0;
  const double phi = std::acos(s);
  return 2 / kPi * (phi - std::cos(phi) * std::sin(phi));
}

TEST(PerfectLens, HasAFlatWavefrontAStrehlOfOneAndTheDiffractionLimitedMtf) {
  ScratchDir dir;
  write_ideal_lens(kF, kRh, 0);
  const QualityResult r = analyse_here(1, 0, 128);
  EXPECT_EQ(r.wavefront.vignetted, 0);
  for (std::size_t c = 0; c < r.wavefront.w.size(); ++c)
    if (r.wavefront.state[c] == Sample::kValid) {
      ASSERT_NEAR(r.wavefront.w[c], 0, 1e-9) << c;
    }
  EXPECT_NEAR(r.stats.raw.rms, 0, 1e-9);
  EXPECT_NEAR(r.psf.strehl, 1, 1e-12);
  // The sine condition: the rim ray leaves at sin θ = h/f.
  EXPECT_NEAR(r.wavefront.na, kRh / kF, 1e-12);
  const double cutoff = 2 * (kRh / kF) / kLambda;
  EXPECT_NEAR(r.mtf.cutoff, cutoff, 1e-9);
  ASSERT_EQ(r.mtf.frequency.size(), 129u);
  for (std::size_t k = 0; k < r.mtf.frequency.size(); ++k) {
    const double want = circular_pupil_mtf(r.mtf.frequency[k] / cutoff);
    EXPECT_NEAR(r.mtf.tangential[k], want, 1e-3) << r.mtf.frequency[k];
    EXPECT_NEAR(r.mtf.sagittal[k], want, 1e-3) << r.mtf.frequency[k];
  }
}

// A spherical wave converging on a point δ before the reference point leads
// the reference sphere by n'·δ·(1 − cos θ) along the ray at angle θ to the
// axis; for
// small angles that is the paraxial defocus W020·ρ² with W020 = n'·δ·NA²/2,
// which the Fringe term Z4 = 2ρ² − 1 carries with coefficient W020/2.
TEST(PerfectLens, MovedImagePlaneGivesThePredictedDefocus) {
  ScratchDir dir;
  const double delta = 0.05;
  write_ideal_lens(kF, kRh, delta);
  const QualityResult r = analyse_here(1);
  const Wavefront& wf = r.wavefront;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      if (wf.state[c] != Sample::kValid) continue;
      // The element gives each projected angle the sine of its height over
      // f, U = asin(x/f) and V = asin(y/f), independently.
      const double tu = std::tan(std::asin(wf.coord[i] * kRh / kF));
      const double tv = std::tan(std::asin(wf.coord[j] * kRh / kF));
      const double cos_theta = 1 / std::sqrt(1 + tu * tu + tv * tv);
      const double want = delta * (1 - cos_theta) / kLambda;
      ASSERT_NEAR(wf.w[c], want, 1e-6) << wf.coord[i] << " " << wf.coord[j];
    }
  const double w020 = delta * (kRh / kF) * (kRh / kF) / 2 / kLambda;  // 2 waves
  EXPECT_NEAR(r.fringe[4], w020 / 2, 0.015 * w020 / 2);
  EXPECT_GT(r.fringe[4], 0);  // the wavefront leads at the rim
  for (int j : {2, 3, 5, 6, 7, 8}) EXPECT_NEAR(r.fringe[j], 0, 1e-9) << j;
  // With focus removed only the small higher-order rest of 1 − cos θ stays.
  EXPECT_LT(r.stats.no_focus.rms, 0.02 * r.stats.raw.rms);
}

// The OTF of a circular pupil with defocus W020·ρ² (Hopkins):
// (4/(π·b))·∫_0^√(1−s²) sin(b·(√(1−y²) − s)) dy with b = 8π·W020·s.
double defocused_mtf(double s, double w020) {
  if (s >= 1) return 0;
  const double b = 8 * kPi * w020 * s;
  if (b == 0) return circular_pupil_mtf(s);
  const int steps = 4000;
  const double top = std::sqrt(1 - s * s), h = top / steps;
  double sum = 0;
  for (int k = 0; k <= steps; ++k) {
    const double y = k * h;
    const double f = std::sin(b * (std::sqrt(1 - y * y) - s));
    sum += (k == 0 || k == steps ? 1 : k % 2 ? 4 : 2) * f;
  }
  return std::fabs(4 / (kPi * b) * sum * h / 3);
}

TEST(PerfectLens, DefocusedMtfFollowsHopkins) {
  ScratchDir dir;
  const double w020 = 0.25;  // waves
  const double delta = w020 * 2 * kLambda / ((kRh / kF) * (kRh / kF));
  write_ideal_lens(kF, kRh, delta);
  const QualityResult r = analyse_here(1);
  for (std::size_t k = 0; k < r.mtf.frequency.size(); ++k) {
    const double s = r.mtf.frequency[k] / r.mtf.cutoff;
    EXPECT_NEAR(r.mtf.tangential[k], defocused_mtf(s, w020), 3e-3) << s;
  }
  EXPECT_LT(r.mtf.tangential[16], circular_pupil_mtf(0.25) - 0.05);
}

// Out of focus the spot of a perfect lens is a nearly uniform disc of
// radius a = δ·tan θ_rim, whose geometric MTF is 2·J1(2πνa)/(2πνa).
TEST(PerfectLens, DefocusedSpotHasTheGeometricMtfOfAUniformDisc) {
  ScratchDir dir;
  const double delta = 0.015;  // a = 3 µm: the first zeros below the cut-off
  write_ideal_lens(kF, kRh, delta);
  const QualityResult r = analyse_here(1);
  const double a = delta * std::tan(std::asin(kRh / kF));
  for (std::size_t k = 0; k < r.mtf.frequency.size(); ++k) {
    const double x = 2 * kPi * r.mtf.frequency[k] * a;
    if (x > 10) break;
    const double disc = x == 0 ? 1 : 2 * std::cyl_bessel_j(1.0, x) / x;
    EXPECT_NEAR(r.mtf.geometric_tangential[k], std::fabs(disc), 0.02) << x;
    EXPECT_NEAR(r.mtf.geometric_sagittal[k], std::fabs(disc), 0.02) << x;
  }
}

}  // namespace
}  // namespace lumaveil::quality
