// Mode 1: the trajectory of the central bundle and a spot diagram, per
// wavelength.
#ifndef LUMAVEIL_REPORT_TRACE_AND_SPOT_H
#define LUMAVEIL_REPORT_TRACE_AND_SPOT_H

#include "model/state.h"

namespace lumaveil {

// The number of grid points (j, l), j and l in -ns..ns, inside the disc
// j² + l² <= ns²: 5 for one step, 13 for two, 29 for three; 0 for a
// negative ns. A count beyond the largest long long (ns above about 1.7e9,
// a run that could never finish) is given as that largest value.
long long spot_count(int ns);

// Writes the mode-1 report: for each wavelength the central ray, the upper
// and lower rim rays and the central ray again as surface trace tables, then
// the spot diagram of a square grid of rays clipped to a disc, at surface
// NUMB-1.
void trace_and_spot(State& s);

}  // namespace lumaveil

#endif
