// Mode 4: wavefront-aberration scans across the aperture, per wavelength.
#ifndef LUMAVEIL_ABERRATION_ABERRATION_ANALYSIS_H
#define LUMAVEIL_ABERRATION_ABERRATION_ANALYSIS_H

#include "model/state.h"

namespace lumaveil {

// For each wavelength: the reference (central) ray, then a scan along x and
// a scan along y of 2·NS + 1 rays each, every ray with its aberration AB,
// and the degree-6 polynomial fitted to each scan. Aperture kind 2 scans the
// angles U and V, every other kind the heights X and Y. A lens of fewer than
// two surfaces gets a one-line error report.
void aberration_analysis(State& s);

}  // namespace lumaveil

#endif
