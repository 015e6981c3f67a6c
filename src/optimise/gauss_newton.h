// Gauss-Newton optimisation of the variable curvatures (mode 2) or axial
// distances (mode 3), and the inner curvature optimisation of modes 5 and 6.
//
// Each iteration evaluates the merit of the current values (merit.h) and
// adds the full correction: no damping, no line search, no convergence test.
#ifndef LUMAVEIL_OPTIMISE_GAUSS_NEWTON_H
#define LUMAVEIL_OPTIMISE_GAUSS_NEWTON_H

#include "model/state.h"

namespace lumaveil {

// Mode 2: NIT iterations on the curvatures; one report row per iteration
// with the merit figures and the curvatures just evaluated ("%G").
void gn_curvature(State& s);

// Mode 3: the same on the axial distances ("%E").
void gn_distance(State& s);

// For the trial distances dv: vertex positions from dv, ar = C, then NITC
// iterations on the curvatures in ar. D is not touched. Afterwards the merit
// figures are those of the last evaluation and C holds the curvatures it
// evaluated (before the last correction), where the next call starts.
void gn_curvature_inner(State& s, double* ar, const double* dv);

}  // namespace lumaveil

#endif
