// The paraxial side of the field analysis: the paraxial chief ray (through
// the stop's axis point), its image height, and the pupils, the images of
// the stop in object and in image space. Built on the y-nu trace of
// cli/first_order.h (the centred system: axis shifts and tilts ignored).
//
// Heights are along x; a paraxial slope is dx/dz, so the library's angle U
// corresponds to the slope −tan U.
#ifndef LUMAVEIL_CLI_FIELDS_PARAXIAL_H
#define LUMAVEIL_CLI_FIELDS_PARAXIAL_H

#include "model/state.h"

namespace lumaveil::fields {

// The paraxial chief ray's height on the image surface (NUMB-1) at
// wavelength q, for a field (angle in radians for kind 1, object height for
// kind 2) with the stop at surface `stop`. Not finite when the stop cannot
// be reached paraxially.
double paraxial_image_height(const State& s, int q, int stop, double field);

// The pupils at wavelength q for a stop of the given radius. Positions are
// z in the lens's frame (the start plane is z = 0, unfolded behind
// mirrors); radii are positive. `s` needs its vertex positions ZV (as
// RayAimer::lens() has them). Infinite (or not-a-number) where the pupil
// lies at infinity.
struct Pupils {
  double entrance_z, entrance_radius;
  double exit_z, exit_radius;
};
Pupils pupils(const State& s, int q, int stop, double stop_radius);

}  // namespace lumaveil::fields

#endif
