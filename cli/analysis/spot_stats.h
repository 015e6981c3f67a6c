// Statistics of a spot diagram: centroid, RMS and geometric radius of the
// rays that reached the image surface, and which coordinates a spot diagram
// of a report shows (heights, or angles for an angle aperture).
#ifndef LUMAVEIL_CLI_ANALYSIS_SPOT_STATS_H
#define LUMAVEIL_CLI_ANALYSIS_SPOT_STATS_H

#include <vector>

#include "cli/analysis/point.h"
#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::analysis {

// Centroid, RMS radius about the centroid and geometric (largest) radius of
// the finite points.
struct SpotStats {
  double cx = 0, cy = 0, rms = 0, geometric = 0;
  int used = 0, total = 0;
};
SpotStats spot_stats(const std::vector<Point>& points);
// The same for the spot diagram of one wavelength, or of all wavelengths
// together (block after block), in the coordinates spots_in_angles picks:
// the very numbers spot_stats gives for the points gathered, read in place.
SpotStats spot_stats(const report_input::TrajectoryBlock& block, bool angles);
SpotStats spot_stats(const std::vector<report_input::TrajectoryBlock>& blocks, bool angles);

// How many of the points are finite.
int count_finite(const std::vector<Point>& points);

// A mode-1 report's spot diagrams show the heights X, Y at surface NUMB-1;
// for an angle aperture whose heights do not vary, the angles U, V instead.
bool spots_in_angles(const report_input::ReportContents& report);

// The points of one wavelength's spot diagram, in the coordinates above.
std::vector<Point> spot_points(const report_input::TrajectoryBlock& block, bool angles);

}  // namespace lumaveil::cli::analysis

#endif
