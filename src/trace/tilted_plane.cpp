#include <cmath>

#include "trace/direction.h"
#include "trace/trace.h"

namespace lumaveil {

void trace_tilted_plane(State& s, int i) {
  const int k = i + 1;
  const double A = s.Xd[k];
  const double B = s.Yd[k];
  const double zv = s.ZV[k - 1];
  const double nb = s.N[0][k - 1];
  const double na = s.N[0][k];

  double tu = std::tan(s.U[i]);
  double tv = std::tan(s.V[i]);

  // Intersect the plane z = zv + A·x + B·y.
  s.Z[k] = ((tu * s.Z[i] + s.X[i]) * A + zv + (tv * s.Z[i] + s.Y[i]) * B) /
           (A * tu + 1 + B * tv);
  s.X[k] = s.X[i] - (s.Z[k] - s.Z[i]) * tu;
  s.Y[k] = s.Y[i] - (s.Z[k] - s.Z[i]) * tv;

  // Unit normal of the plane.
  double L = std::sqrt(A * A + B * B + 1);
  Vec3 n{-A / L, -B / L, 1 / L};

  // Angle of incidence, guarded against rounding above 1.
  Vec3 d = unit_direction(tu, tv);
  double g = std::fabs(n.x * d.x + n.y * d.y + n.z * d.z);
  double I = g < 1 ? std::acos(g) : 0;
  double sI = std::sin(I);
  double cI = std::cos(I);

  // Angle of refraction with the indices as they stand: no mirror here.
  double r = std::asin(sI * nb / na);
  Vec3 e = turned_direction(d, refraction_turn(n, d, I, r, sI, cI));
  s.U[k] = -std::atan(e.x / e.z);
  s.V[k] = -std::atan(e.y / e.z);
}

}  // namespace lumaveil
