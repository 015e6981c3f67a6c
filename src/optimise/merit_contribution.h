// What one ray at one wavelength adds to the merit: its residuals against
// its targets at the last surface, the central differences of its raw
// values, and their sums into the normal equations and the statistics.
//
//   rX = (X − XT)·WXY,  rY = (Y − YT)·WXY,  rU = (U − UT)·WUV,  rV = (V − VT)·WUV
//   ∂X/∂p_m ≈ (X(p_m + h) − X(p_m − h)) / 2h, and likewise Y, U, V
#ifndef LUMAVEIL_OPTIMISE_MERIT_CONTRIBUTION_H
#define LUMAVEIL_OPTIMISE_MERIT_CONTRIBUTION_H

#include "model/state.h"

namespace lumaveil {

// A ray's raw values at the evaluated surface.
struct RayValues {
  double x, y, u, v;
};

// One ray at one wavelength: its four weighted residuals and the central
// differences of its raw values, one per variable.
struct RayContribution {
  bool counts;  // false for a ray whose start values are all zero
  int worker;   // the worker that traced it
  double rX, rY, rU, rV;
  double SPX[kSurfaceSlots], SPY[kSurfaceSlots], SPU[kSurfaceSlots], SPV[kSurfaceSlots];
};

// Whether ray r's start values are all zero (such a ray does not count).
inline bool starts_at_zero(const State& s, int r) {
  return s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0;
}

// The residuals of the values at the last surface against ray r's targets.
inline void set_residuals(const State& s, int r, const RayValues& at, RayContribution& c) {
  c.rX = (at.x - s.XT[r]) * s.WXY;
  c.rY = (at.y - s.YT[r]) * s.WXY;
  c.rU = (at.u - s.UT[r]) * s.WUV;
  c.rV = (at.v - s.VT[r]) * s.WUV;
}

// The central differences of variable m from its -h and +h traces.
inline void set_differences(int m, double h, const RayValues& minus, const RayValues& plus,
                            RayContribution& c) {
  c.SPX[m] = (plus.x - minus.x) / (2 * h);
  c.SPY[m] = (plus.y - minus.y) / (2 * h);
  c.SPU[m] = (plus.u - minus.u) / (2 * h);
  c.SPV[m] = (plus.v - minus.v) / (2 * h);
}

// Adds one ray's contribution, of wavelength weight w, to the normal
// equations AA, BB of the n variables, to the weighted merit sum S and to
// the statistics SW, SDX, SDX2, SDY, SDY2.
void add_contribution(State& s, double& S, double w, int n, const RayContribution& c);

}  // namespace lumaveil

#endif
