// The rows of the spot diagram and the scans written straight from their
// values (row_text.h) against the rows as the reports printed them before:
// each number through the standard library's exact conversion
// (format_number_exact), padded to its width, and the whole through the
// general formatter.
#include "report/row_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "report/format.h"
#include "report/literals.h"
#include "support/format_text.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::from_bits;

// Today's row: every number through the exact conversion.
std::string exact_row(long long n, const double (&values)[4]) {
  char out[kNumberBytes];
  std::string row(out, format_number_exact(out, 'd', -1, n));
  for (const double v : values) {
    const int length = format_number_exact(out, 'f', 6, v);
    row += '\t' + std::string(length < 10 ? 10 - length : 0, ' ') + std::string(out, length);
  }
  return row + '\n';
}

// Whether fixed6 hands v to the exact conversion: not finite, or |v| ≥ 2^44.
bool left_to_exact(double v) { return !(std::fabs(v) < 17592186044416.0); }

// Checks one row: the same bytes as today's, or -1 exactly when a value is
// left to the exact conversion (the caller then formats the row as before).
::testing::AssertionResult same_row(long long n, const double (&values)[4]) {
  char out[kSpotRowBytes];
  const int length = spot_row_text(out, n, values[0], values[1], values[2], values[3]);
  bool any_left = false;
  for (const double v : values) any_left = any_left || left_to_exact(v);
  const std::string want = exact_row(n, values);
  if (testing::format_text(literals::kSpotRow, {n, values[0], values[1], values[2], values[3]}) !=
      want)
    return ::testing::AssertionFailure() << "the formatter itself differs from the oracle";
  if (any_left && length == -1) return ::testing::AssertionSuccess();
  if (any_left || length < 0)
    return ::testing::AssertionFailure()
           << "length " << length << " for " << testing::exact(values[0]) << " "
           << testing::exact(values[1]) << " " << testing::exact(values[2]) << " "
           << testing::exact(values[3]);
  const std::string got(out, length);
  if (got == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "row " << n << ": got \"" << got << "\", want \"" << want << "\"";
}

// The values at every seam of fixed6: zeros, subnormals, the smallest values
// that still round to a unit of 10^-6, exact ties, the carries of 9.9999995
// into a new digit, every count of integer digits, and the bound 2^44.
std::vector<double> seams() {
  std::vector<double> v = {0.0,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::min(),
                           std::ldexp(1.0, -17),
                           std::ldexp(1.0, -20),
                           4.9999999999999998e-07,
                           5e-07,
                           5.0000000000000008e-07,
                           1.5e-06,
                           2.5e-06,
                           0.0000025,
                           0.9999995,
                           9.9999995,
                           99.9999995,
                           999999.9999995,
                           0.125,
                           0.5,
                           1.0,
                           std::ldexp(1.0, 44),
                           std::nextafter(std::ldexp(1.0, 44), 0.0),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (double p = 1; p < 1e14; p *= 10) {
    v.push_back(p);
    v.push_back(std::nextafter(p, 0.0));
    v.push_back(p + 0.5e-6);
  }
  const std::size_t count = v.size();
  for (std::size_t j = 0; j < count; ++j) v.push_back(-v[j]);
  return v;
}

// Each seam in every column, beside ordinary values, with row numbers of
// every length and sign.
TEST(SpotRow, EverySeamInEveryColumnPrintsAsBefore) {
  const long long numbers[] = {0, 1, 9, 10, 99, 100, 31417, 502625, -1, LLONG_MAX, LLONG_MIN};
  int j = 0;
  for (const double seam : seams()) {
    for (int column = 0; column < 4; ++column) {
      double values[4] = {-0.0213, 0.0047, 12.345678, -3.5};
      values[column] = seam;
      ASSERT_TRUE(same_row(numbers[j++ % std::size(numbers)], values));
    }
  }
}

// Random bit patterns (every exponent, not-a-numbers and infinities among
// them), and values of the sizes a spot diagram holds.
TEST(SpotRow, RandomValuesPrintAsBefore) {
  const unsigned seed = 20261209;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> spot(-30.0, 30.0);
  for (int trial = 0; trial < 200000; ++trial) {
    double values[4];
    for (double& v : values) {
      v = spot(rng);
      if (trial % 2 == 1) v = from_bits(rng());
      if (trial % 4 == 3) v = std::ldexp(spot(rng), static_cast<int>(rng() % 90) - 60);
    }
    ASSERT_TRUE(same_row(static_cast<long long>(rng() % 1000000000), values)) << "seed " << seed;
  }
}

// Today's scan row: every number through the exact conversion.
std::string exact_scan_row(const double (&values)[4]) {
  char out[kNumberBytes];
  std::string row;
  for (int j = 0; j < 4; ++j)
    row += std::string(out, format_number_exact(out, 'E', -1, values[j])) + (j < 3 ? '\t' : '\n');
  return row;
}

// A scan row: the same bytes as today's, or -1 when a value is not finite
// or scientific6 leaves it to the exact conversion (a rounding too near a
// tie, some one value in 2^30).
::testing::AssertionResult same_scan_row(const double (&values)[4]) {
  char out[kScanRowBytes];
  const int length = scan_row_text(out, values[0], values[1], values[2], values[3]);
  const std::string want = exact_scan_row(values);
  if (testing::format_text(literals::kScanRow, {values[0], values[1], values[2], values[3]}) !=
      want)
    return ::testing::AssertionFailure() << "the formatter itself differs from the oracle";
  bool any_left = false;
  for (const double v : values) {
    char one[kDecimalBytes];
    any_left = any_left || !std::isfinite(v) || scientific6(one, v) < 0;
  }
  if (any_left != (length < 0))
    return ::testing::AssertionFailure() << "length " << length << " for \"" << want << "\"";
  if (length < 0 || std::string(out, length) == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got \"" << std::string(out, length) << "\", want \"" << want << "\"";
}

// The seams of %E: ties at the seventh significant digit, the carry of
// 9.9999995 into the next power of ten, exponents of one, two and three
// digits, subnormals and the largest double, beside the seams of fixed6.
TEST(ScanRow, EverySeamInEveryColumnPrintsAsBefore) {
  std::vector<double> values = seams();
  for (const double v :
       {1.0000005, 1.2345675e-5, 9.9999995, 9.9999995e99, 1e100, 1e-100, 9.9999996e-5, 123456.75,
        12345675.0, 10000005.0, 5e-324, 2.2250738585072014e-308})
    for (const double sign : {1.0, -1.0}) values.push_back(sign * v);
  for (const double seam : values) {
    for (int column = 0; column < 4; ++column) {
      double row[4] = {0.0021, -12.5, 3.25e-7, 0.0};
      row[column] = seam;
      ASSERT_TRUE(same_scan_row(row));
    }
  }
}

TEST(ScanRow, RandomValuesPrintAsBefore) {
  const unsigned seed = 20261210;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> scan(-1.0, 1.0);
  for (int trial = 0; trial < 200000; ++trial) {
    double row[4];
    for (double& v : row) {
      v = std::ldexp(scan(rng), static_cast<int>(rng() % 60) - 40);
      if (trial % 2 == 1) v = from_bits(rng());
    }
    ASSERT_TRUE(same_scan_row(row)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace lumaveil
