// The fast evaluation of the merit. Each (wavelength, ray) pair is a task
// with its own copy of the ray arrays, of the varied array and of the vertex
// positions, the lens data shared; the tasks run on the worker threads
// (parallel/pool.h) and their contributions are then added in the order of
// the plain evaluation (merit_plain.h), so every sum sees the same terms in
// the same order. The derivatives are retraced from their first changed
// surface (merit_lanes.h).
#ifndef LUMAVEIL_OPTIMISE_MERIT_FAST_H
#define LUMAVEIL_OPTIMISE_MERIT_FAST_H

#include "model/state.h"
#include "optimise/merit.h"

namespace lumaveil {

// The fast evaluation keeps to what it can reproduce exactly: a lens with
// surfaces, counts within the arrays, and values p that are not the varied
// array itself (the plain evaluation then reads back what it writes). It is
// taken when it retraces or runs on more than one thread.
bool fast_path_applies(const State& s, Varied what, int n, const double* p);

// What plain_rays does, with the same sums and the same state block left
// behind.
void fast_rays(State& s, Varied what, int n, const int* iv, const double* p, double& S);

}  // namespace lumaveil

#endif
