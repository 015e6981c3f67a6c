#include "aim.h"

#include <cmath>

namespace lumaveil::quality {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The centre of the stop surface: its vertex point (a sphere's axis may be
// shifted; a tilted plane turns about the axis point).
void stop_centre(const State& s, int stop, double& xc, double& yc) {
  const bool shifted = stop > 0 && s.TYPE[stop] != 1 && s.TYPE[stop] != 2;
  xc = shifted ? s.Xd[stop] : 0.0;
  yc = shifted ? s.Yd[stop] : 0.0;
}

// The start of the field's ray with free values (a, b): heights for an
// object at infinity, the tangents of the angles for an object on the start
// plane.
RayStart field_ray(const State& s, double field, double a, double b) {
  RayStart r;
  if (object_at_infinity(s)) {
    r.x = a;
    r.y = b;
    r.v = field * kPi / 180.0;
  } else {
    r.y = field;
    r.u = std::atan(a);
    r.v = std::atan(b);
  }
  return r;
}

// Where the ray misses the stop centre, in x and y.
bool stop_miss(const State& s, int stop, const RayStart& start, double miss[2]) {
  RayArrays ray;
  trace_from_start(s, start, ray);
  double xc, yc;
  stop_centre(s, stop, xc, yc);
  miss[0] = ray.X[stop] - xc;
  miss[1] = ray.Y[stop] - yc;
  return std::isfinite(miss[0]) && std::isfinite(miss[1]);
}

}  // namespace

void trace_from_start(const State& s, const RayStart& start, RayArrays& ray) {
  ray.X[0] = start.x;
  ray.Y[0] = start.y;
  ray.Z[0] = 0.0;
  ray.U[0] = start.u;
  ray.V[0] = start.v;
  trace_steps(surfaces_of(s), ray.ray(), 0);
}

bool aim_chief_ray(const State& s, int stop, double field, RayStart& chief) {
  const double scale = object_at_infinity(s) ? std::fmax(1.0, std::fabs(s.RH)) : 1.0;
  const double h = 1e-6 * scale;  // finite-difference step of the Jacobian
  double a = 0, b = 0;
  for (int iteration = 0; iteration < 50; ++iteration) {
    double f[2], fa[2], fb[2];
    if (!stop_miss(s, stop, field_ray(s, field, a, b), f)) return false;
    if (std::hypot(f[0], f[1]) <= 1e-12 * scale) {
      chief = field_ray(s, field, a, b);
      return true;
    }
    if (!stop_miss(s, stop, field_ray(s, field, a + h, b), fa)) return false;
    if (!stop_miss(s, stop, field_ray(s, field, a, b + h), fb)) return false;
    // Newton step on the 2x2 Jacobian of the miss.
    const double j00 = (fa[0] - f[0]) / h, j10 = (fa[1] - f[1]) / h;
    const double j01 = (fb[0] - f[0]) / h, j11 = (fb[1] - f[1]) / h;
    const double det = j00 * j11 - j01 * j10;
    if (det == 0 || !std::isfinite(det)) return false;
    a -= (j11 * f[0] - j01 * f[1]) / det;
    b -= (j00 * f[1] - j10 * f[0]) / det;
  }
  return false;
}

double exit_pupil_z(const State& s, int stop) {
  // A ray from the stop centre at a small angle in y, traced from the stop on.
  RayArrays ray;
  double xc, yc;
  stop_centre(s, stop, xc, yc);
  for (int k = 0; k <= stop; ++k) ray.FLAG[k] = 0;
  ray.X[stop] = xc;
  ray.Y[stop] = yc;
  ray.Z[stop] = stop == 0 ? 0.0 : s.ZV[stop - 1];
  ray.U[stop] = 0.0;
  ray.V[stop] = 1e-5;
  trace_steps(surfaces_of(s), ray.ray(), stop);
  // Its last segment, y(z) = Y[a] - tan V[a] (z - Z[a]), meets the axis line
  // of the stop centre.
  const int a = s.NUMB - 2;
  return ray.Z[a] + (ray.Y[a] - yc) / std::tan(ray.V[a]);
}

}  // namespace lumaveil::quality
