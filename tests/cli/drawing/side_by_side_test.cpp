// Drawing work side by side: every job runs once, a failure reaches the
// caller, and the figures are the same bytes on one thread as on several.
#include "cli/drawing/side_by_side.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>

#include "cli/drawing/figures.h"
#include "parallel/pool.h"

namespace lumaveil::cli::drawing {
namespace {

// Restores the default thread count however the test ends.
struct Threads {
  explicit Threads(int n) { parallel::set_thread_count(n); }
  ~Threads() { parallel::set_thread_count(0); }
};

TEST(SideBySide, EveryJobRunsOnceAndTheFirstFailureReachesTheCaller) {
  for (int threads : {1, 2, 3}) {
    SCOPED_TRACE(threads);
    Threads use(threads);
    std::vector<std::atomic<int>> runs(7);
    const auto job = [&](std::size_t k) {
      ++runs[k];
      if (k == 2 || k == 5) throw std::runtime_error("job " + std::to_string(k));
    };
    try {
      side_by_side(runs.size(), job);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "job 2");
    }
    for (const auto& n : runs) EXPECT_EQ(n, 1);
    side_by_side(0, job);  // nothing to do
  }
}

// Three wavelengths of a dense grid, each spot a little larger.
report_input::ReportContents dense_report() {
  report_input::ReportContents r;
  r.mode = 1;
  const int ns = 60;
  for (int q = 1; q <= 3; ++q) {
    report_input::TrajectoryBlock block;
    block.wavelength = q;
    for (int j = -ns; j <= ns; ++j)
      for (int l = -ns; l <= ns; ++l) {
        if (j * j + l * l > ns * ns) continue;
        report_input::SpotRow row;
        row.n = static_cast<int>(block.spots.size()) + 1;
        row.x = 0.001 * q * j / ns + 0.0004 * std::pow(static_cast<double>(l) / ns, 3);
        row.y = 0.001 * q * l / ns;
        block.spots.push_back(row);
      }
    block.spot_count = static_cast<int>(block.spots.size());
    r.trajectories.push_back(block);
  }
  return r;
}

TEST(SideBySide, FiguresAreTheSameBytesOnAnyNumberOfThreads) {
  const report_input::ReportContents r = dense_report();
  std::vector<Figure> one;
  {
    Threads use(1);
    one = figures(r, nullptr, FigureOptions{});
  }
  for (int threads : {2, 4}) {
    Threads use(threads);
    const std::vector<Figure> many = figures(r, nullptr, FigureOptions{});
    ASSERT_EQ(many.size(), one.size());
    for (std::size_t k = 0; k < one.size(); ++k) {
      EXPECT_EQ(many[k].file, one[k].file);
      EXPECT_TRUE(many[k].svg == one[k].svg) << one[k].file << " on " << threads << " threads";
    }
  }
  ASSERT_EQ(one.size(), 5u);  // three wavelengths, the overlay, the layout
  EXPECT_NE(one[3].svg.find("dense grid"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::cli::drawing
