#include "model/lens_data.h"

#include <gtest/gtest.h>

#include <climits>

#include "model/ray_set.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::LensFile;

// Reads `lens` given surfaces with the curvatures 1, 2, 3, ... plus `offset`, and `codes`.
void read(State& s, LensFile lens, int surfaces, double offset = 0,
          const std::vector<std::string>& codes = {}) {
  testing::ScratchDir dir;
  for (int k = 0; k < surfaces; ++k)
    lens.surfaces.push_back(
        {.C = k + 1 + offset, .code = k < int(codes.size()) ? codes[k] : "", .n = {1}});
  lens.write();
  ASSERT_TRUE(read_lens_data(s));
}

TEST(LensData, CountsAreCutToTheArraySizes) {
  auto s = std::make_unique<State>();
  read(*s, {.wavelengths = std::vector<double>(25, 620.0), .surfaces = {}, .numb = 150}, 102);
  EXPECT_EQ(s->NUMB, 100);
  EXPECT_EQ(s->C[100], 101.0);  // line 117, the last surface row read
  EXPECT_EQ(s->NW, 20);
  EXPECT_EQ(s->WL[20], 620.0);
}

TEST(LensData, VariablesAreVCodesBeforeSurfaceNumbAndOldRowsStayBeyondIt) {
  auto s = std::make_unique<State>();
  s->IV[2] = s->IV[7] = -5;
  read(*s, {}, 8, 0, {"", "V", " V", "v", "Var", "", "V", "V"});
  EXPECT_EQ(s->NV, 3);
  const int iv[8] = {0, 0, -5, 0, 1, 0, 2, -5};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(s->IV[k], iv[k]) << k;
  read(*s, {}, 3, 0.5);
  EXPECT_EQ(s->C[2], 3.5);
  EXPECT_EQ(s->C[3], 4.0);
  read(*s, {.surfaces = {}, .numb = -1}, 1, 0.25);
  EXPECT_EQ(s->C[0], 1.5);  // a negative count reads no surface row
}

// Counts at the limits of int are stored as read (NUMB and NW cut from above
// only) and read no row outside the grid or the arrays.
TEST(LensData, CountsAtTheLimitsOfIntReadOnlyTheRowsTheyAllow) {
  auto s = std::make_unique<State>();
  s->C[0] = 7;
  s->IV[0] = -5;
  for (int numb : {INT_MIN, INT_MIN + 1}) {
    read(*s, {.surfaces = {}, .numb = numb, .nw = INT_MIN, .nd1 = INT_MIN, .nd2 = INT_MAX}, 3, 0,
         {"V", "V", "V"});
    EXPECT_EQ(s->NUMB, numb);
    EXPECT_EQ(s->NW, INT_MIN);
    EXPECT_EQ(s->ND[1], INT_MIN);
    EXPECT_EQ(s->ND[2], INT_MAX);
    EXPECT_EQ(s->NV, 0);
    EXPECT_EQ(s->C[0], 7.0);  // no surface row read
    EXPECT_EQ(s->IV[0], -5);
  }
  LensFile lens{.wavelengths = std::vector<double>(21, 500.0), .surfaces = {}, .numb = INT_MAX,
                .nw = INT_MAX};
  for (int k = 0; k <= 101; ++k)
    lens.surfaces.push_back({.C = k + 1.0, .type = k % 2 ? INT_MIN : INT_MAX, .code = "V",
                             .link = k % 2 ? INT_MAX : INT_MIN, .n = {1}});
  read(*s, lens, 0);
  EXPECT_EQ(s->NUMB, 100);
  EXPECT_EQ(s->NW, 20);
  EXPECT_EQ(s->NV, 100);  // surfaces 0..99
  EXPECT_EQ(s->C[100], 101.0);
  EXPECT_EQ(s->TYPE[99], INT_MIN);
  EXPECT_EQ(s->TYPE[100], INT_MAX);
  EXPECT_EQ(s->LINK[99], INT_MAX);
  EXPECT_EQ(s->LINK[100], INT_MIN);
}

TEST(RaySet, RayCountIsCutToOneHundredAndOnlyItsRayLinesAreRead) {
  testing::ScratchDir dir;
  auto s = std::make_unique<State>();
  s->XI[100] = s->XI[7] = 3;
  testing::RaySetFile set{.rays = {}, .nray = 150};
  for (int r = 0; r < 101; ++r) set.rays.push_back({.X = r + 1.0});
  set.write();
  ASSERT_TRUE(read_ray_set(*s));
  EXPECT_EQ(s->NRAY, 100);
  EXPECT_EQ(s->XI[99], 100.0);
  EXPECT_EQ(s->XI[100], 3.0);
  set.rays.resize(2), set.nray = 8, set.write();
  ASSERT_TRUE(read_ray_set(*s));
  EXPECT_EQ(s->XI[7], 0.0);  // a ray line missing from the file
  set.nray = 0, set.rays[0].X = 5, set.write();
  ASSERT_TRUE(read_ray_set(*s));
  EXPECT_EQ(s->XI[0], 1.0);  // no rays, no ray entry written
}

TEST(RaySet, CountsAtTheLimitsOfIntAreStoredAsReadAndReadNoRayOutsideTheArrays) {
  testing::ScratchDir dir;
  auto s = std::make_unique<State>();
  s->XI[0] = 4;
  testing::RaySetFile set{.NIT = INT_MIN, .NITC = INT_MAX, .NITD = INT_MIN,
                          .rays = {{.X = 1}}, .nray = INT_MIN};
  set.write();
  ASSERT_TRUE(read_ray_set(*s));
  EXPECT_EQ(s->NRAY, INT_MIN);
  EXPECT_EQ(s->NIT, INT_MIN);
  EXPECT_EQ(s->NITC, INT_MAX);
  EXPECT_EQ(s->NITD, INT_MIN);
  EXPECT_EQ(s->XI[0], 4.0);
  set.NIT = INT_MAX, set.NITC = INT_MIN, set.NITD = INT_MAX, set.nray = INT_MAX;
  for (int r = 1; r < 101; ++r) set.rays.push_back({.X = r + 1.0});
  set.write();
  ASSERT_TRUE(read_ray_set(*s));
  EXPECT_EQ(s->NRAY, 100);
  EXPECT_EQ(s->XI[99], 100.0);
  EXPECT_EQ(s->NIT, INT_MAX);
  EXPECT_EQ(s->NITC, INT_MIN);
  EXPECT_EQ(s->NITD, INT_MAX);
}

}  // namespace
}  // namespace lumaveil
