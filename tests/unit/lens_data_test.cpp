#include "model/lens_data.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumaveil
