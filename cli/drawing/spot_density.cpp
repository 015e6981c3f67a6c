#include "cli/drawing/spot_density.h"

#include <algorithm>
#include <cmath>

namespace lumaveil::cli::drawing {

void binned_points(Document& doc, const Chart& chart, const std::vector<Point>& points,
                   const std::string& colour, double strength) {
  // The counts on a grid of cells over the whole document, row by row, so
  // that the drawing order, and so the file, is the same from run to run.
  const long columns = static_cast<long>(std::ceil(doc.width() / kDensityCellPx)) + 1;
  const long rows = static_cast<long>(std::ceil(doc.height() / kDensityCellPx)) + 1;
  std::vector<int> counts(static_cast<std::size_t>(columns * rows), 0);
  for (const Point& p : points) {
    if (!chart.inside(p.x, p.y)) continue;
    const long col =
        std::clamp(static_cast<long>(std::floor(chart.px(p.x) / kDensityCellPx)), 0L, columns - 1);
    const long row =
        std::clamp(static_cast<long>(std::floor(chart.py(p.y) / kDensityCellPx)), 0L, rows - 1);
    ++counts[static_cast<std::size_t>(row * columns + col)];
  }
  const int most = std::max(1, *std::max_element(counts.begin(), counts.end()));
  for (long row = 0; row < rows; ++row)
    for (long col = 0; col < columns; ++col) {
      const int count = counts[static_cast<std::size_t>(row * columns + col)];
      if (count == 0) continue;
      // A square-root scale, so that a lone ray at the rim still shows.
      Style style{"none", colour, 1, ""};
      style.opacity = strength * (0.2 + 0.8 * std::sqrt(static_cast<double>(count) / most));
      doc.rect(static_cast<double>(col) * kDensityCellPx, static_cast<double>(row) * kDensityCellPx,
               kDensityCellPx, kDensityCellPx, style);
    }
}

}  // namespace lumaveil::cli::drawing
