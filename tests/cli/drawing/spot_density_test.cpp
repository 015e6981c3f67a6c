// Dense spot diagrams drawn as shaded cells: every cell a ray falls in is
// shaded once, none other; more rays shade darker; one path per shade.
#include "cli/drawing/spot_density.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <utility>

#include "support/xml_check.h"

namespace lumaveil::cli::drawing {
namespace {

using Cell = std::pair<long, long>;  // column, row of a 4-pixel cell

// The cells the drawing shades, each with its fill opacity (1 when the
// attribute is absent), read back from the paths' rectangles. A cell
// shaded twice is reported in `twice`.
std::map<Cell, double> shaded_cells(const std::string& svg, int& paths, int& twice) {
  std::map<Cell, double> cells;
  paths = twice = 0;
  const std::regex path("<path d=\"([^\"]*)\"[^>]*?(?: fill-opacity=\"([0-9.]+)\")?/>");
  const std::regex run("M([0-9.]+) ([0-9.]+)h([0-9.]+)v4h-([0-9.]+)z");
  for (auto p = std::sregex_iterator(svg.begin(), svg.end(), path); p != std::sregex_iterator();
       ++p) {
    ++paths;
    const double opacity = (*p)[2].matched ? std::stod((*p)[2]) : 1;
    const std::string d = (*p)[1];
    std::size_t covered = 0;
    for (auto r = std::sregex_iterator(d.begin(), d.end(), run); r != std::sregex_iterator(); ++r) {
      covered += static_cast<std::size_t>(r->length());
      const double x = std::stod((*r)[1]), y = std::stod((*r)[2]), w = std::stod((*r)[3]);
      EXPECT_EQ((*r)[3], (*r)[4]) << "a rectangle that does not close";
      for (double at = x; at < x + w; at += kDensityCellPx)
        if (!cells.emplace(Cell{std::lround(at / 4), std::lround(y / 4)}, opacity).second) ++twice;
    }
    EXPECT_EQ(covered, d.size()) << "path data other than cell rectangles: " << d;
  }
  return cells;
}

struct Scene {
  Document doc{200, 200};
  // 10 data units over 160 px: one unit is 16 px, a quarter unit one cell.
  Chart chart{doc, 20, 20, 160, 160, Axis{0, 10, "x", false, true}, Axis{0, 10, "y", false, true}};
  Cell cell_of(const Point& p) const {
    return {static_cast<long>(std::floor(chart.px(p.x) / 4)),
            static_cast<long>(std::floor(chart.py(p.y) / 4))};
  }
};

TEST(SpotDensity, EveryCellWithRaysIsShadedOnceAndDarkerWithMoreRays) {
  Scene s;
  std::vector<Point> points;
  const auto add = [&](double x, double y, int times) {
    for (int k = 0; k < times; ++k) points.push_back({x + 0.001 * k, y});
  };
  // A row of neighbours with one ray each (one rectangle), a neighbour with
  // more, a full cell, a lone ray, a ray outside the plot and one not finite.
  for (int k = 0; k < 5; ++k) add(2.1 + 0.25 * k, 5.1, 1);
  add(3.35, 5.1, 4);
  add(7.1, 7.1, 16);
  add(1.1, 1.1, 1);
  add(12, 5, 3);
  points.push_back({NAN, 5});

  binned_points(s.doc, s.chart, points, 1, "#0060c0");
  const std::string svg = s.doc.str();
  EXPECT_EQ(lumaveil::testing::xml_problem(svg), "");
  int paths = 0, twice = 0;
  const std::map<Cell, double> cells = shaded_cells(svg, paths, twice);
  EXPECT_EQ(twice, 0);

  std::map<Cell, int> counts;
  for (const Point& p : points)
    if (std::isfinite(p.x) && s.chart.inside(p.x, p.y)) ++counts[s.cell_of(p)];
  ASSERT_EQ(counts.size(), 8u);
  ASSERT_EQ(cells.size(), counts.size());
  for (const auto& [cell, count] : counts) {
    ASSERT_EQ(cells.count(cell), 1u) << "cell " << cell.first << "," << cell.second;
    for (const auto& [other, other_count] : counts) {
      if (count > other_count) {
        EXPECT_GT(cells.at(cell), cells.at(other));
      } else if (count == other_count) {
        EXPECT_EQ(cells.at(cell), cells.at(other));
      }
    }
  }
  EXPECT_EQ(cells.at(s.cell_of({7.1, 7.1})), 1) << "the fullest cell is at full strength";
  EXPECT_GE(cells.at(s.cell_of({1.1, 1.1})), 0.2) << "a lone ray stays visible";
  EXPECT_EQ(paths, 3) << "one path per shade: 1, 4 and 16 rays";
}

TEST(SpotDensity, OverlaidWavelengthsAreShadedAtTheirStrengthAndScaledToTheAxes) {
  Scene s;
  // Points in mm on axes in µm: the factor takes them there.
  std::vector<Point> points = {{0.0051, 0.0051}, {0.0051, 0.0051}, {0.0021, 0.0081}};
  binned_points(s.doc, s.chart, points, 1000, "#c04000", 0.5);
  int paths = 0, twice = 0;
  const std::map<Cell, double> cells = shaded_cells(s.doc.str(), paths, twice);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells.at(s.cell_of({5.1, 5.1})), 0.5);
  EXPECT_LT(cells.at(s.cell_of({2.1, 8.1})), 0.5);
}

}  // namespace
}  // namespace lumaveil::cli::drawing
