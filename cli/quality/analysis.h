// The image quality of one field at one wavelength: wavefront, Zernike
// terms, PSF, MTF and encircled energy, computed together.
#ifndef LUMAVEIL_CLI_QUALITY_ANALYSIS_H
#define LUMAVEIL_CLI_QUALITY_ANALYSIS_H

#include <string>
#include <vector>

#include "energy.h"
#include "mtf.h"
#include "psf.h"
#include "wavefront.h"
#include "wavefront_stats.h"
#include "zernike.h"

namespace lumaveil::quality {

struct QualityResult {
  double field = 0;          // angle U (rad), or object height X (aperture kind 2)
  int wavelength_number = 0; // q
  double wavelength = 0;     // lens unit
  Reference reference;
  Wavefront wavefront;
  WavefrontStats stats;
  std::vector<double> fringe, standard;  // c[1..37], waves
  Psf psf;
  double marechal = 0;       // exp(-(2π σ)²), σ the RMS with tilt removed
  MtfCurves mtf;
  EnergyCurves energy;
  double spot_rms = 0;       // RMS radius of the spot about its centroid
  double spot_centroid[2] = {0, 0};
  // The largest change of W between neighbouring cells, waves. Above half
  // a wave the pupil function is undersampled: the PSF wraps round its
  // window and the MTF is unreliable.
  double largest_step = 0;
};

// Whether the grid samples the pupil function well enough for the PSF.
inline bool undersampled(const QualityResult& r) { return r.largest_step > 0.5; }
// The grid that would keep the step below half a wave (a power of two).
int suggested_grid(const QualityResult& r);

// The radius that holds `fraction` of the energy; NaN beyond the curve.
double encircled_radius(const EnergyCurves& e, double fraction);

// Everything for one field and wavelength q on an n x n pupil grid, with
// the chief ray aimed through the centre of surface `stop` (1..NUMB-2).
// `lens` as the library's reader leaves it. False, with the reason, when
// the chief ray cannot be aimed or no ray of the pupil gets through.
bool analyse(const State& lens, int stop, double field, int q, int n, QualityResult& out,
             std::string& reason);

}  // namespace lumaveil::quality

#endif
