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
Vec3 unit_direction(double tu, double tv);

// Refraction from the angle of incidence I to the angle of refraction r,
// sI = sin I and cI = cos I.
Turn refraction_turn(const Vec3& n, const Vec3& d, double I, double r, double sI, double cI);

// Reflection at the angle of incidence with sine sI and cosine cI.
Turn reflection_turn(const Vec3& n, const Vec3& d, double sI, double cI);

// The new unit direction e = d + h·w/|w| (d itself when |w| = 0).
Vec3 turned_direction(const Vec3& d, const Turn& turn);

}  // namespace lumaveil

#endif
