#include "cli/analysis/spot_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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

// The statistics read from the report's blocks in place are those of their
// points gathered, bit for bit: heights and angles, one block and all, lost
// rays, and sums that overflow.
TEST(SpotStats, BlocksReadInPlaceGiveTheNumbersOfTheirPointsGathered) {
  std::vector<report_input::TrajectoryBlock> blocks(3);
  for (int k = 0; k < 300; ++k) {
    const double t = k * 0.37;
    blocks[static_cast<std::size_t>(k % 2)].spots.push_back(
        {k, 0.1 * std::sin(t), 1e-3 * std::cos(t), 0.1 + std::sin(3 * t) / 3, -std::cos(t) / 7});
  }
  blocks[0].spots.push_back({0, NAN, 0, 1, INFINITY});
  blocks[2].spots = {{1, 1e300, 1e300, 1.5e308, -1.5e308}, {2, 1e300, -1e300, 1.5e308, 1.5e308}};
  auto same = [](const SpotStats& a, const SpotStats& b) {
    return std::memcmp(&a.cx, &b.cx, 4 * sizeof(double)) == 0 && a.used == b.used &&
           a.total == b.total;
  };
  for (bool angles : {false, true}) {
    std::vector<Point> all;
    for (const auto& block : blocks) {
      const std::vector<Point> points = spot_points(block, angles);
      EXPECT_TRUE(same(spot_stats(block, angles), spot_stats(points)));
      all.insert(all.end(), points.begin(), points.end());
    }
    EXPECT_TRUE(same(spot_stats(blocks, angles), spot_stats(all)));
  }
}

}  // namespace
}  // namespace lumaveil::cli::analysis
