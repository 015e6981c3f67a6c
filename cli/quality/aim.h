// The chief ray of a field, aimed through the centre of the aperture stop,
// and the exit pupil behind the stop, both found with the library's tracer.
//
// A field is given as the lens data's aperture kind says the object stands:
// kind 2 (angles spread) puts the object on the start plane, and a field is
// the object height y there, in the lens unit; any other kind puts it at
// infinity, and a field is the angle of the parallel beam in the y-z plane,
// in degrees (the beam heads toward -y for a positive field, so its image
// lies below the axis). Field 0 is the axis.
#ifndef LUMAVEIL_CLI_QUALITY_AIM_H
#define LUMAVEIL_CLI_QUALITY_AIM_H

#include "model/state.h"
#include "trace/trace.h"

namespace lumaveil::quality {

// A ray on the start plane (z = 0): heights and the library's angles.
struct RayStart {
  double x = 0, y = 0, u = 0, v = 0;
};

inline bool object_at_infinity(const State& s) { return s.IAP != 2; }

// Traces a ray from the start plane through every surface with the working
// row N[0] and the vertex positions ZV in force.
void trace_from_start(const State& s, const RayStart& start, RayArrays& ray);

// The chief ray of `field` through the centre (the vertex point) of surface
// `stop`, by Newton's method on its two free start values (heights for an
// object at infinity, angles for an object on the start plane). False when
// the aim does not converge or the ray fails.
bool aim_chief_ray(const State& s, int stop, double field, RayStart& chief);

// The z of the exit pupil: where a ray leaving the centre of the stop at a
// small angle crosses the axis again behind surface NUMB-2 (the last space).
// Not finite when image space is telecentric.
double exit_pupil_z(const State& s, int stop);

}  // namespace lumaveil::quality

#endif
