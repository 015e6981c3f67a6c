#include <cmath>

#include "trace/direction.h"
#include "trace/trace.h"

namespace lumaveil {
namespace {

// One sphere step between its stages. The step is taken in four stages so
// that two independent rays can take theirs in turn (trace_sphere_pair):
// each stage is a short chain of library calls, and the processor overlaps
// the chain of one ray with that of the other.
//
// The stages are never inlined: a ray traced alone and a ray traced in a
// pair then run the same machine code, so even a not-a-number result keeps
// the same bits (the compiler may order the operands of a sum differently
// where it inlines, and that decides which of two such values comes out).
struct SphereStep {
  int i, k;
  double c, zv, xd, yd, nb, na;
  SphereConstants fixed;
  double tu, tv;
  Vec3 d;
  double I, sI, cI;
  Vec3 n;
  bool mirror;
  Turn turn;
};

// The constants of a sphere of curvature c with its vertex at zv. One
// routine, never inlined, takes them for a step and for a table alike, so
// that both hold the same bits.
[[gnu::noinline]] SphereConstants constants_of(double c, double zv) {
  SphereConstants f;
  f.b_part = 1 / c + zv;
  f.c_part = zv * zv + 2 * zv / c;
  f.centre_z = zv + 1 / c;
  return f;
}

// The surface data of step i and the slopes of the incoming ray.
[[gnu::noinline]] SphereStep begin_step(const TraceSurfaces& s, const TraceRay& ray, int i) {
  SphereStep t;
  t.i = i;
  t.k = i + 1;
  t.c = s.c[t.k];
  t.zv = s.zv[t.k - 1];
  t.xd = s.xd[t.k];
  t.yd = s.yd[t.k];
  t.nb = s.n[t.k - 1];
  t.na = s.n[t.k];
  t.fixed = s.sphere != nullptr ? s.sphere[t.k] : constants_of(t.c, t.zv);
  if (i == 0 && ray.start_slopes) {
    t.tu = ray.tu[0];
    t.tv = ray.tv[0];
  } else {
    t.tu = std::tan(ray.u[i]);
    t.tv = std::tan(ray.v[i]);
    keep_slopes(ray, i, t.tu, t.tv);
  }
  return t;
}

// Where the ray meets the surface.
[[gnu::noinline]] void meet_surface(const TraceRay& ray, SphereStep& t) {
  const int i = t.i, k = t.k;
  const double c = t.c, zv = t.zv, tu = t.tu, tv = t.tv;

  // Where the ray crosses z = 0, measured from the shifted axis.
  double x0 = tu * ray.z[i] + ray.x[i] - t.xd;
  double y0 = tv * ray.z[i] + ray.y[i] - t.yd;

  // Intersect the surface: the root of the sphere equation on the vertex side.
  if (c == 0) {
    ray.z[k] = zv;
  } else {
    double qa = tu * tu + 1 + tv * tv;
    double qb = -2 * (t.fixed.b_part + tu * x0 + tv * y0);
    double qc = t.fixed.c_part + x0 * x0 + y0 * y0;
    double root = std::sqrt(qb * qb - 4 * qa * qc);
    ray.z[k] = c > 0 ? (-qb - root) / (2 * qa) : (-qb + root) / (2 * qa);
  }
  ray.x[k] = ray.x[i] - (ray.z[k] - ray.z[i]) * tu;
  ray.y[k] = ray.y[i] - (ray.z[k] - ray.z[i]) * tv;
}

// The normal there and the angle of incidence.
[[gnu::noinline]] void find_incidence(const TraceRay& ray, SphereStep& t) {
  const int k = t.k;
  const double c = t.c;

  // Unit normal with positive z component.
  Vec3& n = t.n;
  n.x = (t.xd - ray.x[k]) * c;
  n.y = (t.yd - ray.y[k]) * c;
  n.z = c == 0 ? 1 : (t.fixed.centre_z - ray.z[k]) * c;
  if (n.z > 1) n.z = 1;

  const Vec3 d = unit_direction(t.tu, t.tv);
  t.d = d;
  t.I = std::acos(std::fabs(n.x * d.x + n.y * d.y + n.z * d.z));
  t.sI = std::sin(t.I);
  t.cI = std::cos(t.I);
}

// The turn at a mirror, in a routine of its own: were it written out in
// find_turn, the compiler would read the normal and the direction, which
// both turns need, before the refraction's library calls and carry them in
// memory across those calls.
[[gnu::noinline]] void reflect(SphereStep& t) { t.turn = reflection_turn(t.n, t.d, t.sI, t.cI); }

// Refract, or reflect when the index after the surface is negative (or not
// a number). Behind a mirror the index before counts by its size.
[[gnu::noinline]] void find_turn(SphereStep& t) {
  t.mirror = !(t.na >= 0);
  if (!t.mirror) {
    double r = std::asin(std::fabs(t.nb) * t.sI / t.na);
    t.turn = refraction_turn(t.n, t.d, t.I, r, t.sI, t.cI);
  } else {
    reflect(t);
  }
}

// The angles of the ray after the surface.
[[gnu::noinline]] void leave_surface(const TraceRay& ray, const SphereStep& t) {
  const int k = t.k;
  Vec3 e = turned_direction(t.d, t.turn);
  ray.u[k] = -std::atan(e.x / e.z);
  ray.v[k] = -std::atan(e.y / e.z);

  // After a mirror the ray is described in the frame folded about the
  // vertex plane, in which it travels toward +z again.
  if (t.mirror) {
    ray.z[k] = 2 * t.zv - ray.z[k];
    ray.u[k] = -ray.u[k];
    ray.v[k] = -ray.v[k];
  }
}

}  // namespace

void sphere_constants(const TraceSurfaces& s, SphereConstants* sphere) {
  for (int k = 1; k <= wide(s.numb); ++k) sphere[k] = constants_of(s.c[k], s.zv[k - 1]);
}

void trace_sphere(const TraceSurfaces& s, const TraceRay& ray, int i) {
  SphereStep t = begin_step(s, ray, i);
  meet_surface(ray, t);
  find_incidence(ray, t);
  find_turn(t);
  leave_surface(ray, t);
}

void trace_sphere_pair(const TraceSurfaces& sa, const TraceRay& a, const TraceSurfaces& sb,
                       const TraceRay& b, int i) {
  SphereStep ta = begin_step(sa, a, i);
  SphereStep tb = begin_step(sb, b, i);
  meet_surface(a, ta);
  meet_surface(b, tb);
  find_incidence(a, ta);
  find_incidence(b, tb);
  find_turn(ta);
  find_turn(tb);
  leave_surface(a, ta);
  leave_surface(b, tb);
}

void trace_sphere(State& s, int i) { trace_sphere(surfaces_of(s), ray_of(s), i); }

}  // namespace lumaveil
