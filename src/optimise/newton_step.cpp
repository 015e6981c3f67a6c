#include "optimise/newton_step.h"

namespace lumaveil {

NewtonStep1 newton_step_1(const double (&G)[5], double h) {
  NewtonStep1 step;
  step.u = (2 * h * (G[3] - G[1])) / (2 * h);
  step.q = (G[4] - G[2]) / (2 * h) - (G[2] - G[0]) / (2 * h);
  return step;
}

NewtonStep2 newton_step_2(const double (&G)[5][5], double h) {
  NewtonStep2 st;
  // Slopes along D1 and D2.
  st.g1 = (G[3][2] - G[1][2]) / (2 * h);
  st.g2 = (G[2][3] - G[2][1]) / (2 * h);
  // Curvatures along each distance.
  st.H11 = ((G[4][2] - G[2][2]) / (2 * h) - (G[2][2] - G[0][2]) / (2 * h)) / (2 * h);
  st.H22 = ((G[2][4] - G[2][2]) / (2 * h) - (G[2][2] - G[2][0]) / (2 * h)) / (2 * h);
  // The two mixed estimates: the change of the D1 slope along D2, and of
  // the D2 slope along D1. Equal in exact arithmetic, each used where it
  // belongs.
  st.H12 = ((G[3][3] - G[1][3]) / (2 * h) - (G[3][1] - G[1][1]) / (2 * h)) / (2 * h);
  st.H21 = ((G[3][3] - G[3][1]) / (2 * h) - (G[1][3] - G[1][1]) / (2 * h)) / (2 * h);
  st.det = st.H11 * st.H22 - st.H12 * st.H21;
  st.step1 = (st.g2 * st.H12 - st.g1 * st.H22) / st.det;
  st.step2 = (st.g1 * st.H21 - st.g2 * st.H11) / st.det;
  return st;
}

}  // namespace lumaveil
