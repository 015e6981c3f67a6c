// Modes 5 and 6: a Newton search over one or two axial distances, each
// sample of the merit being a complete curvature optimisation.
#ifndef LUMAVEIL_OPTIMISE_DISTANCE_SEARCH_H
#define LUMAVEIL_OPTIMISE_DISTANCE_SEARCH_H

#include "model/state.h"

namespace lumaveil {

// Mode 5: D[ND[1]] by passes n = 0..NITD over a 5-point grid of step HD.
void gn_curvature_d1(State& s);

// Mode 6: D[ND[1]] and D[ND[2]] over a 5 × 5 grid (D1 outer, D2 inner).
void gn_curvature_d2(State& s);

}  // namespace lumaveil

#endif
