// Optical path of a traced ray and its wavefront aberration.
#ifndef LUMAVEIL_ABERRATION_OPTICAL_PATH_H
#define LUMAVEIL_ABERRATION_OPTICAL_PATH_H

#include "model/state.h"
#include "trace/trace.h"

namespace lumaveil {

// OPL[i], i = 0..NUMB-2: the optical path of the last traced ray from
// surface i to surface i+1, index × geometric length. The medium after a
// mirror (negative index) counts with index 1; a segment ending on a mirror
// is measured to the real, unfolded hit point; a segment ending on an ideal
// element has no path.
void path_lengths(State& s);

// AB: the aberration of the last traced ray against the reference ray of
// wavelength j, in wavelengths. The ray's path to surface NUMB-2, plus the
// straight distance (index 1) from there to the reference image point
// (Xr, Yr) at the ray's own z on surface NUMB-1, minus OPR. When surface
// NUMB-1 is an ideal element the straight distance is left out. Needs
// NUMB >= 2, which mode 4 checks before it traces.
void wave_aberration(State& s, int j);

// The same for a ray traced on arrays of its own (the lens, the working row,
// the reference values and OPR from the state block): its path lengths
// into opl, and its aberration.
void path_lengths(const State& s, const TraceRay& ray, double* opl);
double wave_aberration(const State& s, const TraceRay& ray, const double* opl, int j);

}  // namespace lumaveil

#endif
