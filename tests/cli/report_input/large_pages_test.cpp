// Room in large pages is only a hint: what the array holds stays, and it
// has at least the room asked for.
#include "cli/report_input/large_pages.h"

#include <gtest/gtest.h>

#include <numeric>

namespace lumaveil::cli::report_input {
namespace {

TEST(LargePages, RoomIsMadeAndTheValuesKept) {
  for (std::size_t count : {std::size_t{10}, std::size_t{3} << 20}) {
    SCOPED_TRACE(count);
    std::vector<double> v(1000);
    std::iota(v.begin(), v.end(), 0.5);
    reserve_in_large_pages(v, count);
    EXPECT_GE(v.capacity(), count);
    ASSERT_EQ(v.size(), 1000u);
    for (std::size_t k = 0; k < v.size(); ++k) ASSERT_EQ(v[k], static_cast<double>(k) + 0.5);
    // Filled up to the room made, every page is there to be written.
    v.resize(v.capacity(), -1);
    EXPECT_EQ(v.back(), count > 1000 ? -1 : 999.5);
    EXPECT_EQ(v[999], 999.5);
  }
}

}  // namespace
}  // namespace lumaveil::cli::report_input
