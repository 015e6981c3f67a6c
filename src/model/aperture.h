// Spreading rays over the aperture.
#ifndef LUMAVEIL_MODEL_APERTURE_H
#define LUMAVEIL_MODEL_APERTURE_H

namespace lumaveil {

// The offset of grid step `step` of `steps` steps from the centre to a rim
// at `half_width`: (step × half_width) / steps in double precision. With no
// steps the grid is the central point alone and the offset is 0.
inline double aperture_offset(long long step, double half_width, int steps) {
  if (steps == 0) return 0.0;
  return (static_cast<double>(step) * half_width) / steps;
}

}  // namespace lumaveil

#endif
