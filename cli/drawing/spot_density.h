// Spot diagrams of dense grids: above a few thousand rays, one marker per
// ray makes files of many megabytes that browsers draw slowly and that show
// no more than a blot. Such a diagram counts the rays in small square cells
// of the plot and draws each occupied cell once, darker where more rays fall.
#ifndef LUMAVEIL_CLI_DRAWING_SPOT_DENSITY_H
#define LUMAVEIL_CLI_DRAWING_SPOT_DENSITY_H

#include <string>
#include <vector>

#include "cli/drawing/chart.h"

namespace lumaveil::cli::drawing {

// Above this many rays a spot diagram is drawn as counted cells.
constexpr int kDenseRays = 4000;
// The side of a cell in pixels.
constexpr double kDensityCellPx = 4;

inline bool is_dense(int rays) { return rays > kDenseRays; }

// The cells of the plot area that the finite points inside it fall into,
// each drawn once in `colour`, its opacity growing with its count up to
// `strength` (less than 1 where several wavelengths overlap).
void binned_points(Document& doc, const Chart& chart, const std::vector<Point>& points,
                   const std::string& colour, double strength = 1);

}  // namespace lumaveil::cli::drawing

#endif
