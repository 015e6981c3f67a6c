// Mode 4: symmetry of the scans, a scan of more than 101 rays fitted
// like a fit of its printed samples, and the fourth-power growth of
// spherical aberration with the aperture.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

using Lines = std::vector<std::string>;

// Height scans of M steps over the plano-convex singlet C = 0.02, index 1.5,
// with the image plane (surface 3) at its paraxial focus 100 − 5/1.5 behind it.
LensFile singlet(int M, double RH, int numb = -1000) {
  return {.steps = M, .RH = RH, .surfaces = {{.D = 10, .n = {1}}, {.C = 0.02, .D = 5, .n = {1.5}},
          {.D = 100 - 5 / 1.5, .n = {1}}, {.n = {1}}, {.n = {1}}}, .numb = numb};
}

Lines run(const LensFile& lens) {
  ScratchDir dir;
  lens.write();
  main5(4);
  return split_lines(read_file("OUT_M.xls"));
}

double number(const std::string& line, int column) { return std::stod(split_cells(line)[column]); }

// Line numbers in a wavelength block of M steps: the U scan's ray lines
// start at 2 and its coefficients at 2M+3; the V scan's at 2M+13 and 4M+14.
int u_row(int M, int l) { return 2 + M + l; }
int v_row(int M, int l) { return 3 * M + 13 + l; }
int coefficient(int M, int scan, int p) { return 2 * M + 3 + scan * (2 * M + 11) + p; }

TEST(AberrationReport, CentredLensGivesEqualSections) {
  const Lines lines = run(singlet(5, 4));
  for (int l = -5; l <= 5; ++l)  // the start angles are both the central 0
    EXPECT_EQ(lines[u_row(5, l)], lines[v_row(5, l)]) << "l " << l;
  for (int p = 0; p < 7; ++p) EXPECT_EQ(lines[coefficient(5, 0, p)], lines[coefficient(5, 1, p)]);
}

TEST(AberrationReport, LongScanIsFittedOverAllItsSamples) {
  const Lines lines = run(singlet(60, 12));
  ASSERT_EQ(lines.size(), 1u + 2 * (1 + 121 + 7 + 2));
  // Least squares of degree 6 over the printed samples by normal equations
  // in long double, eliminated without pivoting (positive definite).
  long double A[7][8] = {};
  for (int l = -60; l <= 60; ++l) {
    long double tp[8] = {1};
    for (int p = 1; p < 7; ++p) tp[p] = tp[p - 1] * l / 60.0L;
    tp[7] = number(lines[u_row(60, l)], 3);
    for (int a = 0; a < 7; ++a)
      for (int b = 0; b < 8; ++b) A[a][b] += tp[a] * tp[b];
  }
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j)
      for (int k = 7; j != i && k >= i; --k) A[j][k] -= A[j][i] / A[i][i] * A[i][k];
  const double tolerance = 1e-5 * std::fabs(number(lines[u_row(60, -60)], 3));
  for (int p = 0; p < 7; ++p)
    EXPECT_NEAR(number(lines[coefficient(60, 0, p)], 1), double(A[p][7] / A[p][p]), tolerance)
        << "order " << p;
}

TEST(AberrationReport, SphericalAberrationGrowsAsTheFourthPowerOfTheAperture) {
  auto c4 = [](double RH) { return number(run(singlet(10, RH))[coefficient(10, 0, 4)], 1); };
  EXPECT_NEAR(c4(2) / c4(1), 16, 0.5);
}

TEST(AberrationReport, SingleSurfaceGivesOneErrorLine) {
  const Lines lines = run(singlet(2, 1, 1));  // NUMB 1
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("error:", 0), 0u);
}

// NS = 0: each scan is the reference ray (offset 0, AB = 0); the one-point
// fit still divides 0/0 for its abscissa, so its coefficients are nan.
TEST(AberrationReport, NoStepsScanTheReferenceRayAlone) {
  const Lines out = run(singlet(0, 5));
  ASSERT_EQ(out.size(), 1 + 2u * (1 + 1 + 7 + 2));
  EXPECT_EQ(split_cells(out[2])[3], "0.000000E+00");
  EXPECT_EQ(split_cells(out[3])[1], "NAN");
  EXPECT_EQ(out[13], out[2]);
}

// NUMB at INT_MIN: the one error line names the count as read. NS at
// INT_MIN: scans without samples, whose fits are 0/0.
TEST(AberrationReport, CountsAtTheLimitsOfIntStayInsideTheArrays) {
  for (int numb : {INT_MIN, INT_MIN + 1}) {
    const Lines lines = run(singlet(2, 1, numb));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "error: mode 4 needs at least 2 surfaces (NUMB = " + std::to_string(numb) + ")");
  }
  const Lines out = run(singlet(INT_MIN, 5));
  ASSERT_EQ(out.size(), 1 + 2u * (1 + 7 + 2));
  EXPECT_EQ(out[1], "U[0]\tX[NUMB-1]\tU[NUMB-1]\tAB");
  EXPECT_TRUE(std::isnan(std::stod(split_cells(out[2])[1]))) << out[2];
}

}  // namespace
}  // namespace lumaveil::testing
