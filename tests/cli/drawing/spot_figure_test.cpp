// The spot diagrams of mode 1: one frame for all wavelengths, one unit per
// figure, the statistics beside the plot, and dense grids drawn as cells
// with the statistics of every ray.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>

#include "cli/analysis/spot_stats.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/figures.h"
#include "cli/report_input/report_reader.h"
#include "support/test_support.h"
#include "support/xml_check.h"

namespace lumaveil::cli::drawing {
namespace {

using lumaveil::testing::test_data_dir;
using lumaveil::testing::xml_problem;

// The texts of the tick labels under the x axis and beside the y axis:
// every <text> with text-anchor middle at the x labels' height, or end.
std::vector<std::string> tick_labels(const std::string& svg) {
  std::vector<std::string> out;
  std::regex tick(
      "<text x=\"[-0-9.]+\" y=\"[-0-9.]+\" font-size=\"14\" "
      "text-anchor=\"(middle|end)\"[^>]*>([^<]*)</text>");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tick); it != std::sregex_iterator();
       ++it)
    out.push_back((*it)[2]);
  return out;
}

TEST(SpotFigures, AllWavelengthsShareOneFrameAndOneUnit) {
  auto r =
      report_input::read_report_file(test_data_dir() + "/reference/m1_triplet_sjis/expected.xls")
          .value();
  ASSERT_GT(r.trajectories.size(), 1u);
  std::vector<Figure> figs = figures(r, nullptr, FigureOptions{});
  std::set<std::vector<std::string>> frames;
  for (const auto& f : figs) {
    if (f.file.rfind("spot-", 0) != 0) continue;
    SCOPED_TRACE(f.file);
    EXPECT_EQ(xml_problem(f.svg), "");
    frames.insert(tick_labels(f.svg));
    // The triplet's spots are some µm wide: axes, table and scale bar in µm.
    EXPECT_NE(f.svg.find(">X (µm)</text>"), std::string::npos);
    EXPECT_NE(f.svg.find(">statistics (µm)</text>"), std::string::npos);
    EXPECT_EQ(f.svg.find(" mm</text>"), std::string::npos);
    EXPECT_EQ(f.svg.find("(mm)"), std::string::npos);
  }
  EXPECT_EQ(frames.size(), 1u) << "each wavelength drawn at a scale of its own";
}

TEST(SpotFigures, LargeSpotsStayInMillimetres) {
  auto r =
      report_input::read_report_file(test_data_dir() + "/reference/m1_triplet_sjis/expected.xls")
          .value();
  for (auto& block : r.trajectories)
    for (auto& row : block.spots) {
      row.x *= 1000;
      row.y *= 1000;
    }
  std::vector<Figure> figs = figures(r, nullptr, FigureOptions{});
  EXPECT_NE(figs[0].svg.find(">X (mm)</text>"), std::string::npos);
  EXPECT_NE(figs[0].svg.find(">statistics (mm)</text>"), std::string::npos);
  EXPECT_EQ(figs[0].svg.find("µm"), std::string::npos);
}

// A grid of 201 x 201 rays clipped to a disc (31,417 rays) on a ring: far
// above the marker limit, so drawn as cells, but the table shows the
// statistics of every ray as spot_stats computes them.
TEST(SpotFigures, ADenseGridIsDrawnAsCellsWithTheStatisticsOfAllRays) {
  report_input::ReportContents r;
  r.mode = 1;
  report_input::TrajectoryBlock block;
  block.wavelength = 1;
  std::vector<analysis::Point> points;
  const int ns = 100;
  for (int j = -ns; j <= ns; ++j)
    for (int l = -ns; l <= ns; ++l) {
      if (j * j + l * l > ns * ns) continue;
      report_input::SpotRow row;
      row.n = static_cast<int>(block.spots.size()) + 1;
      row.x = 0.01 + 0.004 * j / ns + 0.001 * (j * j) / (ns * ns);
      row.y = -0.002 + 0.004 * l / ns;
      block.spots.push_back(row);
      points.push_back({row.x, row.y});
    }
  block.spots[7].x = NAN;
  points[7].x = NAN;
  block.spot_count = static_cast<int>(block.spots.size());
  r.trajectories.push_back(block);
  const analysis::SpotStats st = analysis::spot_stats(points);
  ASSERT_GT(st.used, 30000);

  std::vector<Figure> figs = figures(r, nullptr, FigureOptions{});
  const std::string& svg = figs[0].svg;
  EXPECT_EQ(xml_problem(svg), "");
  EXPECT_LT(svg.size(), 1000000u);
  EXPECT_NE(svg.find("dense grid"), std::string::npos);
  // Far fewer elements than rays.
  std::ptrdiff_t cells = 0;
  for (std::size_t at = svg.find("<rect"); at != std::string::npos; at = svg.find("<rect", at + 1))
    ++cells;
  EXPECT_LT(cells, st.used / 4);
  // No marker per ray: the only circles are the RMS and geometric radii.
  std::ptrdiff_t circles = 0;
  for (std::size_t at = svg.find("<circle"); at != std::string::npos;
       at = svg.find("<circle", at + 1))
    ++circles;
  EXPECT_EQ(circles, 2);
  // The cells are shaded paths, one per shade: the figure's elements do not
  // grow with its cells (about 4,000 here).
  std::ptrdiff_t elements = std::count(svg.begin(), svg.end(), '<');
  EXPECT_LT(elements, 1000);
  for (double value : {st.rms, st.geometric, st.cx, st.cy})
    EXPECT_NE(svg.find(">" + analysis::label(value * 1000, 4) + "</text>"), std::string::npos)
        << value;
  EXPECT_NE(svg.find(">" + std::to_string(st.used) + "</text>"), std::string::npos);
  EXPECT_NE(svg.find(">" + std::to_string(st.total) + "</text>"), std::string::npos);
  EXPECT_NE(svg.find("1 of " + std::to_string(st.total) + " rays missed"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::cli::drawing
