// Aiming rays through the aperture stop.
//
// A field point is given along x: for aperture kind 1 (object at infinity)
// as the angle U of the incoming rays in radians, for kind 2 (object on the
// start plane) as the object height X. A positive field puts the object on
// the +x side: its rays head toward -x, and a positive lens images it at -x.
//
// The stop is surface K of the lens (1..NUMB-2). Its centre is its axis
// point (Xd[K], Yd[K]) for a sphere or plane, (0, 0) for an ideal element or
// a tilted plane. Its radius is where the axial rim rays meet it: the rays
// that start at heights ±RH parallel to the axis (kind 1) or at angles ±RU
// from the axis point (kind 2), at wavelength 1; half the distance between
// their two points on surface K.
//
// A ray of a field point is aimed at the normalised stop point (px, py): the
// point centre + (px, py)·radius on surface K. Newton's method adjusts the
// start heights X, Y (kind 1, the angle U being the field and V = 0) or the
// start angles U, V (kind 2, the height X being the field and Y = 0) until
// the ray traced by the library's own trace_ray meets the stop within
// kAimTolerance of the stop radius. The chief ray is the point (0, 0).
//
// The aimed start values, put into the lens file as the central ray, give
// in mode 1 exactly the ray that the aimer traced: the same tracer, the same
// working row of indices, the same vertex positions.
#ifndef LUMAVEIL_CLI_FIELDS_AIM_H
#define LUMAVEIL_CLI_FIELDS_AIM_H

#include <memory>
#include <string>

#include "model/state.h"

namespace lumaveil::fields {

constexpr double kAimTolerance = 1e-9;  // of the stop radius
constexpr int kMaxAimSteps = 40;        // Newton steps before giving up

// Start values of a ray on the start plane (surface 0, z = 0), as the lens
// file's central ray holds them: heights X, Y and angles U, V in radians.
struct StartRay {
  double x = 0, y = 0, u = 0, v = 0;
};

enum class AimError {
  kNone,
  kBadStop,         // the stop is not a surface 1..NUMB-2 of the lens
  kBadAperture,     // kind neither 1 nor 2, or the axial rim rays give the stop no size
  kBadWavelength,   // q outside 1..NW
  kMisses,          // the ray fails (misses a surface, or is totally reflected) before the stop
  kNoConvergence,   // not within the tolerance after kMaxAimSteps steps
};

struct Aimed {
  AimError error = AimError::kNone;
  StartRay start;       // the aimed start values (the last tried when aiming failed)
  int surface = 0;      // kMisses: the first surface where the ray fails
  int steps = 0;        // Newton steps taken
  double miss = 0;      // distance between the ray and its target on the stop
  std::string message;  // the failure in words; empty when aimed
  bool ok() const { return error == AimError::kNone; }
};

struct Stop {
  int surface = 0;
  double x = 0, y = 0;  // centre: the axis point of the stop surface
  double radius = 0;    // where the axial rim rays meet it
};

// Aims rays of one lens at one wavelength. Keeps its own copy of the lens
// (the state block is large: make one aimer per lens and wavelength and aim
// many rays with it).
class RayAimer {
 public:
  // `lens` as read by the library's reader; `stop` the surface number K;
  // wavelength q from 1. When the stop or aperture is unusable, every aim
  // returns that error (see setup()).
  RayAimer(const State& lens, int stop, int q);
  ~RayAimer();
  RayAimer(const RayAimer&) = delete;
  RayAimer& operator=(const RayAimer&) = delete;

  // The error of the set-up (kNone, kBadStop, kBadAperture, kBadWavelength).
  const Aimed& setup() const { return setup_; }
  const Stop& stop() const { return stop_; }
  int wavelength() const { return q_; }

  // The chief ray of a field point: aimed at the stop's centre.
  Aimed aim_chief(double field);
  // The ray of a field point aimed at the normalised stop point (px, py).
  Aimed aim(double field, double px, double py);

  // Traces `start` through the whole lens (surfaces 1..NUMB) at this
  // wavelength with trace_ray, as mode 1 does; the ray stands in the arrays
  // of the returned state until the next trace or aim.
  const State& trace(const StartRay& start);
  // The lens with the vertex positions and working row set for tracing.
  const State& lens() const { return *s_; }

 private:
  std::unique_ptr<State> s_;
  int q_;
  Stop stop_;
  Aimed setup_;
};

// One-off forms: each builds an aimer (a copy of the lens) for one ray.
Aimed aim_chief_ray(const State& lens, int stop, double field, int q);
Aimed aim_ray(const State& lens, int stop, double field, int q, double px, double py);

// The first surface 1..last at which the traced ray in `s` is not finite,
// or 0 when it is finite on all of them.
int first_failed_surface(const State& s, int last);
// How the traced ray in `s` fails at surface k, in words: "misses surface
// k", "is totally reflected at surface k", ….
std::string failure_text(const State& s, int k);

}  // namespace lumaveil::fields

#endif
