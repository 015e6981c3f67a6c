#include "cli/drawing/spot_density.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace lumaveil::cli::drawing {

void binned_points(Document& doc, const Chart& chart, const std::vector<Point>& points,
                   const std::string& colour) {
  // Cells keyed by their column and row in the pixel grid; std::map keeps
  // the drawing order, and so the file, the same from run to run.
  std::map<std::pair<long, long>, int> counts;
  for (const Point& p : points) {
    if (!chart.inside(p.x, p.y)) continue;
    long col = static_cast<long>(std::floor(chart.px(p.x) / kDensityCellPx));
    long row = static_cast<long>(std::floor(chart.py(p.y) / kDensityCellPx));
    ++counts[{col, row}];
  }
  int most = 1;
  for (const auto& cell : counts) most = std::max(most, cell.second);
  for (const auto& [where, count] : counts) {
    // A square-root scale, so that a lone ray at the rim still shows.
    double opacity = 0.2 + 0.8 * std::sqrt(static_cast<double>(count) / most);
    Style style{"none", colour, 1, ""};
    style.opacity = opacity;
    doc.rect(static_cast<double>(where.first) * kDensityCellPx,
             static_cast<double>(where.second) * kDensityCellPx, kDensityCellPx, kDensityCellPx,
             style);
  }
}

}  // namespace lumaveil::cli::drawing
