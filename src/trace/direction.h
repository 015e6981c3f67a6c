// Turning a ray's direction at a surface.
//
// The incident unit direction d is turned within the plane of incidence from
// the angle I to the angle r from the unit normal n (whose z component is
// positive). h is the length of the chord between the two unit vectors and w
// a vector along that chord, so the new direction is e = d + h·w/|w|. For
// refraction this equals Snell's law in vector form,
//   e = μ·d + (cos r − μ·cos I)·n,   μ = sin r / sin I;
// for reflection it is the mirror direction reversed to travel toward +z.
#ifndef LUMAVEIL_TRACE_DIRECTION_H
#define LUMAVEIL_TRACE_DIRECTION_H

#include <cmath>

namespace lumaveil {

struct Vec3 {
  double x, y, z;
};

// A change of direction: the chord length h and a vector w along the chord.
struct Turn {
  double h;
  Vec3 w;
};

// The unit direction of a ray with tan U = tu and tan V = tv.
inline Vec3 unit_direction(double tu, double tv) {
  double s = 1 / std::sqrt(tu * tu + 1 + tv * tv);
  return {-tu * s, -tv * s, s};
}

// Refraction from the angle of incidence I to the angle of refraction r,
// sI = sin I and cI = cos I.
inline Turn refraction_turn(const Vec3& n, const Vec3& d, double I, double r, double sI,
                            double cI) {
  double sR = std::sin(r);
  double cR = std::cos(r);
  if (I > r) {
    // Into the denser medium: the chord runs from d toward kappa·n.
    double h = std::sqrt((cR - cI) * (cR - cI) + (sI - sR) * (sI - sR));
    double kappa = std::tan((I + r) / 2) * sR + cR;
    return {h, {kappa * n.x - d.x, kappa * n.y - d.y, kappa * n.z - d.z}};
  }
  // Into the rarer medium (or no change): the chord runs away from kappa·n.
  double h = std::sqrt((cI - cR) * (cI - cR) + (sR - sI) * (sR - sI));
  double kappa = std::tan((I + r) / 2) * sI + cI;
  return {h, {d.x - kappa * n.x, d.y - kappa * n.y, d.z - kappa * n.z}};
}

// Reflection at the angle of incidence with sine sI and cosine cI.
inline Turn reflection_turn(const Vec3& n, const Vec3& d, double sI, double cI) {
  double h = 2 * sI;
  double kappa = cI;
  return {h, {kappa * n.x - d.x, kappa * n.y - d.y, kappa * n.z - d.z}};
}

// The new unit direction e = d + h·w/|w| (d itself when |w| = 0).
inline Vec3 turned_direction(const Vec3& d, const Turn& turn) {
  const Vec3& w = turn.w;
  double length = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
  if (length == 0) return d;
  return {d.x + (turn.h * w.x) / length, d.y + (turn.h * w.y) / length,
          d.z + (turn.h * w.z) / length};
}

}  // namespace lumaveil

#endif
