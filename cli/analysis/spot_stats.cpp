#include "cli/analysis/spot_stats.h"

#include <algorithm>
#include <cmath>

#include "cli/report_input/large_pages.h"

namespace lumaveil::cli::analysis {

namespace {

// The statistics of the finite points of `each` (which hands every point,
// in order, to the function it is given) with every coordinate divided by
// `scale`, a power of two (so the division is exact).
template <class Each>
SpotStats scaled_stats(const Each& each, int total, double scale) {
  SpotStats s;
  s.total = total;
  each([&s, scale](const Point& p) {
    if (!finite(p)) return;
    s.cx += p.x / scale;
    s.cy += p.y / scale;
    ++s.used;
  });
  if (s.used == 0) return s;
  s.cx /= s.used;
  s.cy /= s.used;
  double sum = 0;
  each([&s, &sum, scale](const Point& p) {
    if (!finite(p)) return;
    const double x = p.x / scale, y = p.y / scale;
    double r2 = (x - s.cx) * (x - s.cx) + (y - s.cy) * (y - s.cy);
    sum += r2;
    s.geometric = std::max(s.geometric, std::sqrt(r2));
  });
  s.rms = std::sqrt(sum / s.used);
  return s;
}

template <class Each>
SpotStats stats_of(const Each& each, int total) {
  SpotStats s = scaled_stats(each, total, 1);
  if (std::isfinite(s.cx) && std::isfinite(s.cy) && std::isfinite(s.rms)) return s;
  // Sums of coordinates or their squares overflowed (points near 1e154 and
  // beyond): once more on coordinates brought near 1 by a power of two.
  double largest = 0;
  each([&largest](const Point& p) {
    if (finite(p)) largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
  });
  const double scale = std::ldexp(1.0, std::ilogb(largest));
  s = scaled_stats(each, total, scale);
  s.cx *= scale;
  s.cy *= scale;
  s.rms *= scale;
  s.geometric *= scale;
  return s;
}

// The spot points of `blocks`, block after block, read where they stand.
struct BlockPoints {
  const report_input::TrajectoryBlock* blocks;
  std::size_t count;
  bool angles;

  template <class F>
  void operator()(F f) const {
    for (std::size_t b = 0; b < count; ++b)
      for (const report_input::SpotRow& row : blocks[b].spots)
        f(angles ? Point{row.u, row.v} : Point{row.x, row.y});
  }
  int total() const {
    std::size_t n = 0;
    for (std::size_t b = 0; b < count; ++b) n += blocks[b].spots.size();
    return static_cast<int>(n);
  }
};

SpotStats block_stats(const BlockPoints& points) { return stats_of(points, points.total()); }

}  // namespace

SpotStats spot_stats(const std::vector<Point>& points) {
  const auto each = [&points](auto f) {
    for (const Point& p : points) f(p);
  };
  return stats_of(each, static_cast<int>(points.size()));
}

SpotStats spot_stats(const report_input::TrajectoryBlock& block, bool angles) {
  return block_stats({&block, 1, angles});
}

SpotStats spot_stats(const std::vector<report_input::TrajectoryBlock>& blocks, bool angles) {
  return block_stats({blocks.data(), blocks.size(), angles});
}

int count_finite(const std::vector<Point>& points) {
  return static_cast<int>(
      std::count_if(points.begin(), points.end(), [](const Point& p) { return finite(p); }));
}

std::vector<Point> spot_points(const report_input::TrajectoryBlock& block, bool angles) {
  std::vector<Point> points;
  report_input::reserve_in_large_pages(points, block.spots.size());
  for (const auto& row : block.spots)
    points.push_back(angles ? Point{row.u, row.v} : Point{row.x, row.y});
  return points;
}

bool spots_in_angles(const report_input::ReportContents& r) {
  bool heights_vary = false;
  bool angles_vary = false;
  for (const auto& block : r.trajectories) {
    heights_vary = heights_vary || spot_stats(block, false).geometric > 0;
    angles_vary = angles_vary || spot_stats(block, true).geometric > 0;
  }
  return !heights_vary && angles_vary;
}

}  // namespace lumaveil::cli::analysis
