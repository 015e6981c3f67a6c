#include "cli/analysis/polynomial.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumaveil::cli::analysis {
namespace {

TEST(FitCurve, PassesThroughTheSamplesOfAnExactPolynomial) {
  const std::array<double, 7> c = {0.5, -1.25, 3, 0.75, -2, 0.125, 1};
  auto exact = [&](double t) {
    return 0.5 - 1.25 * t + 3 * t * t + 0.75 * std::pow(t, 3) - 2 * std::pow(t, 4) +
           0.125 * std::pow(t, 5) + std::pow(t, 6);
  };
  // 2M + 1 = 9 scan points; 8k + 1 curve samples fall on them.
  std::vector<Point> curve = fit_curve(c, 8 * 25 + 1);
  ASSERT_EQ(curve.size(), 201u);
  EXPECT_EQ(curve.front().x, -1);
  EXPECT_EQ(curve.back().x, 1);
  for (int l = -4; l <= 4; ++l) {
    const Point& p = curve[static_cast<std::size_t>((l + 4) * 25)];
    EXPECT_NEAR(p.x, l / 4.0, 1e-15);
    EXPECT_NEAR(p.y, exact(l / 4.0), 1e-12);
  }
  EXPECT_DOUBLE_EQ(polynomial(c, 0), 0.5);
  EXPECT_DOUBLE_EQ(polynomial(c, 1), exact(1));
}

}  // namespace
}  // namespace lumaveil::cli::analysis
