// The Newton steps of the distance searches, on sampled parabolas and a
// quadratic surface whose vertex is known.
#include "optimise/newton_step.h"

#include <gtest/gtest.h>

namespace lumaveil {
namespace {

TEST(NewtonStep1, SampledParabolaStepsToItsVertexWhateverTheStep) {
  NewtonStep1 st = newton_step_1({9, 4, 1, 0, 1}, 1.0);  // (offset − 1)²
  EXPECT_EQ((std::vector<double>{st.u, st.q, -st.u / st.q}), (std::vector<double>{-4, 4, 1}));
  struct Parabola { double a, x0, c; };
  // The last opens downward: the step goes to its top all the same.
  for (Parabola p : {Parabola{1, 1, 0}, Parabola{0.3, -2.5, 7}, Parabola{-2, 0.7, 1}}) {
    for (double h : {0.01, 0.5, 3.0}) {
      double G[5];
      for (int m = 0; m < 5; ++m) G[m] = p.a * ((m - 2) * h - p.x0) * ((m - 2) * h - p.x0) + p.c;
      st = newton_step_1(G, h);
      EXPECT_NEAR(-st.u / st.q, p.x0, 1e-9) << "a " << p.a << " h " << h;
    }
  }
}

TEST(NewtonStep2, QuadraticGridStepsToItsMinimum) {
  // F(x, y) = x² + y² + x·y − 3x has its minimum at (2, −1).
  for (double h : {1.0, 0.25, 4.0}) {
    double G[5][5];
    for (int i = 0; i < 25; ++i) {
      const double x = (i / 5 - 2) * h, y = (i % 5 - 2) * h;
      G[i / 5][i % 5] = x * x + y * y + x * y - 3 * x;
    }
    NewtonStep2 st = newton_step_2(G, h);
    EXPECT_NEAR(st.step1, 2, 1e-12) << "h " << h;
    EXPECT_NEAR(st.step2, -1, 1e-12) << "h " << h;
    if (h != 1.0) continue;
    EXPECT_EQ((std::vector<double>{st.g1, st.g2, st.H11, st.H22, st.H12, st.H21, st.det}),
              (std::vector<double>{-3, 0, 2, 2, 1, 1, 3}));
  }
}

}  // namespace
}  // namespace lumaveil
