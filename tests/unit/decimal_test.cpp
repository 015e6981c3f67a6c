// The integer conversions of the report's numbers (%f, %10.6f, %E, %G)
// against the standard library's exact conversion that printed every report
// before them (format_number_exact): the same bytes for every double tried,
// the special values, the rounding boundaries and a large random sample of
// bit patterns.
#include "report/decimal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "report/decimal_digits.h"
#include "report/format.h"
#include "support/format_text.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::from_bits;

struct Conversion {
  const char* format;
  char kind;
  int precision;
  int width;
};

// Every conversion the reports use.
constexpr Conversion kConversions[] = {
    {"%f", 'f', -1, 0}, {"%10.6f", 'f', 6, 10}, {"%E", 'E', -1, 0}, {"%G", 'G', -1, 0}};

// Today's text of v: the exact conversion, padded to the width.
std::string exact_text(const Conversion& c, double v) {
  char out[kNumberBytes];
  const int n = format_number_exact(out, c.kind, c.precision, v);
  return std::string(n < c.width ? c.width - n : 0, ' ') + std::string(out, n);
}

// What the reports now print: the whole formatter.
std::string report_text(const Conversion& c, double v) { return testing::format_text(c.format, {v}); }

// Checks v and -v under every conversion; stops the test after a few
// failures so that a fault does not print a million lines.
class Agreement {
 public:
  bool check(double v, const char* what) {
    for (double w : {v, -v})
      for (const Conversion& c : kConversions) {
        const std::string want = exact_text(c, w), got = report_text(c, w);
        if (got == want) continue;
        ADD_FAILURE() << c.format << " of " << testing::exact(w) << " (" << what << "): printed \""
                      << got << "\", exact \"" << want << "\"";
        if (++failures_ >= 10) return false;
      }
    return true;
  }

 private:
  int failures_ = 0;
};

TEST(Decimal, SpecialValuesPrintAsTheExactConversion) {
  const double values[] = {0.0, 1.0, 0.5, 0.1, 1e-5, 1e-4, 1e5, 1e6, 123456.0, 999999.0,
                           DBL_MIN, DBL_TRUE_MIN, DBL_MAX, DBL_EPSILON, DBL_MIN - DBL_TRUE_MIN,
                           HUGE_VAL, NAN, 0.0000005, 0.0000015, 5e-7, 587.6, 486.1, 656.3};
  Agreement a;
  for (double v : values) ASSERT_TRUE(a.check(v, "special"));
}

// Exact ties below the last printed digit: %f of odd multiples of 2^-7
// (0.0078125 is ...812|5), %E of whole numbers of eight digits ending in 5,
// %G of seven; and the ties that carry into a new digit.
TEST(Decimal, ExactTiesRoundHalfToEven) {
  Agreement a;
  for (int j = 1; j < 4000; j += 2) ASSERT_TRUE(a.check(j / 128.0, "f tie"));
  for (int j = 1; j < 400; j += 2) ASSERT_TRUE(a.check(std::ldexp(j, -7) + 1e6, "f tie, large"));
  for (double base : {1e7, 1e6, 1e5})
    for (int j = 0; j < 2000; ++j) ASSERT_TRUE(a.check(base + 10 * j * 37 + 5, "E, G tie"));
  for (double v : {9999999.5, 99999995.0, 999999.5, 9999995.0, 0.5, 2.5, 0.125, 0.375})
    ASSERT_TRUE(a.check(v, "carry tie"));
  // Halves scaled by powers of two: exact ties at every digit position the
  // binary fraction reaches.
  for (int e = -30; e <= 30; ++e)
    for (int j = 1; j < 40; j += 2) ASSERT_TRUE(a.check(std::ldexp(j, e), "dyadic"));
}

// Decimal halfway points that no double hits exactly: eight significant
// digits ending in 5 (one digit more than %E prints), seven ending in 5 (%G),
// and seven decimals ending in 5 (%f). The nearest double lies within some
// 2^-33 of a unit of the last printed digit from the tie, so the rounding is
// decided by bits the table of powers of ten only just holds.
TEST(Decimal, DecimalMidpointsThatNoDoubleHits) {
  std::mt19937_64 rng(31337);
  Agreement a;
  for (int trial = 0; trial < 60000; ++trial) {
    const unsigned long long seven = 1000000 + rng() % 9000000;  // first digit not 0
    const int exponent = static_cast<int>(rng() % 600) - 300;
    const unsigned long long whole = rng() % 1000000;
    char ties[3][64];
    std::snprintf(ties[0], sizeof ties[0], "%llu5e%d", seven, exponent);
    std::snprintf(ties[1], sizeof ties[1], "%llu5e%d", seven / 10, exponent);
    std::snprintf(ties[2], sizeof ties[2], "%llu.%06llu5", whole, seven % 1000000);
    for (const char* text : ties) ASSERT_TRUE(a.check(std::strtod(text, nullptr), text));
  }
}

// Values next to where a digit changes: the powers of ten and the numbers
// that round up to them (9.9999995 carries to 1.000000E+01), each with its
// neighbouring doubles.
TEST(Decimal, NeighboursOfRoundingBoundaries) {
  Agreement a;
  for (int k = -324; k <= 308; ++k) {
    const double p = std::pow(10.0, k);
    for (double v : {p, 9.9999995 * p, 9.999995 * p, 5e-7 * p, 1.0000005 * p, 0.5 * p}) {
      double below = v, above = v;
      for (int step = 0; step < 4; ++step) {
        ASSERT_TRUE(a.check(below, "below a boundary"));
        ASSERT_TRUE(a.check(above, "above a boundary"));
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, HUGE_VAL);
      }
    }
  }
}

// Subnormals, and %f around 2^44, where the integer routine hands over to
// the exact conversion, up to the largest doubles.
TEST(Decimal, SubnormalsAndHugeValues) {
  Agreement a;
  std::mt19937_64 rng(20261208);
  for (int trial = 0; trial < 20000; ++trial)
    ASSERT_TRUE(a.check(from_bits(rng() & ((std::uint64_t{1} << 52) - 1)), "subnormal"));
  for (int e = 40; e <= 1023; ++e) {
    const double p = std::ldexp(1.0, e);
    for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL), p * 1.2345678})
      ASSERT_TRUE(a.check(v, "huge"));
  }
}

// Random bit patterns cover every exponent evenly; numbers spread
// logarithmically over the magnitudes a report shows cover the paths the
// routines decide without help. Both are reproducible from the seed.
TEST(Decimal, RandomBitPatternsAndReportMagnitudes) {
  const unsigned seed = 777;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> decades(-12.0, 12.0);
  Agreement a;
  for (int trial = 0; trial < 400000; ++trial) {
    const double pattern = from_bits(rng());
    ASSERT_TRUE(a.check(pattern, "bit pattern")) << "seed " << seed;
    ASSERT_TRUE(a.check(std::pow(10.0, decades(rng)), "report magnitude")) << "seed " << seed;
  }
}

// %f hands values of |v|·10^6 beyond 64 bits of fraction (|v| below 2^-17)
// to a slower rounding, and values from 2^44 on to the exact conversion:
// doubles on both sides of those seams, every mantissa pattern alike, and
// the numbers of a spot diagram (a few units, with five or six leading
// zeros after the point).
TEST(Decimal, FixedDecimalsOnBothSidesOfTheirSeams) {
  Agreement a;
  std::mt19937_64 rng(90210);
  for (int e = -24; e <= -12; ++e)
    for (int trial = 0; trial < 3000; ++trial) {
      const double mantissa = 1.0 + std::ldexp(static_cast<double>(rng() >> 12), -52);
      ASSERT_TRUE(a.check(std::ldexp(mantissa, e), "near 2^-17"));
    }
  for (int e = 42; e <= 46; ++e)
    for (int trial = 0; trial < 2000; ++trial) {
      const double mantissa = 1.0 + std::ldexp(static_cast<double>(rng() >> 12), -52);
      ASSERT_TRUE(a.check(std::ldexp(mantissa, e), "near 2^44"));
    }
  std::uniform_real_distribution<double> coordinate(-20.0, 20.0), tiny(-2e-5, 2e-5);
  for (int trial = 0; trial < 100000; ++trial) {
    ASSERT_TRUE(a.check(coordinate(rng), "spot coordinate"));
    ASSERT_TRUE(a.check(tiny(rng), "near the centre"));
  }
}

// The digit writers: every group of six digits, and integers of every
// length with their neighbours, against the C library.
TEST(Decimal, DigitsOfEveryGroupOfSixAndEveryLength) {
  for (std::uint64_t n = 0; n < 1000000; ++n) {
    char got[6], want[8];
    decimal_digits::put_six_digits(got, n);
    std::snprintf(want, sizeof want, "%06u", static_cast<unsigned>(n));
    ASSERT_EQ(std::string(got, 6), std::string(want, 6)) << n;
  }
  std::vector<long long> integers = {0, LLONG_MAX, LLONG_MIN, LLONG_MIN + 1};
  for (long long p = 1; p <= LLONG_MAX / 10; p *= 10)
    for (long long v : {p - 1, p, p + 1, 10 * p - 1}) {
      integers.push_back(v);
      integers.push_back(-v);
    }
  for (long long v : integers) {
    char out[kDecimalBytes];
    const int n = integer_text(out, v);
    ASSERT_EQ(std::string(out, n), std::to_string(v));
    ASSERT_EQ(testing::format_text("%d", {v}), std::to_string(v));
  }
}

// The routines decide by themselves all but a very few values (exact ties
// and those within 2^-32 of one); the rest fall back to the slower exact
// conversion, which must stay rare for the reports to print at speed.
TEST(Decimal, DecidesAlmostEveryValueItself) {
  std::mt19937_64 rng(4242);
  std::uniform_real_distribution<double> coordinate(-50.0, 50.0);
  int undecided = 0;
  char out[kDecimalBytes];
  for (int trial = 0; trial < 100000; ++trial) {
    const double v = coordinate(rng);
    undecided += fixed6(out, v) < 0;
    undecided += scientific6(out, v) < 0;
    undecided += general6(out, v) < 0;
  }
  EXPECT_LE(undecided, 3);
}

}  // namespace
}  // namespace lumaveil
