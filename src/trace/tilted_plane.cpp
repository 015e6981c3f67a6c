#include <cmath>

#include "trace/direction.h"
#include "trace/trace.h"

namespace lumaveil {

void trace_tilted_plane(const TraceSurfaces& s, const TraceRay& ray, int i) {
  const int k = i + 1;
  const double A = s.xd[k];
  const double B = s.yd[k];
  const double zv = s.zv[k - 1];
  const double nb = s.n[k - 1];
  const double na = s.n[k];

  double tu = std::tan(ray.u[i]);
  double tv = std::tan(ray.v[i]);
  keep_slopes(ray, i, tu, tv);

  // Intersect the plane z = zv + A·x + B·y.
  ray.z[k] = ((tu * ray.z[i] + ray.x[i]) * A + zv + (tv * ray.z[i] + ray.y[i]) * B) /
           (A * tu + 1 + B * tv);
  ray.x[k] = ray.x[i] - (ray.z[k] - ray.z[i]) * tu;
  ray.y[k] = ray.y[i] - (ray.z[k] - ray.z[i]) * tv;

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
  ray.u[k] = -std::atan(e.x / e.z);
  ray.v[k] = -std::atan(e.y / e.z);
}

void trace_tilted_plane(State& s, int i) { trace_tilted_plane(surfaces_of(s), ray_of(s), i); }

}  // namespace lumaveil
