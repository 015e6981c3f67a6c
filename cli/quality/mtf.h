// Modulation transfer functions: the diffraction MTF from the PSF's transfer
// function, tangential (pattern varying along x, the field's direction) and
// sagittal (along y), the diffraction limit of the same working F-number,
// and the geometric MTF of the spot.
#ifndef LUMAVEIL_CLI_QUALITY_MTF_H
#define LUMAVEIL_CLI_QUALITY_MTF_H

#include <vector>

#include "psf.h"
#include "wavefront.h"

namespace lumaveil::quality {

struct MtfCurves {
  double cutoff = 0;               // 2·NA/λ, cycles per lens unit
  std::vector<double> frequency;   // 0 .. cutoff in n steps
  std::vector<double> tangential, sagittal;
  std::vector<double> limit;       // aberration-free circular pupil
  std::vector<double> geometric_tangential, geometric_sagittal;
};

// 2/π·(φ − cos φ·sin φ) with cos φ = s, for s = ν/ν_c in 0..1; 0 beyond.
double diffraction_limited_mtf(double s);

MtfCurves compute_mtf(const Psf& psf, const Wavefront& wf, double wavelength);

// Linear interpolation of y(x) at `at` (x ascending); NaN outside.
double interpolate(const std::vector<double>& x, const std::vector<double>& y, double at);

}  // namespace lumaveil::quality

#endif
