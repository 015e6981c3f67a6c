// Modes 5 and 6 driven over merits of known shape: the grid each pass
// samples, the Newton step it takes and the rows it reports. A grid stored
// transposed, a step of the wrong sign or a distance stepped in the wrong
// column moves the distances somewhere other than the known minimum.
#include "optimise/distance_search.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::RaySetFile;
using testing::read_file;
using testing::ScratchDir;
using testing::split_cells;
using testing::split_lines;

// The searched surfaces and where the searches start.
constexpr int kFirst = 3, kSecond = 1;  // ND[1] after ND[2] in the lens: columns follow ND
constexpr double kStart1 = 10, kStart2 = 20;

// F(x, y) = x² + y² + x·y − 3x around the start, x along D[ND[1]] and y along
// D[ND[2]]: its minimum lies at x = +2, y = −1, and central differences of a
// quadratic give the Newton step exactly. F is not symmetric in x and y.
void quadratic_merit(State& s, double*, const double* Dv) {
  const double x = Dv[kFirst] - kStart1, y = Dv[kSecond] - kStart2;
  s.E = x * x + y * y + x * y - 3 * x;
}

// (x − 0.75)² + 1 along D[ND[1]]: its minimum lies at x = +0.75.
void parabola_merit(State& s, double*, const double* Dv) {
  const double x = Dv[kFirst] - kStart1;
  s.E = (x - 0.75) * (x - 0.75) + 1;
}

// A lens of planes whose searched distances start at kStart1, kStart2; runs
// `passes` passes of mode 5 or 6 with grid step `hd` on the given merit and
// returns the report's rows.
std::vector<std::vector<std::string>> search(int mode, GridMerit merit_at, int passes,
                                             double hd) {
  ScratchDir dir;
  RaySetFile{.NITC = 1, .NITD = passes - 1, .HD = hd, .rays = {{.X = 1}}}.write();
  auto s = std::make_unique<State>();
  s->NUMB = 6;
  s->D[kFirst] = kStart1;
  s->D[kSecond] = kStart2;
  s->ND[1] = kFirst;
  s->ND[2] = kSecond;
  if (mode == 5)
    gn_curvature_d1(*s, merit_at);
  else
    gn_curvature_d2(*s, merit_at);
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : split_lines(read_file("OUT_M.xls"))) rows.push_back(split_cells(line));
  return rows;
}

TEST(DistanceSearch, TwoDistancesStepToTheMinimumOfAKnownQuadratic) {
  for (double hd : {1.0, 0.5}) {
    const auto rows = search(6, quadratic_merit, 2, hd);
    ASSERT_EQ(rows.size(), 4u) << "HD " << hd;  // heading, columns, passes 0 and 1
    // Pass 0 steps by (+2, −1); pass 1 finds the minimum and stays.
    EXPECT_EQ(rows[2][1], "1.200000E+01") << "HD " << hd;
    EXPECT_EQ(rows[2][2], "1.900000E+01") << "HD " << hd;
    EXPECT_EQ(rows[3][1], "1.200000E+01") << "HD " << hd;
    EXPECT_EQ(rows[3][2], "1.900000E+01") << "HD " << hd;
  }
}

TEST(DistanceSearch, TwoDistancesReportTheMeritOfTheLastGridPoint) {
  // The last grid point is (+2·HD, +2·HD) around the pass's start: F(2, 2) = 6
  // for pass 0, and F(4, 1) = 9 around (12, 19) for pass 1.
  const auto rows = search(6, quadratic_merit, 2, 1.0);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[2][3], "6.000000E+00");
  EXPECT_EQ(rows[3][3], "9.000000E+00");
}

TEST(DistanceSearch, OneDistanceStepsToTheVertexOfAKnownParabola) {
  for (double hd : {1.0, 0.25}) {
    const auto rows = search(5, parabola_merit, 2, hd);
    ASSERT_EQ(rows.size(), 4u) << "HD " << hd;
    EXPECT_EQ(rows[2][1], "1.075000E+01") << "HD " << hd;
    EXPECT_EQ(rows[3][1], "1.075000E+01") << "HD " << hd;
    // The merit of the last sample, +2·HD from the start of the pass.
    const double x = 2 * hd - 0.75;
    EXPECT_DOUBLE_EQ(std::stod(rows[2][2]), x * x + 1) << "HD " << hd;
  }
}

TEST(DistanceSearch, OneDistanceSearchLeavesTheOtherDistanceAlone) {
  // Mode 5 on the two-distance quadratic: along x alone (y = 0) the minimum
  // is x = 1.5.
  const auto rows = search(5, quadratic_merit, 1, 1.0);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2][1], "1.150000E+01");
}

}  // namespace
}  // namespace lumaveil
