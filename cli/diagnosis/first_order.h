// First-order (paraxial) data of the lens, from a y-nu trace of the centred
// system, and the real-ray check with the library's own tracer.
//
// The paraxial trace follows the exact tracer's rules with every angle
// small: a sphere or plane refracts by |n|·u = n'·u' − y·c·(n' − |n|) (in
// slopes), or reflects when the index after it is negative, the trace then
// going on in the unfolded frame; a tilted plane refracts as a plane with its
// indices as written; an ideal element maps its front focal plane (the
// surface before it) to its back focal plane. Axis shifts and the slopes of
// tilted planes are ignored: this is the centred system.
#ifndef LUMAVEIL_CLI_DIAGNOSIS_FIRST_ORDER_H
#define LUMAVEIL_CLI_DIAGNOSIS_FIRST_ORDER_H

#include <string>
#include <vector>

#include "model/state.h"

namespace lumaveil::cli::diagnosis {

// A paraxial ray: height y and slope dy/dz (the library's angle U is −slope).
struct ParaxialRay {
  double y, slope;
};

// Traces a paraxial ray from the start plane (z = 0) to surface `last` at
// wavelength q (row N[q]); the ray after surface `last`.
ParaxialRay paraxial_trace(const State& s, int q, ParaxialRay start, int last);

enum class ObjectKind { kInfinity, kStartPlane };

// First-order data at one wavelength. The lens is surfaces 1..NUMB-2; the
// image plane is surface NUMB-1. Distances are along z, positive toward +z
// (in the unfolded frame behind a mirror).
struct FirstOrder {
  int q;
  bool afocal;  // no power: the focal data are infinite
  double efl;   // effective focal length 1/power (n' · slope in image space)
  double bfd;   // back focal point, measured from surface NUMB-2
  double ffd;   // front focal point, measured from surface 1, positive in front
  ObjectKind object;
  double image;  // paraxial image of the object, from surface NUMB-2
  bool image_at_infinity;
  double defocus;  // z of the image plane minus z of the paraxial image
  bool has_f_number;
  double f_number;  // EFL / (2·RH), for a height aperture (kind 1)
};

// The object the rays of the lens data come from: at infinity when they start
// parallel (aperture kind 1 or any other kind than 2), else the start point
// on the start plane (kind 2: the rays fan out from it).
ObjectKind object_kind(const State& s);

// Needs NUMB ≥ 3 (a surface, the image plane and the closing plane).
FirstOrder first_order(const State& s, int q);

// The first surface at which a real ray fails, or none.
enum class RayFailure { kNone, kMisses, kTotallyReflected, kBeyondIdealElement };
struct RayCheck {
  std::string ray;  // "central ray", "upper rim ray", …
  int q;
  RayFailure failure;
  int surface;  // the surface where it first fails
};

// Traces the central ray, the two rim rays and the four extreme points of
// the spot grid at every wavelength with the library's tracer (on a copy of
// the state) and returns those that fail before surface NUMB-1, and how.
std::vector<RayCheck> real_ray_check(const State& s);

// How many rays real_ray_check traces per wavelength.
constexpr int kCheckedRays = 7;

}  // namespace lumaveil::cli::diagnosis

#endif
