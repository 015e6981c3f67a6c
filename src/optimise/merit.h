// The merit of the lens over the ray set, and its Gauss-Newton correction.
//
// Every ray of the ray set whose start values are not all zero is traced at
// every wavelength to surface NUMB-1 and compared with its targets; the
// residuals are
//   rX = (X − XT)·WXY,  rY = (Y − YT)·WXY,  rU = (U − UT)·WUV,  rV = (V − VT)·WUV.
// Central differences of step H give each ray's 4 × n Jacobian J of the raw
// values, and the evaluation builds and solves the normal equations
//   (Σ w·JᵀJ) x = −Σ w·Jᵀr
// (w the wavelength's weight), leaving the correction of variable m in
// DX[m]. The merit figures: E = √(Σ w·|r|² / SW), the mean and spread of the
// X and Y residuals (unweighted sums over the SW = Σ w contributing pairs).
//
// The variables are the surfaces coded 'V', with the surfaces tied to them
// (merit_variables.h). The evaluation runs either plainly, every trace on
// the state block (merit_plain.h), or as tasks on the worker threads with
// each derivative retraced from its first changed surface (merit_fast.h);
// both give the same bits.
#ifndef LUMAVEIL_OPTIMISE_MERIT_H
#define LUMAVEIL_OPTIMISE_MERIT_H

#include "model/state.h"
#include "optimise/merit_variables.h"

namespace lumaveil {

// The quantity that the variables are.
enum class Varied { kCurvature, kDistance };

// Evaluates the merit at the values p (indexed by surface, read only) of the
// n variables numbered by iv. The varied array (C or D) is left holding the
// values of p for every variable and tied surface. Varying distances keeps
// the vertex positions ZV in step with D.
void merit(State& s, Varied what, int n, const int* iv, const double* p);

// How the evaluation traces, for comparing its two ways: 1 retraces each
// derivative from its first changed surface, 0 traces every ray through all
// surfaces, -1 returns to the default (environment variable
// LUMAVEIL_RETRACE; "0" turns retracing off). With retracing off and one
// thread (see parallel/pool.h) the evaluation runs the plain serial loop on
// the state block.
void set_merit_retrace(int mode);

inline void merit_curvature(State& s, int n, const int* iv, const double* p) {
  merit(s, Varied::kCurvature, n, iv, p);
}
inline void merit_distance(State& s, int n, const int* iv, const double* p) {
  merit(s, Varied::kDistance, n, iv, p);
}

// The surface index at which rays are evaluated: NUMB-1 (0 for a lens
// without surfaces, so that nothing is read before the arrays).
inline int evaluated_surface(const State& s) { return s.NUMB >= 1 ? s.NUMB - 1 : 0; }

}  // namespace lumaveil

#endif
