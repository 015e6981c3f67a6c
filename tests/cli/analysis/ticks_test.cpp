#include "cli/analysis/ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace lumaveil::cli::analysis {
namespace {

// Ticks that cover the range in strictly increasing equal steps, with labels
// that tell them apart.
void expect_sound_ticks(const Ticks& t, double lo, double hi) {
  ASSERT_GE(t.values.size(), 2u);
  ASSERT_EQ(t.values.size(), t.labels.size());
  EXPECT_LE(t.values.size(), 12u);
  EXPECT_LE(t.lo, lo);
  EXPECT_GE(t.hi, hi);
  EXPECT_EQ(t.lo, t.values.front());
  EXPECT_EQ(t.hi, t.values.back());
  for (std::size_t k = 1; k < t.values.size(); ++k) {
    EXPECT_GT(t.values[k], t.values[k - 1]);
    EXPECT_NEAR(t.values[k] - t.values[k - 1], t.step, t.step * 1e-6);
  }
  std::set<std::string> distinct(t.labels.begin(), t.labels.end());
  EXPECT_EQ(distinct.size(), t.labels.size());
  // The step is 1, 2 or 5 times a power of ten.
  double mantissa = t.step / std::pow(10.0, std::floor(std::log10(t.step)));
  EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
              std::fabs(mantissa - 5) < 1e-9)
      << t.step;
}

TEST(NiceTicks, OrdinaryRangeGivesRoundSteps) {
  Ticks t = nice_ticks(0.3, 9.7);
  expect_sound_ticks(t, 0.3, 9.7);
  EXPECT_EQ(t.step, 2);
  EXPECT_EQ(t.labels.front(), "0");
  EXPECT_EQ(t.labels.back(), "10");
}

TEST(NiceTicks, AwkwardRanges) {
  // 1e-9 wide far from zero: the labels need ten decimals to differ.
  Ticks narrow = nice_ticks(5.0, 5.0 + 1e-9);
  expect_sound_ticks(narrow, 5.0, 5.0 + 1e-9);
  EXPECT_NEAR(narrow.step, 2e-10, 1e-24);
  EXPECT_EQ(narrow.labels[1].substr(0, 11), "5.000000000");

  // 1e-9 wide about zero: exponent labels, zero among them as "0".
  Ticks tiny = nice_ticks(-4e-10, 6e-10);
  expect_sound_ticks(tiny, -4e-10, 6e-10);
  EXPECT_NE(std::find(tiny.labels.begin(), tiny.labels.end(), "0"), tiny.labels.end());
  EXPECT_NE(tiny.labels.back().find("e-10"), std::string::npos) << tiny.labels.back();

  // Crossing zero: zero is a tick, exactly.
  Ticks across = nice_ticks(-0.37, 1.2);
  expect_sound_ticks(across, -0.37, 1.2);
  EXPECT_NE(std::find(across.values.begin(), across.values.end(), 0.0), across.values.end());
  EXPECT_EQ(across.labels.front(), "-0.4");

  // One point: a range is made around it.
  Ticks one = nice_ticks(96.67, 96.67);
  expect_sound_ticks(one, 96.67, 96.67);
  EXPECT_LT(one.lo, 96.67);
  EXPECT_GT(one.hi, 96.67);
  Ticks zero = nice_ticks(0, 0);
  expect_sound_ticks(zero, 0, 0);

  // Large magnitudes use exponent labels; reversed or non-finite input is still sound.
  Ticks big = nice_ticks(1.2e7, 3.4e7);
  expect_sound_ticks(big, 1.2e7, 3.4e7);
  EXPECT_NE(big.labels.back().find("e+07"), std::string::npos) << big.labels.back();
  expect_sound_ticks(nice_ticks(3, -2), -2, 3);
  expect_sound_ticks(nice_ticks(NAN, 1), 0, 1);
}

// Ranges at the ends of the doubles: the ticks stay finite, cover the
// range, rise and differ in their labels (the outermost step may be short).
TEST(NiceTicks, RangesAtTheEndsOfTheDoublesStayFinite) {
  const double largest = std::numeric_limits<double>::max();
  const double least = std::numeric_limits<double>::denorm_min();
  const std::pair<double, double> cases[] = {
      {1.72e308, 1.72e308}, {largest, largest}, {-largest, -largest}, {-1e308, 1e308},
      {-largest, largest},  {0, least},         {least, least},       {-1e-310, 1e-320},
  };
  for (const auto& [lo, hi] : cases) {
    SCOPED_TRACE(testing::Message() << lo << " " << hi);
    Ticks t = nice_ticks(lo, hi);
    ASSERT_GE(t.values.size(), 2u);
    ASSERT_EQ(t.values.size(), t.labels.size());
    for (std::size_t k = 0; k < t.values.size(); ++k) {
      EXPECT_TRUE(std::isfinite(t.values[k]));
      if (k > 0) {
        EXPECT_GT(t.values[k], t.values[k - 1]);
      }
    }
    EXPECT_TRUE(std::isfinite(t.step) && t.step > 0) << t.step;
    EXPECT_LE(t.lo, lo);
    EXPECT_GE(t.hi, hi);
    EXPECT_EQ(std::set<std::string>(t.labels.begin(), t.labels.end()).size(), t.labels.size());
  }
  for (const auto& [lo, hi] : {std::pair{least, 1e-300}, std::pair{1e-3, largest},
                               std::pair{largest, largest}, std::pair{least, least}}) {
    Ticks t = log_ticks(lo, hi);
    ASSERT_GE(t.values.size(), 2u);
    for (std::size_t k = 0; k < t.values.size(); ++k) {
      EXPECT_TRUE(std::isfinite(t.values[k]) && t.values[k] > 0) << t.values[k];
      if (k > 0) {
        EXPECT_GT(t.values[k], t.values[k - 1]);
      }
    }
  }
}

TEST(LogTicks, DecadesAndTheirHalvesOnShortRanges) {
  Ticks wide = log_ticks(3e-7, 0.2);
  EXPECT_EQ(wide.values.front(), 1e-7);
  EXPECT_EQ(wide.values.back(), 1);
  EXPECT_EQ(wide.values.size(), 8u);
  Ticks short_range = log_ticks(7.97e-4, 1.42e-3);
  EXPECT_EQ(short_range.labels, (std::vector<std::string>{"0.0001", "0.0002", "0.0005", "0.001",
                                                          "0.002", "0.005", "0.01"}));
  // One value: still a decade around it.
  Ticks one = log_ticks(5, 5);
  EXPECT_LE(one.lo, 5);
  EXPECT_GE(one.hi, 5);
  EXPECT_LT(one.lo, one.hi);
}

// The one 1-2-5 rounding: the nearest step for ticks, the largest step not
// above the length for a scale bar.
TEST(Step125, NearestOrAtMost) {
  struct Case {
    double target, nearest, at_most;
  };
  const Case cases[] = {
      {1, 1, 1},    {1.4, 1, 1},  {1.6, 2, 1},        {1.99, 2, 1},    {2, 2, 2},
      {3.4, 2, 2},  {3.6, 5, 2},  {4.99, 5, 2},       {5, 5, 5},       {7.4, 5, 5},
      {7.6, 10, 5}, {9.9, 10, 5}, {0.03, 0.02, 0.02}, {420, 500, 200}, {1e-7, 1e-7, 1e-7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_DOUBLE_EQ(step_125(c.target, Rounding::kNearest), c.nearest);
    EXPECT_DOUBLE_EQ(step_125(c.target, Rounding::kAtMost), c.at_most);
  }
}

}  // namespace
}  // namespace lumaveil::cli::analysis
