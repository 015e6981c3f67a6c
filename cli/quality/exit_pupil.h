// Tracing from the start plane, and the exit pupil behind the aperture stop.
// The chief rays themselves are aimed by the field analysis (cli/fields/aim.h).
#ifndef LUMAVEIL_CLI_QUALITY_EXIT_PUPIL_H
#define LUMAVEIL_CLI_QUALITY_EXIT_PUPIL_H

#include "cli/fields/aim.h"
#include "model/state.h"
#include "trace/trace.h"

namespace lumaveil::quality {

using fields::StartRay;

inline bool object_at_infinity(const State& s) { return s.IAP != 2; }

// Traces a ray from the start plane through every surface with the working
// row N[0] and the vertex positions ZV in force, on arrays of its own.
void trace_from_start(const State& s, const StartRay& start, RayArrays& ray);

// The z of the exit pupil: where a ray leaving the centre of stop surface
// `stop` at a small angle crosses the axis line of that centre again in the
// last space (after surface NUMB-2). Not finite when image space is
// telecentric.
double exit_pupil_z(const State& s, int stop);

}  // namespace lumaveil::quality

#endif
