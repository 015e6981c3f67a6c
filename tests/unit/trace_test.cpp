#include "trace/trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "support/test_support.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// One surface row (the builder of the lens files): curvature, distance to
// the next surface, type, axis shifts, and the index after it as n[0].
using Surf = testing::Surface;

// Builds surfaces 0..NUMB from the rows, starts the ray on surface 0, traces it.
std::unique_ptr<State> trace(const std::vector<Surf>& rows, double x, double u = 0,
                             double y = 0, double v = 0) {
  auto s = std::make_unique<State>();
  s->NUMB = static_cast<int>(rows.size()) - 1;
  for (int k = 0; k <= s->NUMB; ++k) {
    s->C[k] = rows[k].C;
    s->D[k] = rows[k].D;
    s->N[0][k] = rows[k].n[0];
    s->TYPE[k] = rows[k].type;
    s->Xd[k] = rows[k].Xd;
    s->Yd[k] = rows[k].Yd;
    s->FLAG[k] = 7;  // a stale flag that the driver must clear
  }
  vertex_positions(*s, s->D);
  s->X[0] = x;
  s->Y[0] = y;
  s->U[0] = u;
  s->V[0] = v;
  trace_ray(*s);
  return s;
}

// z where the ray leaving surface k crosses the axis x = 0.
double axis_crossing(const State& s, int k) { return s.Z[k] + s.X[k] / std::tan(s.U[k]); }

// The unit direction of the ray leaving surface k, along (-tan U, -tan V, 1).
void direction(const State& s, int k, double d[3]) {
  const double tu = std::tan(s.U[k]);
  const double tv = std::tan(s.V[k]);
  const double len = std::hypot(tu, tv, 1.0);
  d[0] = -tu / len;
  d[1] = -tv / len;
  d[2] = 1 / len;
}

// Paraxial y-nu trace of a ray parallel to the axis through surfaces 1..last:
// z where it crosses the axis behind surface last.
double paraxial_focus(const std::vector<Surf>& rows, int last) {
  double y = 1, nu = 0, z = 0;
  for (int k = 1; k <= last; ++k) {
    z += rows[k - 1].D;
    nu -= y * rows[k].C * (rows[k].n[0] - rows[k - 1].n[0]);
    if (k < last) y += rows[k].D * nu / rows[k].n[0];
  }
  return z - y * rows[last].n[0] / nu;
}

TEST(SphereTrace, SingletFocusesANearAxisRayAtTheParaxialBackFocusAndAMarginalRayEarlier) {
  const std::vector<Surf> singlet{
      {.D = 10, .n = {1}}, {.C = 0.02, .D = 5, .n = {1.5}}, {.D = 100, .n = {1}}, {.n = {1}}};
  EXPECT_NEAR(paraxial_focus(singlet, 2) - 15, 96.667, 0.001);
  double near_axis = axis_crossing(*trace(singlet, 0.1), 2);
  EXPECT_NEAR(near_axis, paraxial_focus(singlet, 2), 0.01);
  EXPECT_LT(axis_crossing(*trace(singlet, 10), 2), near_axis - 0.5);  // spherical aberration
  EXPECT_GT(trace(singlet, 5)->U[1], 0);                              // bent toward the axis
}

TEST(SphereTrace, EqualIndicesOrNormalIncidenceLeaveTheDirectionUnchanged) {
  auto same = trace({{.D = 10, .n = {1.3}}, {.C = 0.02, .D = 5, .n = {1.3}}, {.n = {1}}}, 5, 0.05,
                    -1, 0.02);
  EXPECT_NEAR(same->U[1], 0.05, 1e-15);
  EXPECT_NEAR(same->V[1], 0.02, 1e-15);
  // A ray along a shifted axis meets the vertex at normal incidence.
  auto shifted =
      trace({{.D = 10, .n = {1}}, {.C = 0.02, .D = 5, .Xd = 2, .Yd = -1, .n = {1.5}}, {.n = {1}}},
            2, 0, -1);
  EXPECT_EQ(shifted->Z[1], 10);
  EXPECT_EQ(shifted->U[1], 0);
  EXPECT_EQ(shifted->V[1], 0);
}

TEST(MirrorTrace, ConcaveMirrorFocusesAtHalfItsRadiusInTheUnfoldedFrame) {
  auto s = trace({{.D = 10, .n = {1}}, {.C = -0.01, .D = 100, .n = {-1}}, {.n = {-1}}}, 0.01);
  EXPECT_NEAR(s->U[1], 0.0002, 1e-9);
  EXPECT_NEAR(axis_crossing(*s, 1), 60, 1e-4);
  EXPECT_NEAR(s->Z[1], 10 + 0.01 * 0.01 / 200, 1e-12);  // the vertex plus the sag
}

TEST(MirrorTrace, PlaneMirrorIsATransparentPlaneAndTheNextSurfaceRefractsAsFromIndexOne) {
  auto a = trace(
      {{.D = 10, .n = {1}}, {.D = 5, .n = {-1}}, {.C = 0.02, .D = 3, .n = {1.5}}, {.n = {1.5}}}, 3,
      0.04, -2, -0.03);
  auto b = trace(
      {{.D = 10, .n = {1}}, {.D = 5, .n = {1}}, {.C = 0.02, .D = 3, .n = {1.5}}, {.n = {1.5}}}, 3,
      0.04, -2, -0.03);
  EXPECT_EQ(a->Z[1], 10);
  EXPECT_NEAR(a->U[1], 0.04, 1e-14);  // up to the rounding of the reflection
  EXPECT_NEAR(a->V[1], -0.03, 1e-14);
  EXPECT_NEAR(a->U[2], b->U[2], 1e-13);
  EXPECT_NEAR(a->V[2], b->V[2], 1e-13);
}

TEST(SphereTrace, HitPointLiesOnTheNearCapAndTheDirectionObeysSnellsLawInVectorForm) {
  const unsigned seed = 20240611;
  std::mt19937_64 rng(seed);
  auto uni = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " trial " << trial);
    // A plane with equal indices first, so the sphere's step starts at Z != 0.
    double nb = uni(1, 1.9), na = uni(1, 1.9), c = uni(0.005, 0.05) * (trial % 2 ? 1 : -1);
    double xd = uni(-1, 1), yd = uni(-1, 1);
    auto s = trace({{.D = uni(1, 5), .n = {nb}},
                    {.D = uni(1, 10), .n = {nb}},
                    {.C = c, .D = 1, .Xd = xd, .Yd = yd, .n = {na}},
                    {.n = {na}}},
                   uni(-3, 3), uni(-0.1, 0.1), uni(-3, 3), uni(-0.1, 0.1));
    double p[3] = {s->X[2] - xd, s->Y[2] - yd, s->Z[2] - (s->ZV[1] + 1 / c)};
    EXPECT_NEAR(std::hypot(p[0], p[1], p[2]), std::fabs(1 / c), 1e-10);
    EXPECT_LT(p[2] * c, 0);
    // e = mu d + (cos r - mu cos I) n, with n the unit normal turned along d.
    double d[3], e[3], n[3] = {p[0] * c, p[1] * c, p[2] * c};
    direction(*s, 1, d);
    direction(*s, 2, e);
    double cI = n[0] * d[0] + n[1] * d[1] + n[2] * d[2], sign = cI < 0 ? -1 : 1;
    cI *= sign;
    double mu = nb / na, cR = std::sqrt(1 - mu * mu * (1 - cI * cI));
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(e[j], mu * d[j] + (cR - mu * cI) * sign * n[j], 1e-12);
  }
}

TEST(TraceFailure, TotalReflectionOrAMissedSphereCarriesNotANumberOnward) {
  // Glass to air at 0.8 rad: 1.5 sin 0.8 > 1.
  auto tir = trace({{.D = 10, .n = {1.5}},
                    {.D = 5, .n = {1}},
                    {.D = 5, .n = {1}},
                    {.C = 0.01, .D = 5, .n = {1.5}},
                    {.n = {1}}},
                   1, 0.8, 1);
  // The point is found; later planes keep their z.
  EXPECT_TRUE(std::isfinite(tir->X[1] + tir->Y[1] + tir->Z[2] + tir->Z[4]));
  EXPECT_EQ(tir->Z[1], 10);
  // A ray at height 20 passes beside a sphere of radius 10.
  auto miss = trace({{.D = 10, .n = {1}},
                     {.C = 0.1, .D = 5, .n = {1.5}},
                     {.D = 5, .n = {1}},
                     {.C = 0.01, .n = {1.5}}},
                    20);
  EXPECT_TRUE(std::isnan(miss->Z[1]));
  for (int k = 1; k <= 4; ++k) {
    EXPECT_TRUE(std::isnan(tir->U[k])) << k;
    EXPECT_TRUE(std::isnan(tir->V[k])) << k;
    if (k >= 2) {
      EXPECT_TRUE(std::isnan(tir->X[k])) << k;
      EXPECT_TRUE(std::isnan(tir->Y[k])) << k;
    }
    if (k <= 3) {
      EXPECT_TRUE(std::isnan(miss->X[k] + miss->Y[k] + miss->U[k] + miss->V[k])) << k;
    }
  }
}

TEST(IdealElement, TurnsTheAngleInFrontIntoHeightAndTheHeightIntoAngle) {
  std::vector<Surf> rows{
      {.D = 50, .n = {1}}, {.D = 20, .type = 1, .n = {1}}, {.C = 0.01, .n = {1.5}}};
  auto angle = trace(rows, 0, 0.1);
  auto height = trace(rows, 5, 0, -2);
  EXPECT_NEAR(angle->X[1], -4.99167, 1e-5);
  EXPECT_NEAR(height->U[1], 0.100167, 1e-6);
  EXPECT_NEAR(height->V[1], std::asin(-0.04), 1e-15);
  EXPECT_EQ(angle->U[1], 0);
  EXPECT_EQ(height->X[1], 0);
  EXPECT_EQ(angle->Z[1], 50);
  // The ideal step is flagged; the stale flag of the sphere step is cleared.
  EXPECT_EQ(angle->FLAG[0], 2);
  EXPECT_EQ(angle->FLAG[1], 0);
}

TEST(TiltedPlane, RefractsAboutItsTiltedNormalWithoutShiftOrFolding) {
  // Slope 0.1: a ray parallel to the axis meets the normal at atan 0.1.
  const double I = std::atan(0.1);
  const double r = std::asin(std::sin(I) / 1.5);
  std::vector<Surf> rows{
      {.D = 10, .n = {1}}, {.D = 5, .type = 2, .Xd = 0.1, .n = {1.5}}, {.n = {1.5}}};
  auto axial = trace(rows, 0);
  auto off = trace(rows, 2);
  EXPECT_EQ(axial->Z[1], 10);
  EXPECT_EQ(axial->V[1], 0);
  EXPECT_NEAR(axial->U[1], I - r, 1e-14);
  EXPECT_NEAR(axial->U[1], 0.033284, 1e-6);
  EXPECT_NEAR(off->Z[1], 10.2, 1e-14);
  EXPECT_NEAR(off->U[1], axial->U[1], 1e-14);
  // Index -1 after it gives r = -I: turned by 2I, stored unfolded.
  rows[1].n = {-1};
  rows[2].n = {-1};
  auto turned = trace(rows, 2);
  EXPECT_NEAR(turned->Z[1], 10.2, 1e-14);
  EXPECT_NEAR(turned->U[1], 2 * I, 1e-14);
  // A slanted ray meets the plane z = zv + A x + B y.
  rows[1].Yd = -0.2;
  auto slant = trace(rows, 1, 0.05, -2, 0.1);
  EXPECT_NEAR(slant->Z[1], 10 + 0.1 * slant->X[1] - 0.2 * slant->Y[1], 1e-12);
}

TEST(CookeTriplet, NearAxisRayCrossesTheAxisAtTheParaxialBackFocus) {
  const std::vector<Surf> cooke{{.D = 10, .n = {1.0}},
                                {.C = 1 / 22.01359, .D = 3.25896, .n = {1.62041}},
                                {.C = 1 / -435.76044, .D = 6.00755, .n = {1.0}},
                                {.C = 1 / -22.21328, .D = 0.99997, .n = {1.62004}},
                                {.C = 1 / 20.29192, .D = 4.75041, .n = {1.0}},
                                {.C = 1 / 79.68360, .D = 2.95208, .n = {1.62041}},
                                {.C = 1 / -18.39533, .D = 42.20778, .n = {1.0}},
                                {.D = 1, .n = {1.0}},
                                {.n = {1.0}}};
  EXPECT_NEAR(axis_crossing(*trace(cooke, 0.01), 6), paraxial_focus(cooke, 6), 0.01);
  auto axial = trace(cooke, 0);  // a ray along the axis stays on it
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(axial->X[k], 0) << k;
    EXPECT_EQ(axial->U[k], 0) << k;
  }
  EXPECT_NEAR(axial->Z[8], 71.17675, 1e-12);  // the last plane stands at the sum of the distances
}

}  // namespace
}  // namespace lumaveil

namespace lumaveil {
namespace {

// Two rays traced side by side come out bit for bit as each traced alone,
// not-a-number results included, whichever starts later: a mirror, an ideal
// element, a tilted plane and a sphere that one ray misses.
TEST(SideBySide, EachRayAsTracedAlone) {
  const std::vector<Surf> rows{{.D = 10, .n = {1}},
                               {.C = 0.1, .D = 5, .n = {1.5}},
                               {.C = -0.02, .D = 30, .n = {1}},
                               {.C = -0.01, .D = -20, .n = {-1}},
                               {.D = -15, .type = 2, .Xd = 0.1, .Yd = 0.05, .n = {-1.2}},
                               {.D = 40, .n = {-1.2}},
                               {.D = 10, .type = 1, .n = {-1.2}},
                               {.C = 0.03, .n = {-1}}};
  struct Start {
    double x, u, y, v;
  };
  const Start starts[] = {{1, 0.01, 0.5, -0.02}, {20, 0, 0, 0}, {-2, -0.03, 1, 0.01}};
  for (const Start& a : starts) {
    for (const Start& b : starts) {
      for (int first_b : {0, 2, 5}) {
        const auto alone_a = trace(rows, a.x, a.u, a.y, a.v);
        const auto alone_b = trace(rows, b.x, b.u, b.y, b.v);
        // Ray a from the start; ray b keeps its own steps before first_b.
        auto pair_a = trace(rows, a.x, a.u, a.y, a.v);
        auto pair_b = trace(rows, b.x, b.u, b.y, b.v);
        for (int k = 1; k < static_cast<int>(rows.size()); ++k) {
          pair_a->X[k] = pair_a->Y[k] = pair_a->U[k] = pair_a->V[k] = pair_a->Z[k] = -9;
          if (k > first_b) pair_b->X[k] = pair_b->Y[k] = pair_b->U[k] = pair_b->V[k] = -9;
          if (k > first_b) pair_b->Z[k] = -9;
        }
        trace_steps_side_by_side(surfaces_of(*pair_a), ray_of(*pair_a), 0, surfaces_of(*pair_b),
                                 ray_of(*pair_b), first_b);
        for (const auto& [alone, pair] : {std::pair{&alone_a, &pair_a}, {&alone_b, &pair_b}}) {
          const State& x = **alone;
          const State& y = **pair;
          EXPECT_EQ(std::memcmp(x.X, y.X, sizeof x.X), 0) << a.x << " " << b.x << " " << first_b;
          EXPECT_EQ(std::memcmp(x.Y, y.Y, sizeof x.Y), 0);
          EXPECT_EQ(std::memcmp(x.Z, y.Z, sizeof x.Z), 0);
          EXPECT_EQ(std::memcmp(x.U, y.U, sizeof x.U), 0);
          EXPECT_EQ(std::memcmp(x.V, y.V, sizeof x.V), 0);
          EXPECT_EQ(std::memcmp(x.FLAG, y.FLAG, sizeof x.FLAG), 0);
        }
      }
    }
  }
}

}  // namespace
}  // namespace lumaveil
