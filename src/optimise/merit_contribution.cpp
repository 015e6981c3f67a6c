#include "optimise/merit_contribution.h"

namespace lumaveil {

void add_contribution(State& s, double& S, double w, int n, const RayContribution& c) {
  const double rX = c.rX, rY = c.rY, rU = c.rU, rV = c.rV;
  const double* SPX = c.SPX;
  const double* SPY = c.SPY;
  const double* SPU = c.SPU;
  const double* SPV = c.SPV;

  // Normal equations.
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j)
      s.AA[i][j] = s.AA[i][j] + (SPX[j - 1] * SPX[i - 1] + SPY[j - 1] * SPY[i - 1] +
                                 SPU[j - 1] * SPU[i - 1] + SPV[j - 1] * SPV[i - 1]) * w;
    s.BB[i] = s.BB[i] - (rX * SPX[i - 1] + rY * SPY[i - 1] + rU * SPU[i - 1] +
                         rV * SPV[i - 1]) * w;
  }

  // Statistics: weighted merit and count, unweighted residual sums.
  s.SW = s.SW + w;
  S = S + (rX * rX + rY * rY + rU * rU + rV * rV) * w;
  s.SDX = s.SDX + rX;
  s.SDX2 = s.SDX2 + rX * rX;
  s.SDY = s.SDY + rY;
  s.SDY2 = s.SDY2 + rY * rY;
}

}  // namespace lumaveil
