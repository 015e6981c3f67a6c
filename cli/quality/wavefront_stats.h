// RMS and peak-to-valley of a wavefront over the cells whose centres lie
// inside the rim, as sampled (piston removed), with the best-fitting tilt
// removed, and with tilt and focus removed.
#ifndef LUMAVEIL_CLI_QUALITY_WAVEFRONT_STATS_H
#define LUMAVEIL_CLI_QUALITY_WAVEFRONT_STATS_H

#include <vector>

#include "wavefront.h"

namespace lumaveil::quality {

struct Spread {
  double rms = 0, pv = 0;  // waves
};

struct WavefrontStats {
  Spread raw;          // about the mean
  Spread no_tilt;      // piston and tilt removed
  Spread no_focus;     // piston, tilt and defocus (2ρ²−1) removed
  double tilt_x = 0, tilt_y = 0;  // the removed tilt: W ≈ c + tilt_x·px + tilt_y·py
  int samples = 0;
};

WavefrontStats wavefront_stats(const Wavefront& wf);

}  // namespace lumaveil::quality

#endif
