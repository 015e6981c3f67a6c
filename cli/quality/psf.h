// The point-spread function by the fast Fourier transform of the pupil
// function, and its optical transfer function.
//
// The pupil function of cell c is exp(2πi·W_c) with W_c in waves, 0 for
// cells outside the rim and vignetted ones. It is placed in
// an m x m array with m = 2n, twice the pupil's samples, so that the PSF is
// sampled at the Nyquist rate of its band limit: spacing λ/(4·NA) = λ·F/2
// with the working F-number F = 1/(2·NA). The transform runs with e^{+i}
// so that a wavefront leading at +y (positive dW/dpy) moves the image toward
// -y, as its rays do.
#ifndef LUMAVEIL_CLI_QUALITY_PSF_H
#define LUMAVEIL_CLI_QUALITY_PSF_H

#include <complex>
#include <vector>

#include "wavefront.h"

namespace lumaveil::quality {

struct Psf {
  int m = 0;                 // samples per side
  double spacing = 0;        // lens unit
  // m x m, row j (y) then column i (x), sample (i, j) at
  // ((i - m/2)·spacing, (j - m/2)·spacing) from the chief ray's image point;
  // in units of the peak of the same pupil without aberration.
  std::vector<double> intensity;
  double energy = 0;         // sum of the raw intensities |FFT|²
  double pupil_energy = 0;   // sum of |pupil function|²; energy = m²·pupil_energy (Parseval)
  double strehl = 0;         // at the best-fitting point (tilt removed)
  double strehl_at_reference = 0;  // at the chief ray's image point
  double centroid_x = 0, centroid_y = 0;  // lens unit, from the chief ray's point
  // The optical transfer function, m x m in FFT order (frequency index k at
  // k/(m·spacing), k >= m/2 negative), 1 at zero frequency.
  std::vector<std::complex<double>> otf;
};

// tilt_x, tilt_y: the wavefront's best-fitting tilt in waves per unit pupil
// coordinate (removed for the Strehl ratio only).
Psf compute_psf(const Wavefront& wf, double wavelength, double tilt_x, double tilt_y);

}  // namespace lumaveil::quality

#endif
