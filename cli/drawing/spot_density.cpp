#include "cli/drawing/spot_density.h"

#include <algorithm>
#include <cmath>

namespace lumaveil::cli::drawing {

namespace {

// The rays in each cell of a grid over the whole document, row by row.
struct CellCounts {
  long columns = 0, rows = 0;
  std::vector<int> counts;
  int at(long row, long col) const { return counts[static_cast<std::size_t>(row * columns + col)]; }
};

CellCounts count_cells(const Document& doc, const Chart& chart, const std::vector<Point>& points,
                       double factor) {
  CellCounts c;
  c.columns = static_cast<long>(std::ceil(doc.width() / kDensityCellPx)) + 1;
  c.rows = static_cast<long>(std::ceil(doc.height() / kDensityCellPx)) + 1;
  c.counts.assign(static_cast<std::size_t>(c.columns * c.rows), 0);
  for (const Point& p : points) {
    const double x = p.x * factor, y = p.y * factor;
    if (!chart.inside(x, y)) continue;
    const long col =
        std::clamp(static_cast<long>(std::floor(chart.px(x) / kDensityCellPx)), 0L, c.columns - 1);
    const long row =
        std::clamp(static_cast<long>(std::floor(chart.py(y) / kDensityCellPx)), 0L, c.rows - 1);
    ++c.counts[static_cast<std::size_t>(row * c.columns + col)];
  }
  return c;
}

// A cell's opacity in thousandths: a square-root scale of its count
// against the fullest cell's, so that a lone ray at the rim still shows.
int shade(int count, int most, double strength) {
  return static_cast<int>(
      std::lround(1000 * strength * (0.2 + 0.8 * std::sqrt(static_cast<double>(count) / most))));
}

// Appends the rectangle of `cells` cells from (x, y) to a path's data.
void add_run(std::string& d, double x, double y, long cells) {
  const std::string w = number(static_cast<double>(cells) * kDensityCellPx);
  d += 'M';
  d += number(x);
  d += ' ';
  d += number(y);
  d += 'h';
  d += w;
  d += 'v';
  d += number(kDensityCellPx);
  d += "h-";
  d += w;
  d += 'z';
}

}  // namespace

void binned_points(Document& doc, const Chart& chart, const std::vector<Point>& points,
                   double factor, const std::string& colour, double strength) {
  const CellCounts c = count_cells(doc, chart, points, factor);
  const int most = std::max(1, *std::max_element(c.counts.begin(), c.counts.end()));
  // The path of each shade, walked row by row so that the file is the same
  // from run to run.
  std::vector<std::string> paths(1001);
  for (long row = 0; row < c.rows; ++row)
    for (long col = 0; col < c.columns;) {
      const int count = c.at(row, col);
      if (count == 0) {
        ++col;
        continue;
      }
      const int level = shade(count, most, strength);
      long end = col + 1;
      while (end < c.columns && c.at(row, end) != 0 &&
             shade(c.at(row, end), most, strength) == level)
        ++end;
      add_run(paths[static_cast<std::size_t>(level)], static_cast<double>(col) * kDensityCellPx,
              static_cast<double>(row) * kDensityCellPx, end - col);
      col = end;
    }
  for (std::size_t level = 0; level < paths.size(); ++level) {
    if (paths[level].empty()) continue;
    Style style{"none", colour, 1, ""};
    style.fill_opacity = static_cast<double>(level) / 1000;
    doc.path(paths[level], style);
  }
}

}  // namespace lumaveil::cli::drawing
