#include "cli/drawing/spot_frame.h"

#include <algorithm>
#include <cmath>

#include "cli/analysis/spot_stats.h"

namespace lumaveil::cli::drawing {

namespace {

// The frame about the statistics of all the points.
SpotFrame frame_about(const analysis::SpotStats& whole, bool angles) {
  SpotFrame f;
  f.angles = angles;
  f.cx = whole.cx;
  f.cy = whole.cy;
  f.half = whole.geometric * 1.15;
  if (!(f.half > 0)) f.half = std::max(std::fabs(whole.cx), std::fabs(whole.cy)) * 1e-3;
  if (!(f.half > 0)) f.half = 1e-3;
  if (!angles) {
    f.factor = f.half < 1 ? 1000 : 1;
    f.unit = f.half < 1 ? "µm" : "mm";
  } else {
    f.factor = f.half < 1e-3 ? 1e6 : f.half < 1 ? 1e3 : 1;
    f.unit = f.half < 1e-3 ? "µrad" : f.half < 1 ? "mrad" : "rad";
  }
  return f;
}

}  // namespace

SpotFrame spot_frame(const std::vector<analysis::Point>& points, bool angles) {
  return frame_about(analysis::spot_stats(points), angles);
}

SpotFrame spot_frame(const report_input::ReportContents& report) {
  const bool angles = analysis::spots_in_angles(report);
  return frame_about(analysis::spot_stats(report.trajectories, angles), angles);
}

double shown_centroid(double value, const analysis::SpotStats& stats) {
  return std::fabs(value) < stats.geometric * 1e-9 ? 0 : value;
}

}  // namespace lumaveil::cli::drawing
