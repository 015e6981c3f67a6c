// The merit evaluation and the Gauss-Newton loops built on it: statistics of
// straight rays, ties and corrections against finer differences, and the
// optimised values against roots and minima found with the tracer alone.
#include "optimise/merit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "entry/entry.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

using testing::relatively_near;
using Values = std::vector<double>;

// Surface 1 (curvature c1, index n1 behind it) at z = 10, a plane 5 behind
// it, the image plane (surface 3) 96.67 further: the paraxial focus of
// C = 0.02, n = 1.5. With c1 = 0, n1 = 1 every ray goes straight.
std::unique_ptr<State> lens(double c1, double n1) {
  auto s = std::make_unique<State>();
  s->NUMB = 4;
  s->NW = 1;
  s->WQ[1] = 1;
  s->WXY = 1;
  s->H = 1e-5;
  const double D[] = {10, 5, 96.67, 0, 0};
  for (int k = 0; k <= 4; ++k) {
    s->D[k] = D[k];
    s->N[1][k] = 1;
  }
  s->C[1] = c1;
  s->N[1][1] = n1;
  vertex_positions(*s, s->D);
  return s;
}

// Appends a ray starting at height X, aimed at height XT and angle UT.
void add_ray(State& s, double X, double XT, double UT = 0) {
  s.XI[s.NRAY] = X;
  s.XT[s.NRAY] = XT;
  s.UT[s.NRAY] = UT;
  ++s.NRAY;
}

// Evaluates the lens as it stands, with no variable: count, merit and the four spreads.
Values figures(State& s) {
  merit_curvature(s, 0, s.IV, s.C);
  return {s.SW, s.E, s.Xa, s.Xs, s.Ya, s.Ys};
}

TEST(Merit, StatisticsAreUnweightedSumsCountedByTheWeights) {
  auto s = lens(0, 1);
  add_ray(*s, 1, 0);
  add_ray(*s, 0, 5);  // the zero ray is skipped
  add_ray(*s, 5, 2);
  EXPECT_EQ(figures(*s), (Values{2, std::sqrt(5.0), 2, std::sqrt(2.0), 0, 0}));
  s = lens(0, 1);
  s->WQ[1] = 2;
  add_ray(*s, 1, 0);
  EXPECT_EQ(figures(*s), (Values{2, 1, 0.5, std::sqrt(0.5), 0, 0}));
  // A second wavelength of weight 0 enters the residual sums, not the count.
  s->NW = 2;
  for (int k = 0; k <= 4; ++k) s->N[2][k] = 1;
  EXPECT_EQ(figures(*s), (Values{2, 1, 1, 0, 0, 0}));
}

TEST(Merit, TieToACompanionOutsideTheSurfacesIsIgnored) {
  // A 'P' surface whose LINK lies far outside 0..100 is neither set nor
  // offset: the evaluation equals that of the same lens without the code.
  Values results[2];
  for (int tied : {0, 1}) {
    auto s = lens(0.02, 1.5);
    s->CODE[1][0] = 'V';
    s->C[2] = 0.001;
    add_ray(*s, 2, 0);
    if (tied) {
      s->CODE[2][0] = 'P';
      s->LINK[2] = 5000;
    }
    const double p[kSurfaceSlots] = {0, 0.021};
    merit_curvature(*s, 1, s->IV, p);
    results[tied] = {s->E, s->DX[0], s->C[2]};
  }
  EXPECT_EQ(results[1], results[0]);
  EXPECT_EQ(results[1][2], 0.001);
}

TEST(Merit, TiedSurfaceFollowsItsCompanionInValueAndDerivative) {
  for (double sign : {1.0, -1.0}) {
    auto s = lens(0.02, 1.5);
    s->CODE[1][0] = 'V';
    s->CODE[2][0] = sign > 0 ? 'P' : 'M';
    s->LINK[2] = 1;
    add_ray(*s, 2, 0);
    const double p[kSurfaceSlots] = {0, 0.021, 99};  // the tie reads p[1] only
    merit_curvature(*s, 1, s->IV, p);
    EXPECT_EQ((Values{s->C[1], s->C[2], p[1], p[2]}), (Values{0.021, sign * 0.021, 0.021, 99}));
    // One ray, one variable: the correction is −rX·X′ / (X′² + U′²), the
    // angle entering the matrix whatever WUV; X′ and U′ by finer differences
    // with both surfaces moving together.
    auto at = [&](double c) {
      s->C[1] = c;
      s->C[2] = sign * c;
      trace_ray(*s);
      return Values{s->X[3], s->U[3]};
    };
    const Values plus = at(0.021 + 1e-7);
    const Values minus = at(0.021 - 1e-7);
    const double sx = (plus[0] - minus[0]) / 2e-7;
    const double su = (plus[1] - minus[1]) / 2e-7;
    const double want = -at(0.021)[0] * sx / (sx * sx + su * su);
    EXPECT_TRUE(relatively_near(s->DX[0], want, 1e-6)) << "sign " << sign;
  }
}

TEST(Merit, ResidualFactorsScaleTheCorrectionAndDropTheirResiduals) {
  auto s = lens(0.02, 1.5);
  s->CODE[1][0] = 'V';
  s->WUV = 1;
  add_ray(*s, 1, 0.2, 0.01);
  add_ray(*s, 2, -0.1, 0.03);
  const double p[kSurfaceSlots] = {0, 0.02};
  // Evaluates the merit at p; the correction of the one variable.
  auto correction = [&] {
    merit_curvature(*s, 1, s->IV, p);
    return s->DX[0];
  };
  const double dx = correction();
  const double e = s->E;
  s->WXY = 3;
  s->WUV = 3;
  EXPECT_TRUE(relatively_near(correction(), 3 * dx, 1e-12));
  EXPECT_TRUE(relatively_near(s->E, 3 * e, 1e-12));
  // Without the height factor the height targets do not matter.
  s->WXY = 0;
  s->WUV = 1;
  const double angles_only = correction();
  s->XT[0] = 7;
  EXPECT_EQ(correction(), angles_only);
  EXPECT_EQ((Values{s->Xa, s->Xs, s->Ya, s->Ys}), (Values{0, 0, 0, 0}));
}

// Runs mode 2 (C[1] varied) or 3 (D[2] varied) with NIT = 8 on the singlet,
// its image plane 90 behind it, into t; returns the cells of the last row.
std::vector<std::string> optimised(int mode, std::vector<testing::Ray> rays, State& t) {
  testing::ScratchDir dir;
  const char *c = mode == 2 ? "V" : "", *d = mode == 3 ? "V" : "";
  testing::LensFile{.surfaces = {{.D = 10, .n = {1}},
                                 {.C = 0.02, .D = 5, .code = c, .n = {1.5}},
                                 {.D = 90, .code = d, .n = {1}}, {.n = {1}}, {.n = {1}}}}
      .write();
  testing::RaySetFile{.NIT = 8, .rays = rays}.write();
  run_call(t, mode);
  auto lines = testing::split_lines(testing::read_file("OUT_M.xls"));
  return testing::split_cells(lines.size() == 10 ? lines[9] : "");
}

TEST(GaussNewton, SingleRayIsDrivenToTheRootOfItsImageHeight) {
  for (int mode : {2, 3}) {
    auto t = std::make_unique<State>();
    auto row = optimised(mode, {{.X = 1}}, *t);
    ASSERT_EQ(row.size(), 8u) << "mode " << mode;
    EXPECT_LT(std::stod(row[1]), 1e-9) << "mode " << mode;
    // Bisect the ray's image height over the variable, with the tracer alone.
    auto height = [&](double v) {
      t->X[0] = 1;
      t->C[1] = mode == 2 ? v : 0.02;
      t->D[2] = mode == 3 ? v : 90;
      vertex_positions(*t, t->D);
      trace_ray(*t);
      return t->X[3];
    };
    double lo = mode == 2 ? 0.015 : 80;
    double hi = mode == 2 ? 0.03 : 110;
    for (int i = 0; i < 100; ++i) {
      const double mid = (lo + hi) / 2;
      if ((height(mid) > 0) == (height(lo) > 0))
        lo = mid;
      else
        hi = mid;
    }
    EXPECT_TRUE(relatively_near(std::stod(row[6]), lo, 3e-6)) << "mode " << mode;
  }
}

TEST(GaussNewton, FanOfRaysSettlesAtTheLeastSquaresCurvature) {
  auto s = std::make_unique<State>();
  auto row = optimised(2, {{.X = 1}, {.X = 2}, {.Y = 3}}, *s);
  ASSERT_EQ(row.size(), 8u);
  const double e = std::stod(row[1]);
  const double c = std::stod(row[6]);
  auto merit_at = [&](double c1) {
    const double p[kSurfaceSlots] = {0, c1};
    merit_curvature(*s, 1, s->IV, p);
    return s->E;
  };
  EXPECT_TRUE(relatively_near(merit_at(c), e, 1e-4));  // c is printed with six digits
  EXPECT_GT(merit_at(c + 1e-4), e);
  EXPECT_GT(merit_at(c - 1e-4), e);
}

}  // namespace
}  // namespace lumaveil
