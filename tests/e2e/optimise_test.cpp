// Reports of the optimising modes: their columns, their rows per iteration
// count, and the refusal of distances that cannot be searched.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

// A singlet (surfaces 2, 3) and a thin lens (4, 5) before the image plane 6,
// surfaces 3 and 5 coded `code`; runs `mode` with NIT = NITD = count.
std::vector<std::string> run(int mode, const std::string& code, int count, int nd1 = 2,
                             int nd2 = 4) {
  ScratchDir dir;
  LensFile{.surfaces = {{.D = 5, .n = {1}}, {.D = 5, .n = {1}}, {.C = 0.02, .D = 4, .n = {1.5}},
                        {.C = -0.01, .D = 5, .code = code, .n = {1}},
                        {.C = 0.01, .D = 3, .n = {1.6}}, {.D = 60, .code = code, .n = {1}},
                        {.n = {1}}, {.n = {1}}},
           .nd1 = nd1, .nd2 = nd2}.write();
  RaySetFile{.NIT = count, .NITC = 2, .NITD = count, .HD = 0.5,
             .rays = {{.X = 1}, {.Y = 2, .VT = 0.01}}}.write();
  main5(mode);
  return split_lines(read_file("OUT_M.xls"));
}

TEST(OptimiseReport, VariablesAreColumnsNumberedByVariable) {
  const std::string merit = "E\tXa\tXs\tYa\tYs\t", radii = "1/R(0)\t1/R(1)\t";
  const std::pair<int, std::string> cases[] = {
      {2, "No\t" + merit + radii}, {3, "No\t" + merit + "D(0)\tD(1)\t"},
      {5, "No\tD1\t" + merit + radii}, {6, "No\tD1\tD2\t" + merit + radii}};
  for (const auto& [mode, want] : cases) {
    const std::size_t first = mode <= 3 ? 1 : 0;  // modes 5, 6 number their passes from 0
    auto lines = run(mode, "V", 2);
    ASSERT_EQ(lines.size(), 5 - first) << "mode " << mode;
    EXPECT_EQ(lines[1], want) << "mode " << mode;
    for (std::size_t r = 2; r < lines.size(); ++r) {
      EXPECT_EQ(split_cells(lines[r]).size(), split_cells(want).size()) << "mode " << mode;
      EXPECT_EQ(split_cells(lines[r])[0], std::to_string(r - 2 + first)) << "mode " << mode;
    }
  }
}

TEST(OptimiseReport, IterationCountsGiveTheirRows) {
  EXPECT_EQ(run(2, "V", 0).size(), 2u);
  EXPECT_EQ(run(3, "V", 1).size(), 3u);
  EXPECT_EQ(run(5, "V", -1).size(), 2u);
  // A single pass, numbered 0, whose distance has already taken its step.
  const auto row = split_cells(run(5, "V", 0).back());
  EXPECT_EQ(row[0], "0");
  EXPECT_NE(std::stod(row[1]), 4.0);
  // Without variables every row shows the same figures.
  const auto lines = run(2, "", 3);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "No\tE\tXa\tXs\tYa\tYs\t");
  EXPECT_EQ(lines[2].substr(1), lines[4].substr(1));
}

TEST(DistanceSearch, UnsearchableSurfaceGivesOneErrorLineAndNoRows) {
  // NUMB is 7: the distances of surfaces 0..5 can be searched.
  const int cases[][3] = {{5, 6, 0}, {5, -1, 2}, {6, 2, 9}, {6, 3, 3}};  // mode, ND[1], ND[2]
  for (const auto& c : cases) {
    const auto lines = run(c[0], "V", 2, c[1], c[2]);
    ASSERT_EQ(lines.size(), 3u) << "mode " << c[0] << " ND " << c[1] << " " << c[2];
    EXPECT_EQ(lines[2].rfind("error:", 0), 0u) << lines[2];
    const std::string value = std::to_string(c[0] == 6 ? c[2] : c[1]);
    EXPECT_NE(lines[2].find(value), std::string::npos) << lines[2];
  }
  EXPECT_EQ(run(5, "V", 0, 2, 99).back().substr(0, 2), "0\t");  // mode 5 reads ND[1] alone
}

TEST(OptimiseMerit, ARayStartingOnTheAxisAtAnAngleCounts) {
  // Planes in air, 10 long to the evaluated surface: the ray that starts at
  // the origin at angle 0.1 misses its target by 10·tan 0.1 there; the other
  // ray meets its own. Only a ray whose four start values are all zero is
  // left out.
  const double miss = 10 * std::tan(0.1);
  for (const Ray& tilted : {Ray{.U = 0.1}, Ray{.V = 0.1}}) {
    ScratchDir dir;
    LensFile{.surfaces = {{.D = 5, .n = {1}}, {.D = 5, .n = {1}}, {.n = {1}}, {.n = {1}}}}.write();
    RaySetFile{.NIT = 1, .rays = {{.X = 1, .XT = 1}, tilted}}.write();
    main5(2);
    const auto lines = split_lines(read_file("OUT_M.xls"));
    ASSERT_EQ(lines.size(), 3u);
    const double E = std::stod(split_cells(lines[2])[1]);
    EXPECT_NEAR(E, miss / std::sqrt(2.0), 1e-6) << "U " << tilted.U << " V " << tilted.V;
  }
}

// Searched surfaces far outside the lens, and lenses whose NUMB - 2 would
// wrap round: the check is made against the real surface range, whatever
// NITD is.
TEST(DistanceSearch, SurfacesAndCountsAtTheLimitsOfIntAreRefused) {
  for (int nd : {INT_MIN, INT_MAX, 1000000}) {
    EXPECT_EQ(run(5, "V", INT_MAX, nd).back(),
              "error: ND[1] = " + std::to_string(nd) + " is not a surface 0..NUMB-2 (NUMB = 7)");
    EXPECT_EQ(run(6, "V", INT_MAX, 1, nd).back(),
              "error: ND[2] = " + std::to_string(nd) + " is not a surface 0..NUMB-2 (NUMB = 7)");
  }
  for (int numb : {INT_MIN, INT_MIN + 1}) {
    for (int mode : {5, 6}) {
      ScratchDir dir;
      LensFile{.surfaces = {{.D = 5, .n = {1}}, {.C = 0.02, .D = 5, .code = "V", .n = {1.5}}},
               .numb = numb, .nd1 = 0, .nd2 = 1}.write();
      RaySetFile{.rays = {{.X = 1}}}.write();
      main5(mode);
      const auto lines = split_lines(read_file("OUT_M.xls"));
      ASSERT_EQ(lines.size(), 3u) << numb;
      EXPECT_EQ(lines[2], "error: ND[1] = 0 is not a surface 0..NUMB-2 (NUMB = " +
                              std::to_string(numb) + ")");
    }
  }
}

// With no surfaces (NUMB at INT_MIN) the merit reads each ray at surface 0,
// where it starts; with NRAY at INT_MIN there is no ray, and the merit is
// 0/0. Either way each iteration gives its row and nothing runs past the
// arrays.
TEST(OptimiseReport, CountsAtTheLimitsOfIntGiveTheirRowsInsideTheArrays) {
  for (int mode : {2, 3}) {
    ScratchDir dir;
    LensFile{.surfaces = {{.D = 5, .n = {1}}, {.C = 0.02, .D = 5, .code = "V", .n = {1.5}}},
             .numb = INT_MIN}.write();
    RaySetFile{.NIT = 2, .rays = {{.X = 1, .XT = 0.5}, {.Y = 2}}}.write();
    main5(mode);
    auto lines = split_lines(read_file("OUT_M.xls"));
    ASSERT_EQ(lines.size(), 4u) << mode;
    EXPECT_EQ(lines[1], "No\tE\tXa\tXs\tYa\tYs\t");
    // Residuals 0.5 and 2: E = sqrt((0.25 + 4) / 2), Xa = 0.25, Ya = 1.
    EXPECT_NEAR(std::stod(split_cells(lines[3])[1]), std::sqrt(4.25 / 2), 1e-6) << mode;
    EXPECT_EQ(split_cells(lines[3])[2], "2.500000E-01") << mode;
    EXPECT_EQ(split_cells(lines[3])[4], "1.000000E+00") << mode;

    LensFile{.surfaces = {{.D = 5, .n = {1}}, {.C = 0.02, .D = 5, .code = "V", .n = {1.5}},
                          {.n = {1}}}}.write();
    RaySetFile{.NIT = 2, .rays = {{.X = 1}}, .nray = INT_MIN}.write();
    main5(mode);
    lines = split_lines(read_file("OUT_M.xls"));
    ASSERT_EQ(lines.size(), 4u) << mode;
    EXPECT_TRUE(std::isnan(std::stod(split_cells(lines[3])[1]))) << lines[3];
    RaySetFile{.NIT = INT_MIN, .rays = {{.X = 1}}}.write();
    main5(mode);
    EXPECT_EQ(split_lines(read_file("OUT_M.xls")).size(), 2u) << mode;
  }
  // Modes 5 and 6: no passes for NITD at INT_MIN, no inner iteration for NITC at INT_MIN.
  EXPECT_EQ(run(5, "V", INT_MIN).size(), 2u);
  ScratchDir dir;
  LensFile{.surfaces = {{.D = 5, .n = {1}}, {.C = 0.02, .D = 5, .code = "V", .n = {1.5}},
                        {.D = 90, .n = {1}}, {.n = {1}}}, .nd1 = 1}.write();
  RaySetFile{.NITC = INT_MIN, .NITD = 0, .rays = {{.X = 1}}}.write();
  main5(5);
  const auto lines = split_lines(read_file("OUT_M.xls"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(split_cells(lines[2]).at(7), "0.02");  // C[1] as it was
}

}  // namespace
}  // namespace lumaveil::testing
