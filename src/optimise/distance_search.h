// Modes 5 and 6: a Newton search over one or two axial distances, each
// sample of the merit being a complete curvature optimisation.
#ifndef LUMAVEIL_OPTIMISE_DISTANCE_SEARCH_H
#define LUMAVEIL_OPTIMISE_DISTANCE_SEARCH_H

#include "model/state.h"

namespace lumaveil {

// The merit at one grid point: the curvatures optimised afresh at the trial
// distances Dv, left in AR, with the merit figures (E first) in the state.
using GridMerit = void (*)(State& s, double* AR, const double* Dv);

// The merit of modes 5 and 6: NITC curvature iterations (gn_curvature_inner).
void refit_curvatures(State& s, double* AR, const double* Dv);

// Mode 5: D[ND[1]] by passes n = 0..NITD over a 5-point grid of step HD.
// `merit_at` gives the merit of a grid point (tests give one of known shape).
void gn_curvature_d1(State& s, GridMerit merit_at = refit_curvatures);

// Mode 6: D[ND[1]] and D[ND[2]] over a 5 × 5 grid (D1 outer, D2 inner).
void gn_curvature_d2(State& s, GridMerit merit_at = refit_curvatures);

}  // namespace lumaveil

#endif
