// The exact ray trace.
//
// The caller puts the starting ray into element 0 of X, Y, U, V (Z[0] is the
// start plane z = 0), the vertex positions into ZV and the indices of the
// wavelength into the working row N[0]. trace_ray then carries the ray through
// surfaces 1..NUMB and leaves, for each surface k, the point where the ray
// meets it (X[k], Y[k], Z[k]) and its angles after it (U[k], V[k]). Nothing is
// tested: a ray that misses a surface or is totally reflected carries
// not-a-number values on through every later surface.
//
// Each surface routine traces step i, from surface i to surface k = i+1.
#ifndef LUMAVEIL_TRACE_TRACE_H
#define LUMAVEIL_TRACE_TRACE_H

#include "model/state.h"

namespace lumaveil {

// What a sphere step computes from its surface alone, the same for every
// ray: the parts of the intersection's quadratic that come from the
// vertex position zv, and the z of the centre of curvature. Each is the
// expression of the step as it stands, so its bits are those the step would
// compute for itself.
struct SphereConstants {
  double b_part;    // 1 / c + zv, the start of the linear coefficient
  double c_part;    // zv * zv + 2 * zv / c, the start of the constant one
  double centre_z;  // zv + 1 / c
};

// The surface data one trace reads: the lens, the vertex positions and the
// indices of one wavelength (index k after surface k). Several rays may be
// traced at once against the same surfaces. sphere, when set, holds the
// constants of each sphere surface k (sphere_constants); otherwise each
// step takes them for itself.
struct TraceSurfaces {
  int numb;
  const int* type;
  const double* c;
  const double* d;
  const double* xd;
  const double* yd;
  const double* zv;
  const double* n;
  const SphereConstants* sphere;
};

// The constants of surfaces k = 1..numb into sphere[k], for many rays
// traced through the same surfaces.
void sphere_constants(const TraceSurfaces& s, SphereConstants* sphere);

// The arrays one trace fills: the ray at each surface, entry 0 the start.
// When tu and tv are set, each step i also leaves there the slopes tan U[i]
// and tan V[i] of the ray it starts from, the very values it traced with, so
// that the optical path need not take the tangents again. When
// start_slopes is set, tu[0] and tv[0] already hold std::tan of u[0] and
// v[0] (the same call on the same bits), and step 0 takes them as they are.
struct TraceRay {
  double* x;
  double* y;
  double* z;
  double* u;
  double* v;
  int* flag;
  double* tu;
  double* tv;
  bool start_slopes;
};

// Step i keeps the slopes of its ray when the ray has room for them.
inline void keep_slopes(const TraceRay& ray, int i, double tu, double tv) {
  if (ray.tu == nullptr) return;
  ray.tu[i] = tu;
  ray.tv[i] = tv;
}

// A ray's own arrays, for a trace beside the one on the state block.
struct RayArrays {
  double X[kSurfaceSlots], Y[kSurfaceSlots], Z[kSurfaceSlots];
  double U[kSurfaceSlots], V[kSurfaceSlots];
  int FLAG[kSurfaceSlots];
  double TU[kSurfaceSlots], TV[kSurfaceSlots];
  TraceRay ray() { return {X, Y, Z, U, V, FLAG, nullptr, nullptr, false}; }
  // The same, each step also keeping its slopes in TU and TV.
  TraceRay ray_with_slopes() { return {X, Y, Z, U, V, FLAG, TU, TV, false}; }
};

// The lens data and the ray arrays of the state block (working row N[0]).
TraceSurfaces surfaces_of(const State& s);
TraceRay ray_of(State& s);

// Steps i = 0..NUMB-1 in order; type 1 and 2 surfaces have their own routines,
// every other type is a sphere or plane.
void trace_ray(State& s);

// Steps i = first..NUMB-1 only: the ray must already hold, at entries
// 0..first, what the steps before `first` leave there.
void trace_steps(const TraceSurfaces& s, const TraceRay& ray, int first);

// Two independent traces through the same number of surfaces, step by step
// in turn, so that the processor can work on both chains of calls at once:
// ray a from step first_a on, ray b from first_b on. Each ray's results are
// those of trace_steps alone.
void trace_steps_side_by_side(const TraceSurfaces& sa, const TraceRay& a, int first_a,
                              const TraceSurfaces& sb, const TraceRay& b, int first_b);

// A sphere or plane whose axis is shifted by (Xd, Yd); refracts, or reflects
// when the index after it is negative.
void trace_sphere(State& s, int i);
void trace_sphere(const TraceSurfaces& s, const TraceRay& ray, int i);
// Step i of two independent rays at once, stage by stage in turn; each ray's
// results are those of trace_sphere alone.
void trace_sphere_pair(const TraceSurfaces& sa, const TraceRay& a, const TraceSurfaces& sb,
                       const TraceRay& b, int i);

// An ideal element of focal length D[i] obeying the sine condition, with
// surface i as its front and surface k as its back focal plane.
void trace_ideal(State& s, int i);
void trace_ideal(const TraceSurfaces& s, const TraceRay& ray, int i);

// A plane through the axis point with slopes dz/dx = Xd[k] and dz/dy = Yd[k].
void trace_tilted_plane(State& s, int i);
void trace_tilted_plane(const TraceSurfaces& s, const TraceRay& ray, int i);

}  // namespace lumaveil

#endif
