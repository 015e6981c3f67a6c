#include "cli/fields/aim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "fields/lenses.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil::testing {
namespace {

using fields::Aimed;
using fields::AimError;
using fields::RayAimer;
using fields::StartRay;

// The point where a start ray meets surface k at wavelength q, traced on a
// fresh copy of the lens, apart from the aimer.
struct Hit {
  double x, y;
};
Hit trace_to(const State& lens, const StartRay& start, int k, int q) {
  auto s = std::make_unique<State>(lens);
  vertex_positions(*s, s->D);
  for (int j = 0; j <= s->NUMB; ++j) s->N[0][j] = s->N[q][j];
  s->Z[0] = 0;
  s->X[0] = start.x;
  s->Y[0] = start.y;
  s->U[0] = start.u;
  s->V[0] = start.v;
  trace_ray(*s);
  return {s->X[k], s->Y[k]};
}

struct Case {
  const char* example;
  int stop;
  std::vector<double> fields;  // radians (kind 1) or heights (kind 2)
};

// Every example with a stop that rays can reach, from the axis to fields
// near where the bundle starts to fail.
const Case kCases[] = {
    {"double_gauss", 6, {0, 10 * kDegree, 14 * kDegree, 20 * kDegree}},
    {"double_gauss_spacing", 6, {0, 7 * kDegree, 14 * kDegree}},
    {"cooke_triplet", 4, {0, 10 * kDegree, 20 * kDegree}},
    {"cooke_triplet", 1, {-15 * kDegree, 5 * kDegree}},
    {"achromatic_doublet", 1, {0, 3 * kDegree}},
    {"planoconvex_lens", 2, {0, 5 * kDegree}},
    {"off_axis_field", 1, {0.05, 0.1}},
    {"concave_mirror", 1, {0, 2 * kDegree}},
    {"decentred_lens", 1, {0, 2 * kDegree}},
    {"finite_object", 1, {0, 5, 20}},
    {"finite_object", 2, {-10, 10}},
};

TEST(Aim, ChiefRayMeetsTheStopCentreOnEveryExample) {
  for (const Case& c : kCases) {
    const auto lens = read_example_lens(c.example);
    for (int q = 1; q <= lens->NW; ++q) {
      RayAimer aimer(*lens, c.stop, q);
      ASSERT_TRUE(aimer.setup().ok()) << c.example << ": " << aimer.setup().message;
      const fields::Stop& stop = aimer.stop();
      for (double field : c.fields) {
        const Aimed a = aimer.aim_chief(field);
        ASSERT_TRUE(a.ok()) << c.example << " field " << field << ": " << a.message;
        const Hit hit = trace_to(*lens, a.start, c.stop, q);
        EXPECT_LE(std::hypot(hit.x - stop.x, hit.y - stop.y), 1e-9 * stop.radius)
            << c.example << " stop " << c.stop << " field " << field << " wavelength " << q;
        // The field itself is kept: the angle (kind 1) or height (kind 2).
        EXPECT_EQ(lens->IAP == 1 ? a.start.u : a.start.x, field);
      }
    }
  }
}

TEST(Aim, OffAxisExampleStartsWhereItsFileSays) {
  // The example's central ray starts at 10·tan 0.05 so as to cross the front
  // vertex, its stop, 10 behind the start plane.
  const auto lens = read_example_lens("off_axis_field");
  const Aimed a = fields::aim_chief_ray(*lens, 1, 0.05, 1);
  ASSERT_TRUE(a.ok()) << a.message;
  EXPECT_NEAR(a.start.x, 10 * std::tan(0.05), 1e-12);
  EXPECT_EQ(a.start.y, 0);
  EXPECT_NEAR(a.start.x, lens->XI[0], 1e-12);
}

TEST(Aim, RimRaysMeetTheStopAtItsRadius) {
  const auto lens = read_example_lens("double_gauss");
  RayAimer aimer(*lens, 6, 1);
  const double radius = aimer.stop().radius;
  // The F/2 lens's 25 mm aperture is narrowed by the front group.
  EXPECT_GT(radius, 10);
  EXPECT_LT(radius, 25);
  const double points[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0.5, 0.5}};
  for (const auto& p : points) {
    const Aimed a = aimer.aim(14 * kDegree, p[0], p[1]);
    ASSERT_TRUE(a.ok()) << a.message;
    const Hit hit = trace_to(*lens, a.start, 6, 1);
    EXPECT_NEAR(hit.x, p[0] * radius, 1e-9 * radius);
    EXPECT_NEAR(hit.y, p[1] * radius, 1e-9 * radius);
  }
}

TEST(Aim, StopAtTheFrontFaceHasTheApertureRadius) {
  // Parallel rays at ±RH meet the first surface at ±RH.
  const auto lens = read_example_lens("planoconvex_lens");
  EXPECT_DOUBLE_EQ(RayAimer(*lens, 1, 1).stop().radius, lens->RH);
}

TEST(Aim, ShiftedStopIsAimedAtItsAxisPoint) {
  const auto lens = read_example_lens("decentred_lens");
  RayAimer aimer(*lens, 1, 1);
  EXPECT_EQ(aimer.stop().x, lens->Xd[1]);
  EXPECT_EQ(aimer.stop().y, lens->Yd[1]);
  EXPECT_NE(std::hypot(lens->Xd[1], lens->Yd[1]), 0);
}

TEST(Aim, UnusableSetUpsAndRaysSayWhy) {
  const auto lens = read_example_lens("double_gauss");
  struct Bad {
    int stop, q;
    AimError error;
  };
  const Bad bad[] = {{0, 1, AimError::kBadStop},  {12, 1, AimError::kBadStop},
                     {-3, 1, AimError::kBadStop}, {6, 2, AimError::kBadWavelength},
                     {6, 0, AimError::kBadWavelength}};
  for (const Bad& b : bad) {
    const Aimed a = fields::aim_chief_ray(*lens, b.stop, 0.1, b.q);
    EXPECT_EQ(a.error, b.error) << "stop " << b.stop << " wavelength " << b.q;
    EXPECT_FALSE(a.message.empty());
  }
  auto other_kind = std::make_unique<State>(*lens);
  other_kind->IAP = 3;
  EXPECT_EQ(fields::aim_chief_ray(*other_kind, 6, 0.1, 1).error, AimError::kBadAperture);
  auto no_aperture = std::make_unique<State>(*lens);
  no_aperture->RH = 0;
  EXPECT_EQ(fields::aim_chief_ray(*no_aperture, 6, 0.1, 1).error, AimError::kBadAperture);

  // Far beyond the lens's field no ray through the stop's centre gets past
  // the front element.
  const Aimed lost = fields::aim_chief_ray(*lens, 6, 60 * kDegree, 1);
  EXPECT_FALSE(lost.ok());
  EXPECT_TRUE(lost.error == AimError::kMisses || lost.error == AimError::kNoConvergence);
  EXPECT_FALSE(lost.message.empty());
}

TEST(Aim, IdealElementAsStopCannotBeAimed) {
  // The point on an ideal element's back focal plane depends on the angle
  // only: the parallel rim rays all meet it on the axis, and no start
  // height would move a ray across it.
  const auto lens = read_example_lens("ideal_lens");
  const Aimed a = fields::aim_chief_ray(*lens, 1, 0.05, 1);
  EXPECT_EQ(a.error, AimError::kBadAperture) << a.message;
}

}  // namespace
}  // namespace lumaveil::testing
