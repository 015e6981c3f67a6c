// Spot diagrams of dense grids: above a few thousand rays, one marker per
// ray makes files of many megabytes that browsers draw slowly and that show
// no more than a blot. Such a diagram counts the rays in small square cells
// of the plot and shades each occupied cell, darker where more rays fall.
// The cells of one shade are one path (a row's neighbours of that shade one
// rectangle), so a figure holds a few hundred elements however many rays
// and cells it has.
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
// each shaded in `colour`, its opacity growing with its count up to
// `strength` (less than 1 where several wavelengths overlap). The points
// are in the lens unit; `factor` takes them to the chart's (display) unit.
void binned_points(Document& doc, const Chart& chart, const std::vector<Point>& points,
                   double factor, const std::string& colour, double strength = 1);

}  // namespace lumaveil::cli::drawing

#endif
