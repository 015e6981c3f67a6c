// Optical path of each trace step, and the wavefront aberration of a ray
// against the reference ray, on ray points set by hand.
#include "aberration/optical_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumaveil {
namespace {

// Two segments: surface 1 at z = 4, surface 2 at z = 9, indices n0, n1
// after surfaces 0 and 1.
std::unique_ptr<State> two_segments(double n0, double n1) {
  auto s = std::make_unique<State>();
  s->NUMB = 3;
  s->Z[1] = s->ZV[0] = 4, s->Z[2] = s->ZV[1] = 9;
  s->N[0][0] = n0, s->N[0][1] = n1, s->N[0][2] = 1;
  path_lengths(*s);
  return s;
}

TEST(OpticalPath, SegmentsCountIndexTimesGeometricLength) {
  auto s = two_segments(1.5, 1.2);
  EXPECT_EQ(s->OPL[0], 6);  // 1.5 × 4 along the axis
  // A slope of 3/4 in x makes the path 5/4 of its axial length; the step
  // onto an ideal element has no path, the step after it counts.
  s->U[1] = std::atan(0.75), s->FLAG[0] = 2;
  path_lengths(*s);
  EXPECT_EQ(s->OPL[0], 0);
  EXPECT_DOUBLE_EQ(s->OPL[1], 1.2 * 5 * 1.25);
  // Surface 1 a mirror with its vertex at z = 4: the hit point stored folded
  // at 4.2 is really at 3.8, and the medium after it counts as index 1.
  s = two_segments(1.0, -1.3);
  s->Z[1] = 4.2;
  path_lengths(*s);
  EXPECT_DOUBLE_EQ(s->OPL[0], 3.8);
  EXPECT_DOUBLE_EQ(s->OPL[1], 4.8);
}

TEST(WaveAberration, PathDifferenceIsCountedInWavelengths) {
  auto s = two_segments(1, 1.5);
  s->TYPE[2] = 1;  // ideal last surface: the path ends at surface 1
  s->OPL[0] = 10.0005, s->OPR = 10, s->WL[1] = 500;
  wave_aberration(*s, 1);
  EXPECT_NEAR(s->AB, 1, 1e-9);
  // Otherwise the straight distance (3, 0, 4) to the reference image point,
  // at index 1, is added when the last surface lies behind, else taken off.
  s->TYPE[2] = 0, s->WL[1] = 1e6, s->OPL[0] = 20, s->OPR = 20;
  s->X[1] = 3, s->Z[1] = 10, s->Z[2] = 14;
  wave_aberration(*s, 1);
  EXPECT_DOUBLE_EQ(s->AB, 5);
  s->Z[2] = 6;
  wave_aberration(*s, 1);
  EXPECT_DOUBLE_EQ(s->AB, -5);
}

}  // namespace
}  // namespace lumaveil
