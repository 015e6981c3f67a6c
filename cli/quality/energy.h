// Encircled and ensquared energy about the PSF's centroid, from its
// transfer function: for the periodic, band-limited PSF that the samples
// define, the energy inside a circle of radius r is
//   Δν²·Σ_k Re[OTF_k·e^{2πi ν_k·c}]·r·J1(2πr|ν_k|)/|ν_k|,
// and inside a square of half-width a, Δν²·Σ_k Re[...]·K(ν_kx)·K(ν_ky) with
// K(ν) = sin(2πaν)/(πν). Exact for any radius, not limited to whole samples.
#ifndef LUMAVEIL_CLI_QUALITY_ENERGY_H
#define LUMAVEIL_CLI_QUALITY_ENERGY_H

#include <vector>

#include "psf.h"

namespace lumaveil::quality {

struct EnergyCurves {
  std::vector<double> radius;     // lens unit; the square's half-width
  std::vector<double> encircled;  // fraction of the whole energy
  std::vector<double> ensquared;
};

// `points` radii from 0 to r_max.
EnergyCurves compute_energy(const Psf& psf, double r_max, int points = 41);

// The Bessel function J1, to about 1e-7 (polynomial approximations).
double bessel_j1(double x);

}  // namespace lumaveil::quality

#endif
