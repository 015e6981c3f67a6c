#include "cli/diagnosis/first_order.h"

#include <cmath>
#include <memory>

#include "model/aperture.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil::cli::diagnosis {

ParaxialRay paraxial_trace(const State& s, int q, ParaxialRay ray, int last) {
  for (int i = 0; i <= last - 1; ++i) {
    const int k = i + 1;
    if (s.TYPE[k] == 1) {
      // Ideal element of focal length D[i]: the height behind is f times the
      // slope in front, the slope behind −1/f times the height in front.
      const double f = s.D[i];
      ray = {f * ray.slope, -ray.y / f};
      continue;
    }
    ray.y = ray.y + s.D[i] * ray.slope;
    const double before = s.N[q][i];
    const double after = s.N[q][k];
    if (s.TYPE[k] == 2) {
      // A tilted plane taken as a plane across the axis: n·u = n'·u', with
      // the indices signed as written.
      ray.slope = ray.slope * before / after;
    } else if (!(after >= 0)) {
      // A mirror, then the unfolded frame: the slope turns by 2·y·c.
      ray.slope = ray.slope + 2 * ray.y * s.C[k];
    } else {
      const double n = std::fabs(before);
      ray.slope = (n * ray.slope - ray.y * s.C[k] * (after - n)) / after;
    }
  }
  return ray;
}

ObjectKind object_kind(const State& s) {
  return s.IAP == 2 ? ObjectKind::kStartPlane : ObjectKind::kInfinity;
}

FirstOrder first_order(const State& s, int q) {
  FirstOrder r{};
  r.q = q;
  const int lens_end = s.NUMB - 2;  // the last surface of the lens proper
  // The system's matrix from the start plane to behind surface NUMB-2, by
  // columns: a ray parallel to the axis and a ray from the axis point.
  const ParaxialRay parallel = paraxial_trace(s, q, {1, 0}, lens_end);
  const ParaxialRay from_axis = paraxial_trace(s, q, {0, 1}, lens_end);
  const double image_index = std::fabs(s.N[q][lens_end]);

  r.afocal = parallel.slope == 0;
  r.efl = -1 / (image_index * parallel.slope);
  r.bfd = -parallel.y / parallel.slope;
  // A ray leaves parallel when it crossed the axis at z = D/C of the
  // matrix; surface 1 stands at z = D[0].
  r.ffd = s.D[0] - from_axis.slope / parallel.slope;

  r.object = object_kind(s);
  const ParaxialRay& imaging = r.object == ObjectKind::kInfinity ? parallel : from_axis;
  r.image_at_infinity = imaging.slope == 0;
  r.image = -imaging.y / imaging.slope;
  r.defocus = s.D[lens_end] - r.image;

  r.has_f_number = s.IAP == 1 && !r.afocal && s.RH != 0;
  r.f_number = r.efl / (2 * s.RH);
  return r;
}

namespace {

RayFailure failure_at(const State& s, int k) {
  const bool point_finite = std::isfinite(s.X[k]) && std::isfinite(s.Y[k]) && std::isfinite(s.Z[k]);
  const bool direction_finite = std::isfinite(s.U[k]) && std::isfinite(s.V[k]);
  if (point_finite && direction_finite) return RayFailure::kNone;
  if (s.TYPE[k] == 1) return RayFailure::kBeyondIdealElement;
  return point_finite ? RayFailure::kTotallyReflected : RayFailure::kMisses;
}

// The offset of the rim (a whole step count to one side) for ray grids.
struct StartOffset {
  const char* name;
  double x, y, u, v;
};

}  // namespace

std::vector<RayCheck> real_ray_check(const State& lens) {
  auto s = std::make_unique<State>(lens);
  vertex_positions(*s, s->D);
  s->Z[0] = 0;
  const bool heights = s->IAP == 1;
  const bool angles = s->IAP == 2;
  // Rim rays: heights for kind 1, angles for any other kind.
  const double rim_x = heights ? s->RH : 0;
  const double rim_u = heights ? 0 : s->RU;
  // The grid's extreme points: heights for kind 1, angles for kind 2,
  // the central ray for any other kind.
  const double grid_h = heights ? aperture_offset(s->NS, s->RH, s->NS) : 0;
  const double grid_a = angles ? aperture_offset(s->NS, s->RU, s->NS) : 0;
  const StartOffset starts[kCheckedRays] = {
      {"central ray", 0, 0, 0, 0},
      {"upper rim ray", rim_x, 0, rim_u, 0},
      {"lower rim ray", -rim_x, 0, -rim_u, 0},
      {"spot grid point +x", grid_h, 0, grid_a, 0},
      {"spot grid point -x", -grid_h, 0, -grid_a, 0},
      {"spot grid point +y", 0, grid_h, 0, grid_a},
      {"spot grid point -y", 0, -grid_h, 0, -grid_a},
  };
  std::vector<RayCheck> failures;
  for (int q = 1; q <= s->NW; ++q) {
    for (int k = 0; k <= s->NUMB; ++k) s->N[0][k] = s->N[q][k];
    for (const StartOffset& start : starts) {
      s->X[0] = s->XI[0] + start.x;
      s->Y[0] = s->YI[0] + start.y;
      s->U[0] = s->UI[0] + start.u;
      s->V[0] = s->VI[0] + start.v;
      trace_ray(*s);
      for (int k = 1; k <= wide(s->NUMB) - 1; ++k) {
        const RayFailure failure = failure_at(*s, k);
        if (failure == RayFailure::kNone) continue;
        failures.push_back({start.name, q, failure, k});
        break;
      }
    }
  }
  return failures;
}

}  // namespace lumaveil::cli::diagnosis
