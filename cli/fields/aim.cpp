#include "cli/fields/aim.h"

#include <cmath>
#include <string>

#include "cli/first_order.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil::fields {
namespace {

// The two unknowns of the aim: the start heights (kind 1) or angles (kind 2).
struct Unknowns {
  double a = 0, b = 0;
};

StartRay start_of(int kind, double field, Unknowns p) {
  if (kind == 1) return {p.a, p.b, field, 0};
  return {field, 0, p.a, p.b};
}

// Fills the working row of indices with wavelength q, as mode 1 does
// (surfaces 0..NUMB-1).
void use_wavelength(State& s, int q) {
  for (long long k = 0; k <= wide(s.NUMB) - 1 && k < kSurfaceSlots; ++k) s.N[0][k] = s.N[q][k];
}

std::string surface_text(int k) { return "surface " + std::to_string(k); }

// The residual of one trial: the ray's point on the stop minus the target.
struct Trial {
  bool traced = false;  // finite up to the stop
  double dx = 0, dy = 0;
  double size() const { return std::hypot(dx, dy); }
};

}  // namespace

int first_failed_surface(const State& s, int last) {
  for (int k = 1; k <= last; ++k) {
    const bool finite = std::isfinite(s.X[k]) && std::isfinite(s.Y[k]) && std::isfinite(s.Z[k]) &&
                        std::isfinite(s.U[k]) && std::isfinite(s.V[k]);
    if (!finite) return k;
  }
  return 0;
}

// Where a ray traced in `s` fails at surface k: its point (it missed the
// surface) or only its direction (totally reflected, beyond the reach of an
// ideal element, or, on a mirror met at normal incidence, an angle of
// incidence whose cosine rounded above 1).
std::string failure_text(const State& s, int k) {
  const bool point = std::isfinite(s.X[k]) && std::isfinite(s.Y[k]) && std::isfinite(s.Z[k]);
  if (!point) return "misses " + surface_text(k);
  if (s.TYPE[k] == 1) return "leaves the reach of the ideal element at " + surface_text(k);
  if (s.TYPE[k] != 2 && !(s.N[0][k] >= 0)) return "loses its direction at the mirror, " + surface_text(k);
  return "is totally reflected at " + surface_text(k);
}

RayAimer::RayAimer(const State& lens, int stop, int q)
    : s_(std::make_unique<State>(lens)), q_(q) {
  State& s = *s_;
  stop_.surface = stop;
  if (s.NUMB < 3 || s.NUMB > kMaxSurfaces || stop < 1 || stop > s.NUMB - 2) {
    setup_.error = AimError::kBadStop;
    setup_.message = "the stop must be one of the lens's surfaces 1.." +
                     std::to_string(s.NUMB - 2) + " (before the image surface " +
                     std::to_string(s.NUMB - 1) + "), not " + std::to_string(stop);
    return;
  }
  if (q < 1 || q > s.NW) {
    setup_.error = AimError::kBadWavelength;
    setup_.message = "wavelength " + std::to_string(q) + " is not one of 1.." + std::to_string(s.NW);
    return;
  }
  if (s.IAP != 1 && s.IAP != 2) {
    setup_.error = AimError::kBadAperture;
    setup_.message = "aperture kind " + std::to_string(s.IAP) +
                     " spreads no rays (kind 1 spreads heights, kind 2 angles)";
    return;
  }
  vertex_positions(s, s.D);
  s.Z[0] = 0;
  const bool plain = s.TYPE[stop] != 1 && s.TYPE[stop] != 2;
  stop_.x = plain ? s.Xd[stop] : 0;
  stop_.y = plain ? s.Yd[stop] : 0;

  // The stop's rim: the axial rim rays at wavelength 1.
  use_wavelength(s, 1);
  const double h = s.IAP == 1 ? s.RH : 0, a = s.IAP == 1 ? 0 : s.RU;
  trace({h, 0, a, 0});
  const double x_upper = s.X[stop], y_upper = s.Y[stop];
  trace({-h, 0, -a, 0});
  stop_.radius = std::hypot(x_upper - s.X[stop], y_upper - s.Y[stop]) / 2;
  if (!std::isfinite(stop_.radius) || stop_.radius == 0) {
    setup_.error = AimError::kBadAperture;
    setup_.message = std::string("the axial rim rays (") + (s.IAP == 1 ? "RH" : "RU") +
                     ") give the stop at " + surface_text(stop) + " no size";
  }
  use_wavelength(s, q);
}

RayAimer::~RayAimer() = default;

const State& RayAimer::trace(const StartRay& start) {
  State& s = *s_;
  s.U[0] = start.u;
  s.V[0] = start.v;
  s.X[0] = start.x;
  s.Y[0] = start.y;
  trace_ray(s);
  return s;
}

Aimed RayAimer::aim_chief(double field) { return aim(field, 0, 0); }

namespace {

// Newton's method on the two unknowns of one aim: the ray's point on the
// stop is driven to the target.
class Newton {
 public:
  Newton(RayAimer& aimer, int kind, int stop, double field, double tx, double ty)
      : aimer_(aimer), kind_(kind), stop_(stop), field_(field), tx_(tx), ty_(ty) {}

  Trial evaluate(Unknowns p) {
    const State& s = aimer_.trace(start_of(kind_, field_, p));
    return {first_failed_surface(s, stop_) == 0, s.X[stop_] - tx_, s.Y[stop_] - ty_};
  }

  // The full Newton step from p, with the derivatives by central
  // differences `h` apart; false when a neighbour fails or the derivatives
  // are singular.
  bool step(Unknowns p, const Trial& now, double h, Unknowns& full) {
    const Trial ap = evaluate({p.a + h, p.b}), am = evaluate({p.a - h, p.b});
    const Trial bp = evaluate({p.a, p.b + h}), bm = evaluate({p.a, p.b - h});
    if (!ap.traced || !am.traced || !bp.traced || !bm.traced) return false;
    const double jxa = (ap.dx - am.dx) / (2 * h), jya = (ap.dy - am.dy) / (2 * h);
    const double jxb = (bp.dx - bm.dx) / (2 * h), jyb = (bp.dy - bm.dy) / (2 * h);
    const double det = jxa * jyb - jxb * jya;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    full = {-(jyb * now.dx - jxb * now.dy) / det, -(jxa * now.dy - jya * now.dx) / det};
    return true;
  }

  // Takes the step, halved while it loses the ray or does not get closer;
  // false when no fraction of it helps.
  bool advance(Unknowns& p, Trial& now, Unknowns full) {
    double lambda = 1;
    for (int halving = 0; halving < 40; ++halving, lambda /= 2) {
      const Unknowns trial{p.a + lambda * full.a, p.b + lambda * full.b};
      const Trial next = evaluate(trial);
      if (next.traced && next.size() < now.size()) {
        p = trial;
        now = next;
        return true;
      }
    }
    return false;
  }

 private:
  RayAimer& aimer_;
  int kind_, stop_;
  double field_, tx_, ty_;
};

// First guess: the paraxial ray to the target (the trace is linear in the
// start height and slope, with the slope taken as −tan of the angle).
Unknowns paraxial_guess(const State& s, int q, int k, double field, double tx, double ty) {
  const double ya = cli::paraxial_trace(s, q, {1, 0}, k).y;
  const double yb = cli::paraxial_trace(s, q, {0, 1}, k).y;
  Unknowns p;
  if (s.IAP == 1) {
    p = {(tx - yb * -std::tan(field)) / ya, ty / ya};
  } else {
    p = {-std::atan((tx - ya * field) / yb), -std::atan(ty / yb)};
  }
  if (!std::isfinite(p.a) || !std::isfinite(p.b)) return {};
  return p;
}

}  // namespace

Aimed RayAimer::aim(double field, double px, double py) {
  if (!setup_.ok()) return setup_;
  const State& s = *s_;
  const int kind = s.IAP, k = stop_.surface;
  const double tx = stop_.x + px * stop_.radius, ty = stop_.y + py * stop_.radius;
  Newton newton(*this, kind, k, field, tx, ty);
  Unknowns p = paraxial_guess(s, q_, k, field, tx, ty);
  Trial now = newton.evaluate(p);
  if (!now.traced) now = newton.evaluate(p = {});
  Aimed result;
  auto fail = [&](AimError error, const std::string& why) {
    result.error = error;
    result.start = start_of(kind, field, p);
    result.miss = now.size();
    result.message = why;
    return result;
  };
  if (!now.traced) {
    result.surface = first_failed_surface(s, k);
    return fail(AimError::kMisses, "the ray " + failure_text(s, result.surface) + " before the stop");
  }
  // Derivatives a millionth of the aperture apart.
  const double h = 1e-6 * (kind == 1 ? std::fabs(s.RH) : std::fabs(s.RU));
  for (result.steps = 0; now.size() > kAimTolerance * stop_.radius; ++result.steps) {
    if (result.steps == kMaxAimSteps)
      return fail(AimError::kNoConvergence,
                  "no convergence in " + std::to_string(kMaxAimSteps) + " Newton steps");
    Unknowns full;
    if (!newton.step(p, now, h, full))
      return fail(AimError::kNoConvergence, "the ray's point on the stop does not follow its start "
                                            "(or the rays beside it fail)");
    if (!newton.advance(p, now, full))
      return fail(AimError::kNoConvergence, "no Newton step brings the ray closer to its target");
  }
  newton.evaluate(p);  // leave the aimed ray itself in the arrays
  result.start = start_of(kind, field, p);
  result.miss = now.size();
  return result;
}

Aimed aim_chief_ray(const State& lens, int stop, double field, int q) {
  return RayAimer(lens, stop, q).aim_chief(field);
}

Aimed aim_ray(const State& lens, int stop, double field, int q, double px, double py) {
  return RayAimer(lens, stop, q).aim(field, px, py);
}

}  // namespace lumaveil::fields
