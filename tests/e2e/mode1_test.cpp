#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

using Rows = std::vector<std::vector<double>>;

// One wavelength's block of the report: heading, four trace tables, spot count and rows.
struct Block {
  std::string heading, count;
  Rows tables[4], spots;
};

std::vector<Block> run_mode1(const LensFile& lens) {
  lens.write();
  main5(1);
  std::vector<Block> blocks;
  int part = -1;  // 0..3 the tables, 4 the spot rows
  for (const std::string& line : split_lines(read_file("OUT_M.xls"))) {
    const auto cells = split_cells(line);
    const bool heading = line.rfind("\x94\x67\x92\xB7", 0) == 0;  // "wavelength"
    if (heading && cells.size() == 1) blocks.emplace_back().heading = line, part = -1;
    else if (heading) blocks.back().count = cells.at(3);
    else if (line.rfind("i\t", 0) == 0 || line.rfind("No\t", 0) == 0) ++part;
    else if (!line.empty()) {
      auto& row = (part == 4 ? blocks.back().spots : blocks.back().tables[part]).emplace_back();
      for (const auto& cell : cells) row.push_back(std::stod(cell));
    }
  }
  return blocks;
}

// Planes in air, the first on the start plane: spot rows show where the rays start.
LensFile planes(int numb, int kind, int steps) {
  LensFile lens{.aperture_kind = kind, .steps = steps, .RH = 0.5, .RU = 0.02, .U = 0.01, .V = -0.03,
                .X = 1, .Y = 2, .surfaces = std::vector<Surface>(numb + 1, {.D = 10, .n = {1, 1}})};
  if (numb >= 0) lens.surfaces[0].D = 0;
  return lens;
}

// Spot rows are No, U, V, X, Y; table rows are i, 1/R, Z, X, U, Y, V.
TEST(ModeOne, GridRunsOverXOrUOuterAndYOrVInner) {
  ScratchDir dir;
  EXPECT_EQ(run_mode1(planes(2, 1, 1))[0].spots,
            (Rows{{1, 0.01, -0.03, 0.5, 2}, {2, 0.01, -0.03, 1, 1.5}, {3, 0.01, -0.03, 1, 2},
                  {4, 0.01, -0.03, 1, 2.5}, {5, 0.01, -0.03, 1.5, 2}}));
  const Rows angles = run_mode1(planes(2, 2, 2))[0].spots;
  ASSERT_EQ(angles.size(), 13u);
  EXPECT_EQ(angles[0], (std::vector<double>{1, -0.01, -0.03, 1, 2}));
  // Any other kind spreads the rim rays in U and leaves every grid point central.
  for (int steps : {2, 0}) {
    const Block other = run_mode1(planes(2, 3, steps))[0];
    EXPECT_EQ(other.tables[1][0][4], 0.03);
    EXPECT_EQ(other.tables[2][0][4], -0.01);
    for (const auto& row : other.spots)
      EXPECT_EQ(row, (std::vector<double>{row[0], 0.01, -0.03, 1, 2}));
  }
  // With no steps the single grid point is the central ray, not 0/0.
  EXPECT_EQ(run_mode1(planes(2, 1, 0))[0].spots, (Rows{{1, 0.01, -0.03, 1, 2}}));
}

TEST(ModeOne, BlocksHoldTablesOfSurfacesBelowNumbAndTheGridPointsInsideTheDisc) {
  ScratchDir dir;
  const int cases[][3] = {{2, 1, 5}, {2, 2, 13}, {2, 3, 29}, {2, 5, 81}, {2, 10, 317},
                          {2, -2, 0}, {3, 1, 5}, {0, 1, 5}, {-1, 1, 5}};  // NUMB, NS, count
  for (auto [numb, ns, count] : cases) {
    const auto blocks = run_mode1(planes(numb, 1, ns));
    ASSERT_EQ(blocks.size(), 1u);
    for (const Rows& table : blocks[0].tables) EXPECT_EQ(table.size(), size_t(std::max(numb, 0)));
    EXPECT_EQ(blocks[0].count, std::to_string(count)) << ns;
    EXPECT_EQ(blocks[0].spots.size(), size_t(numb > 0 ? count : 0)) << ns;
  }
  LensFile lens = planes(3, 1, 1);
  lens.wavelengths = {486.1, 656.3};
  lens.surfaces[1] = {.C = 0.05, .D = 10, .n = {1.52, 1.51}};
  const auto blocks = run_mode1(lens);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1].heading.substr(4, 3), "2\x81\x69");
  EXPECT_NE(blocks[0].tables[1][2][3], blocks[1].tables[1][2][3]);
  lens.nw = 0;
  EXPECT_TRUE(run_mode1(lens).empty());  // the old report is emptied
}

// NUMB near INT_MIN has no surface to tabulate or spot, and NS at INT_MIN no
// grid point: each block keeps its headings and nothing is read or written
// outside the arrays. Surface types at the limits of int are spheres.
TEST(ModeOne, CountsAtTheLimitsOfIntKeepTheHeadingsAndStayInsideTheArrays) {
  ScratchDir dir;
  for (int numb : {INT_MIN, INT_MIN + 1}) {
    LensFile lens = planes(2, 1, 2);
    lens.numb = numb;
    const auto blocks = run_mode1(lens);
    ASSERT_EQ(blocks.size(), 1u) << numb;
    for (const Rows& table : blocks[0].tables) EXPECT_TRUE(table.empty()) << numb;
    EXPECT_EQ(blocks[0].count, "13");
    EXPECT_TRUE(blocks[0].spots.empty());
  }
  const auto blocks = run_mode1(planes(2, 1, INT_MIN));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].tables[0].size(), 2u);
  EXPECT_EQ(blocks[0].count, "0");
  EXPECT_TRUE(blocks[0].spots.empty());
  LensFile lens = planes(3, 1, 1);
  lens.surfaces[1] = {.C = 0.05, .D = 10, .n = {1.5, 1.5}};
  lens.write();
  main5(1);
  const std::string sphere = read_file("OUT_M.xls");
  for (int type : {INT_MIN, INT_MAX}) {
    lens.surfaces[1].type = lens.surfaces[2].type = type;
    lens.write();
    main5(1);
    EXPECT_EQ(read_file("OUT_M.xls"), sphere) << type;
  }
}

// Radius 50, index 1.5, 5 thick, plane back: the paraxial focus lies 96.6667 behind.
TEST(ModeOne, SingletFocusesParaxialRaysAndTheRimRayCrossesShortOfFocus) {
  ScratchDir dir;
  const Block block = run_mode1({.RH = 4.9, .X = 0.1, .surfaces = {{.D = 10, .n = {1}},
      {.C = 0.02, .D = 5, .n = {1.5}}, {.D = 290.0 / 3, .n = {1}}, {.n = {1}}, {.n = {1}}}})[0];
  EXPECT_NEAR(block.tables[0][3][2], 15 + 290.0 / 3, 1e-6);
  EXPECT_NEAR(block.tables[0][3][3], 0.0, 1e-4);
  // The rim ray at height 5 by Snell's law, at the sphere and then at the plane.
  const double h = 5, tilt = std::asin(h / 50) - std::asin(h / 50 / 1.5);
  const double at_plane = h - (15 - (60 - std::sqrt(50 * 50 - h * h))) * std::tan(tilt);
  const double x = at_plane - 290.0 / 3 * std::tan(std::asin(1.5 * std::sin(tilt)));
  EXPECT_LT(x, 0.0);
  EXPECT_NEAR(block.tables[1][3][3], x, 2e-6);
}

// A directory in the report's place cannot be opened for writing, even by root.
TEST(ModeOne, AReportThatCannotBeCreatedIsNoCrash) {
  ScratchDir dir;
  planes(2, 1, 1).write();
  RaySetFile{.rays = {{.X = 1}}}.write();
  std::filesystem::create_directory("OUT_M.xls");
  for (int mode = 1; mode <= 6; ++mode) main5(mode);
  EXPECT_TRUE(std::filesystem::is_directory("OUT_M.xls"));
}

}  // namespace
}  // namespace lumaveil::testing
