// Spreading rays over the aperture around the central ray of the lens data.
#ifndef LUMAVEIL_MODEL_APERTURE_H
#define LUMAVEIL_MODEL_APERTURE_H

#include "model/state.h"

namespace lumaveil {

// Starts the traced ray as the central ray of the lens data (entry 0 of the
// start arrays): the ray every grid and scan is spread around.
inline void set_central_ray(State& s) {
  s.U[0] = s.UI[0];
  s.V[0] = s.VI[0];
  s.X[0] = s.XI[0];
  s.Y[0] = s.YI[0];
}

// The offset of grid step `step` of `steps` steps from the centre to a rim
// at `half_width`: (step × half_width) / steps in double precision. With no
// steps the grid is the central point alone and the offset is 0.
inline double aperture_offset(long long step, double half_width, int steps) {
  if (steps == 0) return 0.0;
  return (static_cast<double>(step) * half_width) / steps;
}

}  // namespace lumaveil

#endif
