// The PSF, the Strehl ratio and the encircled energy against identities and
// the diffraction theory of a circular pupil.
#include <cmath>

#include "quality_fixtures.h"

namespace lumaveil::quality {
namespace {

using testing::synthetic_wavefront;

constexpr double kPi = 3.14159265358979323846;
constexpr double kLambda = 500e-6, kNa = 0.1;

TEST(Psf, HoldsTheEnergyOfThePupilParseval) {
  const Wavefront wf = synthetic_wavefront(64, kNa, [](double x, double y) {
    return 0.3 * (3 * (x * x + y * y) - 2) * x + 0.2 * (x * x - y * y);
  });
  const Psf psf = compute_psf(wf, kLambda, 0, 0);
  EXPECT_NEAR(psf.energy, psf.m * psf.m * psf.pupil_energy, 1e-9 * psf.energy);
  EXPECT_NEAR(psf.pupil_energy, wf.valid, 1e-9);
  // Nyquist: half the smallest period the intensity holds, λ/(2 NA).
  EXPECT_NEAR(psf.spacing, kLambda / (4 * kNa), 1e-15);
}

// Maréchal: for small aberrations the Strehl ratio is exp(−(2πσ)²). Built
// from spherical aberration balanced with focus, and from coma.
TEST(Psf, SmallAberrationsGiveMarechalsStrehlRatio) {
  for (double sigma : {0.01, 0.03, 0.05}) {
    // Fringe Z9 = 6ρ⁴ − 6ρ² + 1 has an RMS of 1/√5 over the circle.
    const double a = sigma * std::sqrt(5.0);
    const Wavefront wf = synthetic_wavefront(64, kNa, [&](double x, double y) {
      const double p = x * x + y * y;
      return a * (6 * p * p - 6 * p + 1);
    });
    const Psf psf = compute_psf(wf, kLambda, 0, 0);
    const double marechal = std::exp(-(2 * kPi * sigma) * (2 * kPi * sigma));
    EXPECT_NEAR(psf.strehl, marechal, 0.15 * (1 - marechal) + 1e-4) << sigma;
  }
  const Wavefront perfect = synthetic_wavefront(64, kNa, [](double, double) { return 0.0; });
  EXPECT_NEAR(compute_psf(perfect, kLambda, 0, 0).strehl, 1.0, 1e-12);
}

// A wavefront leading at +x tilts the rays toward −x: the PSF moves there,
// by R·∂W/∂x, i.e. by (tilt in waves)·λ/NA per unit of pupil coordinate.
TEST(Psf, ALeadingTiltMovesTheImageAgainstIt) {
  const double tilt = 2.0;  // waves across the pupil radius
  const Wavefront wf = synthetic_wavefront(64, kNa, [&](double x, double) { return tilt * x; });
  const Psf psf = compute_psf(wf, kLambda, tilt, 0);
  EXPECT_NEAR(psf.centroid_x, -tilt * kLambda / kNa, 0.02 * tilt * kLambda / kNa);
  EXPECT_NEAR(psf.centroid_y, 0, 1e-9);
  EXPECT_NEAR(psf.strehl, 1.0, 1e-9);          // at the best-fitting point
  EXPECT_LT(psf.strehl_at_reference, 0.01);    // far from the chief ray's point
}

// The Airy pattern holds 1 − J0(v)² − J1(v)² inside radius r, v = 2π·NA·r/λ.
TEST(Energy, PerfectPupilFollowsTheAiryEncircledEnergy) {
  const Wavefront wf = synthetic_wavefront(128, kNa, [](double, double) { return 0.0; });
  const Psf psf = compute_psf(wf, kLambda, 0, 0);
  const double airy = 0.61 * kLambda / kNa;
  const EnergyCurves e = compute_energy(psf, 4 * airy, 41);
  for (std::size_t k = 0; k < e.radius.size(); ++k) {
    const double v = 2 * kPi * kNa * e.radius[k] / kLambda;
    const double j0 = std::cyl_bessel_j(0.0, v), j1 = std::cyl_bessel_j(1.0, v);
    EXPECT_NEAR(e.encircled[k], 1 - j0 * j0 - j1 * j1, 3e-3) << "r = " << e.radius[k];
  }
  // The first dark ring holds 83.8 %.
  EXPECT_NEAR(encircled_radius(e, 0.838), airy, 0.02 * airy);
  EXPECT_GT(e.ensquared.back(), e.encircled.back() - 1e-3);  // the square holds the circle
}

TEST(Energy, BesselJ1MatchesTheLibrary) {
  for (double x = -20; x <= 40; x += 0.37) EXPECT_NEAR(bessel_j1(x), std::cyl_bessel_j(1.0, std::fabs(x)) * (x < 0 ? -1 : 1), 2e-7) << x;
}

}  // namespace
}  // namespace lumaveil::quality
