#include "cli/fields/paraxial.h"

#include <cmath>

#include "cli/first_order.h"

namespace lumaveil::fields {
namespace {

using cli::ParaxialRay;
using cli::paraxial_trace;

// The height a paraxial ray reaches at surface `last`, as a linear function
// of its start: y_last = a·y0 + b·slope0.
struct Linear {
  double a, b;
};
Linear heights_at(const State& s, int q, int last) {
  return {paraxial_trace(s, q, {1, 0}, last).y, paraxial_trace(s, q, {0, 1}, last).y};
}

// The paraxial chief ray's start: the ray of the field that crosses the
// axis at the stop.
ParaxialRay chief_start(const State& s, int q, int stop, double field) {
  const Linear at_stop = heights_at(s, q, stop);
  if (s.IAP == 1) {
    const double slope = -std::tan(field);
    return {-at_stop.b * slope / at_stop.a, slope};
  }
  return {field, -at_stop.a * field / at_stop.b};
}

}  // namespace

double paraxial_image_height(const State& s, int q, int stop, double field) {
  const ParaxialRay start = chief_start(s, q, stop, field);
  return paraxial_trace(s, q, start, s.NUMB - 1).y;
}

Pupils pupils(const State& s, int q, int stop, double stop_radius) {
  Pupils p{};
  // Entrance pupil: where the object-space chief ray crosses the axis. A
  // ray's height there is its height at the stop divided by a (the stop's
  // image is magnified 1/a).
  const Linear at_stop = heights_at(s, q, stop);
  p.entrance_z = at_stop.b / at_stop.a;
  p.entrance_radius = std::fabs(stop_radius / at_stop.a);

  // Exit pupil: where the image-space chief ray crosses the axis, behind
  // the last surface of the lens (NUMB-2). Any ray through a stop point
  // reaches the exit pupil at that point times the pupil magnification:
  // take the parallel ray through the stop at height 1.
  const int last = s.NUMB - 2;
  const ParaxialRay chief = paraxial_trace(s, q, {-at_stop.b, at_stop.a}, last);
  const ParaxialRay unit = paraxial_trace(s, q, {1 / at_stop.a, 0}, last);
  const double behind_last = -chief.y / chief.slope;
  p.exit_z = s.ZV[last - 1] + behind_last;
  p.exit_radius = std::fabs(stop_radius * (unit.y + unit.slope * behind_last));
  return p;
}

}  // namespace lumaveil::fields
