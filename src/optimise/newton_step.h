// The Newton steps of modes 5 and 6 on merit values sampled over a grid of
// axial-distance offsets −2h, −h, 0, +h, +2h.
#ifndef LUMAVEIL_OPTIMISE_NEWTON_STEP_H
#define LUMAVEIL_OPTIMISE_NEWTON_STEP_H

namespace lumaveil {

// One distance: G[m] is the merit at offset (m−2)·h. The step is
// D − u/q with u = (2h·(G3 − G1))/(2h) and q = (G4 − G2)/(2h) − (G2 − G0)/(2h),
// that is D − g′/g″ with central differences for both derivatives.
struct NewtonStep1 {
  double u, q;
};
NewtonStep1 newton_step_1(const double (&G)[5], double h);

// Two distances: G[a][b] is the merit at offsets (a−2)·h on D1 and (b−2)·h
// on D2. The gradient (g1, g2) and the Hessian (H11, H12; H21, H22) by
// central differences; the step solves H·δ = −g by Cramer's rule.
struct NewtonStep2 {
  double g1, g2, H11, H22, H12, H21, det;
  double step1, step2;  // δ1 = (g2·H12 − g1·H22)/det, δ2 = (g1·H21 − g2·H11)/det
};
NewtonStep2 newton_step_2(const double (&G)[5][5], double h);

}  // namespace lumaveil

#endif
