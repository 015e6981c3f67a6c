#include "wavefront.h"

#include <cmath>
#include <limits>

#include "aberration/optical_path.h"

namespace lumaveil::quality {
namespace {

// The optical path of a traced ray from the start to its point on the image
// surface, as the library measures it segment by segment; for a parallel
// beam from infinity it starts on the plane wavefront through the origin.
double path_to_image(const State& s, RayArrays& ray, bool infinity) {
  double opl[kSurfaceSlots];
  path_lengths(s, ray.ray(), opl);
  double path = 0.0;
  for (int i = 0; i <= s.NUMB - 2; ++i) path += opl[i];
  if (infinity) {
    // The start point's distance beyond that wavefront, in the first medium.
    const double tu = std::tan(ray.U[0]), tv = std::tan(ray.V[0]);
    const double L = std::sqrt(tu * tu + 1 + tv * tv);
    const double n0 = std::fabs(s.N[0][0]);
    path += n0 * (-tu * ray.X[0] - tv * ray.Y[0]) / L;
  }
  return path;
}

// The unit direction of the ray in the last space, before the image surface.
void last_direction(const State& s, const RayArrays& ray, double d[3]) {
  const int a = s.NUMB - 2;
  const double tu = std::tan(ray.U[a]), tv = std::tan(ray.V[a]);
  const double L = std::sqrt(tu * tu + 1 + tv * tv);
  d[0] = -tu / L;
  d[1] = -tv / L;
  d[2] = 1 / L;
}

StartRay pupil_start(const State& s, const StartRay& chief, double px, double py) {
  StartRay r = chief;
  if (object_at_infinity(s)) {
    r.x = chief.x + px * s.RH;
    r.y = chief.y + py * s.RH;
  } else {
    r.u = std::atan(std::tan(chief.u) + px * std::tan(s.RU));
    r.v = std::atan(std::tan(chief.v) + py * std::tan(s.RU));
  }
  return r;
}

double index_of_last_space(const State& s) {
  const double n = s.N[0][s.NUMB - 2];
  return n < 0 ? 1.0 : n;
}

}  // namespace

bool make_reference(const State& s, int stop, const StartRay& chief, int q, Reference& ref,
                    std::string& reason) {
  ref.chief = chief;
  RayArrays ray;
  trace_from_start(s, ref.chief, ray);
  const int a = s.NUMB - 2, b = s.NUMB - 1;
  ref.image[0] = ray.X[b];
  ref.image[1] = ray.Y[b];
  ref.image[2] = ray.Z[b];
  ref.n_image = index_of_last_space(s);
  ref.wavelength = s.WL[q] * 1e-6;
  // The reference sphere through the chief ray's point in the exit pupil.
  ref.exit_pupil_z = exit_pupil_z(s, stop);
  double d[3];
  last_direction(s, ray, d);
  const double zE = ref.exit_pupil_z;
  const double e[3] = {ray.X[a] - std::tan(ray.U[a]) * (zE - ray.Z[a]),
                       ray.Y[a] - std::tan(ray.V[a]) * (zE - ray.Z[a]), zE};
  const double r[3] = {ref.image[0] - e[0], ref.image[1] - e[1], ref.image[2] - e[2]};
  ref.radius = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  ref.sense = r[0] * d[0] + r[1] * d[1] + r[2] * d[2] >= 0 ? 1 : -1;
  if (!std::isfinite(ref.radius) || ref.radius > kTelecentricRadius) {
    ref.radius = kTelecentricRadius;
    ref.sense = 1;
  }
  const double path = path_to_image(s, ray, object_at_infinity(s));
  ref.chief_path = path - ref.n_image * ref.sense * ref.radius;
  if (!std::isfinite(ref.chief_path) || !std::isfinite(ref.image[0]) ||
      !std::isfinite(ref.image[1])) {
    reason = "the chief ray fails in the trace";
    return false;
  }
  return true;
}

PupilRay trace_pupil_ray(const State& s, const Reference& ref, double px, double py) {
  PupilRay out;
  RayArrays ray;
  trace_from_start(s, pupil_start(s, ref.chief, px, py), ray);
  const int b = s.NUMB - 1;
  last_direction(s, ray, out.dir);
  // Back along the ray from its image point Q to the reference sphere:
  // |Q - t·d - I| = R, the root on the sphere's side of the image point.
  const double w[3] = {ray.X[b] - ref.image[0], ray.Y[b] - ref.image[1], ray.Z[b] - ref.image[2]};
  const double wd = w[0] * out.dir[0] + w[1] * out.dir[1] + w[2] * out.dir[2];
  const double disc = wd * wd - (w[0] * w[0] + w[1] * w[1] + w[2] * w[2]) + ref.radius * ref.radius;
  const double t = wd + ref.sense * std::sqrt(disc);
  const double path = path_to_image(s, ray, object_at_infinity(s)) - ref.n_image * t;
  out.w = (ref.chief_path - path) / ref.wavelength;
  out.spot_x = w[0];
  out.spot_y = w[1];
  out.ok = std::isfinite(out.w) && std::isfinite(w[0]) && std::isfinite(w[1]);
  return out;
}

namespace {

// n'·sin of half the angle between the rim rays at (px, py) and (-px, -py).
double rim_aperture(const State& s, const Reference& ref, double px, double py) {
  PupilRay a = trace_pupil_ray(s, ref, px, py), b = trace_pupil_ray(s, ref, -px, -py);
  if (!a.ok || !b.ok) return std::numeric_limits<double>::quiet_NaN();
  const double c = a.dir[0] * b.dir[0] + a.dir[1] * b.dir[1] + a.dir[2] * b.dir[2];
  return ref.n_image * std::sin(0.5 * std::acos(std::fmin(1.0, c)));
}

}  // namespace

Wavefront sample_wavefront(const State& s, const Reference& ref, int n) {
  Wavefront wf;
  wf.n = n;
  for (int k = 0; k < n; ++k) wf.coord.push_back((2.0 * k + 1 - n) / n);
  const std::size_t cells = static_cast<std::size_t>(n) * n;
  wf.state.assign(cells, Sample::kOutside);
  wf.w.assign(cells, std::numeric_limits<double>::quiet_NaN());
  wf.spot_x.assign(cells, 0.0);
  wf.spot_y.assign(cells, 0.0);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * n + i;
      if (!inside_rim(wf.coord[i], wf.coord[j])) continue;
      PupilRay ray = trace_pupil_ray(s, ref, wf.coord[i], wf.coord[j]);
      if (!ray.ok) {
        wf.state[c] = Sample::kVignetted;
        ++wf.vignetted;
        continue;
      }
      wf.state[c] = Sample::kValid;
      wf.w[c] = ray.w;
      wf.spot_x[c] = ray.spot_x;
      wf.spot_y[c] = ray.spot_y;
      ++wf.valid;
    }
  // The working aperture: the mean of the tangential and sagittal rims.
  const double t = rim_aperture(s, ref, 0, 1), sg = rim_aperture(s, ref, 1, 0);
  wf.na = std::isfinite(t) && std::isfinite(sg) ? 0.5 * (t + sg) : std::isfinite(t) ? t : sg;
  return wf;
}

}  // namespace lumaveil::quality
