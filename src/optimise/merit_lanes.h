// The derivative traces of the fast evaluation of the merit, two at a time
// in the lanes of one worker.
//
// A derivative trace repeats, bit for bit, every step whose inputs equal
// those of the trace at p: the steps before the first surface whose entry of
// the varied array differs from the one at p (for distances, before the
// first changed D, from which on the vertex positions move too). Those steps
// are taken from the trace at p and only the rest is traced.
#ifndef LUMAVEIL_OPTIMISE_MERIT_LANES_H
#define LUMAVEIL_OPTIMISE_MERIT_LANES_H

#include "model/state.h"
#include "optimise/merit.h"
#include "optimise/merit_contribution.h"
#include "trace/trace.h"

namespace lumaveil {

// One trace's arrays: the ray at each surface, the varied array as the
// trace sees it and, for distances, the vertex positions.
struct RayLane : RayArrays {
  double T[kSurfaceSlots];
  double ZV[kSurfaceSlots];
  int agrees;  // entries 0..agrees of the ray arrays (0..agrees-1 of FLAG) equal the base
};

// One worker's arrays: two lanes, for the -h and the +h trace of a
// derivative (lane 0 also traces at p), and the trace at p.
struct RayWork {
  RayLane lane[2];
  double baseX[kSurfaceSlots], baseY[kSurfaceSlots], baseZ[kSurfaceSlots];
  double baseU[kSurfaceSlots], baseV[kSurfaceSlots];
  int baseFLAG[kSurfaceSlots];
  double baseT[kSurfaceSlots];  // the varied array at the values of p
  double N[kSurfaceSlots];      // the indices of the task's wavelength
};

// One evaluation as the tasks see it: read only while they run.
struct Evaluation {
  const State* s;
  Varied what;
  int n;
  const int* iv;
  const double* p;
  bool retrace;
};

// Readies a lane to be traced from step `first`: its vertex positions, and
// the base values that its last trace overwrote before `first`. Returns the
// surfaces the lane's trace reads.
TraceSurfaces ready_lane(const Evaluation& e, RayWork& w, RayLane& l, int first);

// The lane's values at the evaluated surface.
RayValues values_at_last(const State& s, const RayLane& l);

// The lane's trace becomes the base: the trace at p.
void keep_as_base(RayWork& w, const RayLane& l, int numb);

// The -h and +h traces of variable m, side by side.
void trace_derivative(const Evaluation& e, RayWork& w, int m, RayValues& minus, RayValues& plus);

}  // namespace lumaveil

#endif
