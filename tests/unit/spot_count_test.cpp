// The number of spot rays of mode 1: the grid points (j, l), j and l in
// -ns..ns, with j² + l² <= ns².
#include <gtest/gtest.h>

#include <climits>

#include "report/trace_and_spot.h"

namespace lumaveil {
namespace {

// Counted point by point.
long long points_in_disc(int ns) {
  long long count = 0;
  for (long long j = -ns; j <= ns; ++j)
    for (long long l = -ns; l <= ns; ++l) count += j * j + l * l <= static_cast<long long>(ns) * ns;
  return count;
}

TEST(SpotCount, IsTheNumberOfGridPointsInTheDisc) {
  const std::pair<int, long long> known[] = {{-1, 0}, {INT_MIN, 0}, {0, 1}, {1, 5},
                                             {2, 13}, {3, 29},      {5, 81}, {10, 317}};
  for (const auto& [ns, count] : known) EXPECT_EQ(spot_count(ns), count) << ns;
  for (int ns = 0; ns <= 200; ++ns) ASSERT_EQ(spot_count(ns), points_in_disc(ns)) << ns;
}

// About π·ns² points: past ns ≈ 1.7e9 more than a long long holds. Such a
// run could never finish; its count stops at the largest long long rather
// than overflow.
TEST(SpotCount, BeyondTheLargestLongLongStopsThere) {
  for (int ns : {1'800'000'000, INT_MAX}) EXPECT_EQ(spot_count(ns), LLONG_MAX) << ns;
}

}  // namespace
}  // namespace lumaveil
