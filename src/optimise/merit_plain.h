// The plain evaluation of the merit: every trace of every ray runs through
// all surfaces on the state block itself, one after the other.
#ifndef LUMAVEIL_OPTIMISE_MERIT_PLAIN_H
#define LUMAVEIL_OPTIMISE_MERIT_PLAIN_H

#include "model/state.h"
#include "optimise/merit.h"

namespace lumaveil {

// Adds every counting ray's contribution at every wavelength to the normal
// equations, the statistics and the merit sum S, the wavelengths in order
// and within each the rays in order.
void plain_rays(State& s, Varied what, int n, const int* iv, const double* p, double& S);

}  // namespace lumaveil

#endif
