#include "cli/fields/bundle.h"

#include <cmath>
#include <limits>

#include "model/aperture.h"

namespace lumaveil::fields {
namespace {

constexpr double kLost = std::numeric_limits<double>::quiet_NaN();

int image_surface(const State& s) { return s.NUMB - 1; }

// The start values of a ray offset from `centre` by a step in the
// aperture: heights (kind 1) or angles (kind 2).
StartRay offset(const StartRay& centre, int kind, double dx, double dy) {
  StartRay r = centre;
  if (kind == 1) {
    r.x += dx;
    r.y += dy;
  } else {
    r.u += dx;
    r.v += dy;
  }
  return r;
}

// The spot: the grid of mode 1 around the chief ray's start, in its order.
void trace_spot(RayAimer& aimer, const StartRay& chief, Bundle& b) {
  const State& s = aimer.lens();
  const int ns = s.NS, kind = s.IAP, image = image_surface(s);
  const double half_width = kind == 1 ? s.RH : s.RU;
  for (long long j = -static_cast<long long>(ns); j <= ns; ++j) {
    for (long long l = -static_cast<long long>(ns); l <= ns; ++l) {
      if (j * j + l * l > static_cast<long long>(ns) * ns) continue;
      const StartRay start = offset(chief, kind, aperture_offset(j, half_width, ns),
                                    aperture_offset(l, half_width, ns));
      const State& t = aimer.trace(start);
      if (first_failed_surface(t, image) != 0) {
        b.spot.push_back({kLost, kLost});
      } else {
        b.spot.push_back({t.X[image], t.Y[image]});
      }
    }
  }
  b.spot_stats = plot::spot_stats(b.spot);
}

// A fan: rays aimed at the stop points (p, 0) (tangential) or (0, p).
std::vector<FanPoint> trace_fan(RayAimer& aimer, const Bundle& b, bool sagittal, int points) {
  std::vector<FanPoint> fan;
  const int image = image_surface(aimer.lens());
  for (int i = 0; i < points; ++i) {
    const double p = -1 + 2.0 * i / (points - 1);
    const Aimed a = sagittal ? aimer.aim(b.field, 0, p) : aimer.aim(b.field, p, 0);
    FanPoint point{p, kLost, kLost};
    if (a.ok()) {
      const State& t = aimer.trace(a.start);
      if (first_failed_surface(t, image) == 0) point = {p, t.X[image] - b.x, t.Y[image] - b.y};
    }
    fan.push_back(point);
  }
  return fan;
}

// The ray's (z, x) on surfaces 0..NUMB-1, up to where it fails.
std::vector<svg::Point> ray_path(RayAimer& aimer, const StartRay& start) {
  const State& s = aimer.trace(start);
  const int failed = first_failed_surface(s, image_surface(s));
  const int last = failed == 0 ? image_surface(s) : failed - 1;
  std::vector<svg::Point> path;
  for (int k = 0; k <= last; ++k) path.push_back({s.Z[k], s.X[k]});
  return path;
}

void trace_paths(RayAimer& aimer, Bundle& b) {
  b.paths.push_back(ray_path(aimer, b.chief.start));
  for (double p : {1.0, -1.0}) {
    const Aimed rim = aimer.aim(b.field, p, 0);
    if (rim.ok()) b.paths.push_back(ray_path(aimer, rim.start));
  }
}

// Where two neighbouring rays, given by their points and angles on the
// image surface, cross in their projection on the x–z plane (or y–z): each
// runs along x(z) = X − tan U·(z − Z).
double crossing_z(double x1, double t1, double z1, double x2, double t2, double z2) {
  return (x1 - x2 + t1 * z1 - t2 * z2) / (t1 - t2);
}

// Where the pair of rays beside the chief ray, `h` apart from it in the
// start heights (kind 1) or angles (kind 2), cross: in x (tangential) or y
// (sagittal). Not finite when a ray is lost.
double pair_crossing(RayAimer& aimer, const StartRay& chief, bool sagittal, double h) {
  const State& s = aimer.lens();
  const int image = image_surface(s);
  double p[2], t[2], z[2];
  for (int side = 0; side < 2; ++side) {
    const double d = side == 0 ? h : -h;
    const State& r = aimer.trace(offset(chief, s.IAP, sagittal ? 0 : d, sagittal ? d : 0));
    if (first_failed_surface(r, image) != 0) return kLost;
    p[side] = sagittal ? r.Y[image] : r.X[image];
    t[side] = std::tan(sagittal ? r.V[image] : r.U[image]);
    z[side] = r.Z[image];
  }
  return crossing_z(p[0], t[0], z[0], p[1], t[1], z[1]);
}

// The tangential or sagittal focus of the thin pencil about the chief ray.
// The crossing of a pair at ±h moves with h² (the pair is symmetric); pairs
// at a hundredth and a fiftieth of the aperture, extrapolated to h = 0,
// keep the rounding of the trace (the difference of nearly equal angles)
// far below what a much thinner pair would show.
double pencil_focus(RayAimer& aimer, const StartRay& chief, bool sagittal) {
  const State& s = aimer.lens();
  const double h = 1e-2 * (s.IAP == 1 ? s.RH : s.RU);
  const double near = pair_crossing(aimer, chief, sagittal, h);
  const double far = pair_crossing(aimer, chief, sagittal, 2 * h);
  return (4 * near - far) / 3;
}

}  // namespace

Bundle trace_bundle(RayAimer& aimer, double field, int fan_points) {
  Bundle b;
  b.q = aimer.wavelength();
  b.field = field;
  b.chief = aimer.aim_chief(field);
  if (!b.chief.ok()) {
    b.problem = "chief ray: " + b.chief.message;
    return b;
  }
  const State& s = aimer.trace(b.chief.start);
  const int image = image_surface(s);
  const int failed = first_failed_surface(s, image);
  if (failed != 0) {
    b.problem = "the chief ray " + failure_text(s, failed);
    return b;
  }
  b.reaches_image = true;
  b.x = s.X[image];
  b.y = s.Y[image];
  b.z = s.Z[image];
  b.tangential_focus = pencil_focus(aimer, b.chief.start, false) - b.z;
  b.sagittal_focus = pencil_focus(aimer, b.chief.start, true) - b.z;
  trace_spot(aimer, b.chief.start, b);
  b.tangential_fan = trace_fan(aimer, b, false, fan_points);
  b.sagittal_fan = trace_fan(aimer, b, true, fan_points);
  trace_paths(aimer, b);
  return b;
}

}  // namespace lumaveil::fields
