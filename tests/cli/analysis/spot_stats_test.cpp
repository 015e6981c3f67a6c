#include "cli/analysis/spot_stats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumaveil::cli::analysis {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(SpotStats, PointsOnACircleHaveThatRadiusAsRmsAndGeometricRadius) {
  for (double r : {1e-3, 0.25, 40.0}) {
    std::vector<Point> points;
    for (int k = 0; k < 16; ++k)
      points.push_back({3 + r * std::cos(2 * kPi * k / 16), -2 + r * std::sin(2 * kPi * k / 16)});
    SpotStats s = spot_stats(points);
    EXPECT_NEAR(s.cx, 3, r * 1e-12);
    EXPECT_NEAR(s.cy, -2, r * 1e-12);
    EXPECT_NEAR(s.rms, r, r * 1e-12);
    EXPECT_NEAR(s.geometric, r, r * 1e-12);
    EXPECT_EQ(s.used, 16);
  }
}

TEST(SpotStats, RmsAboutTheCentroidAndMissedRaysLeftOut) {
  // Two points at distance 1 from their centroid, a third far out, two lost.
  SpotStats s = spot_stats({{0, 0}, {2, 0}, {1, 3}, {NAN, 1}, {1, INFINITY}});
  EXPECT_EQ(s.used, 3);
  EXPECT_EQ(s.total, 5);
  EXPECT_DOUBLE_EQ(s.cx, 1);
  EXPECT_DOUBLE_EQ(s.cy, 1);
  EXPECT_DOUBLE_EQ(s.rms, std::sqrt((2.0 + 2.0 + 4.0) / 3));
  EXPECT_DOUBLE_EQ(s.geometric, 2);
  SpotStats none = spot_stats({{NAN, NAN}});
  EXPECT_EQ(none.used, 0);
  EXPECT_EQ(none.rms, 0);
}

TEST(SpotStats, PointsNearTheLargestDoubleGiveFiniteStatistics) {
  // Their sums, and the squares of coordinates from 1e154 on, overflow.
  for (double big : {1e200, 1.75e308}) {
    SCOPED_TRACE(big);
    SpotStats s = spot_stats({{big, big}, {big, big}});
    EXPECT_EQ(s.cx, big);
    EXPECT_EQ(s.cy, big);
    EXPECT_EQ(s.rms, 0);
    SpotStats apart = spot_stats({{-big / 2, 0}, {big / 2, 0}});
    EXPECT_EQ(apart.cx, 0);
    EXPECT_DOUBLE_EQ(apart.rms, big / 2);
    EXPECT_DOUBLE_EQ(apart.geometric, big / 2);
  }
}

}  // namespace
}  // namespace lumaveil::cli::analysis
