#include <cmath>

#include "trace/direction.h"
#include "trace/trace.h"

namespace lumaveil {

void trace_sphere(const TraceSurfaces& s, const TraceRay& ray, int i) {
  const int k = i + 1;
  const double c = s.c[k];
  const double zv = s.zv[k - 1];
  const double xd = s.xd[k];
  const double yd = s.yd[k];
  const double nb = s.n[k - 1];
  const double na = s.n[k];

  double tu = std::tan(ray.u[i]);
  double tv = std::tan(ray.v[i]);

  // Where the ray crosses z = 0, measured from the shifted axis.
  double x0 = tu * ray.z[i] + ray.x[i] - xd;
  double y0 = tv * ray.z[i] + ray.y[i] - yd;

  // Intersect the surface: the root of the sphere equation on the vertex side.
  if (c == 0) {
    ray.z[k] = zv;
  } else {
    double qa = tu * tu + 1 + tv * tv;
    double qb = -2 * (1 / c + zv + tu * x0 + tv * y0);
    double qc = zv * zv + 2 * zv / c + x0 * x0 + y0 * y0;
    double root = std::sqrt(qb * qb - 4 * qa * qc);
    ray.z[k] = c > 0 ? (-qb - root) / (2 * qa) : (-qb + root) / (2 * qa);
  }
  ray.x[k] = ray.x[i] - (ray.z[k] - ray.z[i]) * tu;
  ray.y[k] = ray.y[i] - (ray.z[k] - ray.z[i]) * tv;

  // Unit normal with positive z component.
  Vec3 n;
  n.x = (xd - ray.x[k]) * c;
  n.y = (yd - ray.y[k]) * c;
  n.z = c == 0 ? 1 : (zv + 1 / c - ray.z[k]) * c;
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
  ray.u[k] = -std::atan(e.x / e.z);
  ray.v[k] = -std::atan(e.y / e.z);

  // After a mirror the ray is described in the frame folded about the
  // vertex plane, in which it travels toward +z again.
  if (mirror) {
    ray.z[k] = 2 * zv - ray.z[k];
    ray.u[k] = -ray.u[k];
    ray.v[k] = -ray.v[k];
  }
}

void trace_sphere(State& s, int i) { trace_sphere(surfaces_of(s), ray_of(s), i); }

}  // namespace lumaveil
