#include <cmath>

#include "trace/direction.h"
#include "trace/trace.h"

namespace lumaveil {

void trace_sphere(State& s, int i) {
  const int k = i + 1;
  const double c = s.C[k];
  const double zv = s.ZV[k - 1];
  const double xd = s.Xd[k];
  const double yd = s.Yd[k];
  const double nb = s.N[0][k - 1];
  const double na = s.N[0][k];

  double tu = std::tan(s.U[i]);
  double tv = std::tan(s.V[i]);

  // Where the ray crosses z = 0, measured from the shifted axis.
  double x0 = tu * s.Z[i] + s.X[i] - xd;
  double y0 = tv * s.Z[i] + s.Y[i] - yd;

  // Intersect the surface: the root of the sphere equation on the vertex side.
  if (c == 0) {
    s.Z[k] = zv;
  } else {
    double qa = tu * tu + 1 + tv * tv;
    double qb = -2 * (1 / c + zv + tu * x0 + tv * y0);
    double qc = zv * zv + 2 * zv / c + x0 * x0 + y0 * y0;
    double root = std::sqrt(qb * qb - 4 * qa * qc);
    s.Z[k] = c > 0 ? (-qb - root) / (2 * qa) : (-qb + root) / (2 * qa);
  }
  s.X[k] = s.X[i] - (s.Z[k] - s.Z[i]) * tu;
  s.Y[k] = s.Y[i] - (s.Z[k] - s.Z[i]) * tv;

  // Unit normal with positive z component.
  Vec3 n;
  n.x = (xd - s.X[k]) * c;
  n.y = (yd - s.Y[k]) * c;
  n.z = c == 0 ? 1 : (zv + 1 / c - s.Z[k]) * c;
  if (n.z > 1) n.z = 1;

  // Angle of incidence.
  Vec3 d = unit_direction(tu, tv);
  double I = std::acos(std::fabs(n.x * d.x + n.y * d.y + n.z * d.z));
  double sI = std::sin(I);
  double cI = std::cos(I);

  // Refract, or reflect when the index after the surface is negative (or
  // not a number). Behind a mirror the index before counts by its size.
  const bool mirror = !(na >= 0);
  Turn turn;
  if (!mirror) {
    double r = std::asin(std::fabs(nb) * sI / na);
    turn = refraction_turn(n, d, I, r, sI, cI);
  } else {
    turn = reflection_turn(n, d, sI, cI);
  }
  Vec3 e = turned_direction(d, turn);
  s.U[k] = -std::atan(e.x / e.z);
  s.V[k] = -std::atan(e.y / e.z);

  // After a mirror the ray is described in the frame folded about the
  // vertex plane, in which it travels toward +z again.
  if (mirror) {
    s.Z[k] = 2 * zv - s.Z[k];
    s.U[k] = -s.U[k];
    s.V[k] = -s.V[k];
  }
}

}  // namespace lumaveil
