// What every spot diagram of a report shares, in the SVG figures and the
// workbook's charts alike: the centre and half-width of the square shown and
// the one unit its axes, statistics and scale bar are written in.
#ifndef LUMAVEIL_CLI_DRAWING_SPOT_FRAME_H
#define LUMAVEIL_CLI_DRAWING_SPOT_FRAME_H

#include <string>
#include <vector>

#include "cli/analysis/point.h"
#include "cli/analysis/spot_stats.h"
#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::drawing {

struct SpotFrame {
  double cx = 0, cy = 0, half = 1e-3;  // lens unit (mm), or rad for angles
  double factor = 1;                   // lens unit -> display unit
  std::string unit;                    // "µm", "mm", "µrad", "mrad", "rad"
  bool angles = false;
};

// The square about the centroid of all `points` that holds every ray with a
// margin; its unit µm below 1 mm (µrad below 1 mrad, mrad below 1 rad).
SpotFrame spot_frame(const std::vector<analysis::Point>& points, bool angles);

// The frame of all wavelengths of a mode-1 report.
SpotFrame spot_frame(const report_input::ReportContents& report);

// A centroid coordinate as shown: rounding noise far below the spot's size
// reads as 0.
double shown_centroid(double value, const analysis::SpotStats& stats);

}  // namespace lumaveil::cli::drawing

#endif
