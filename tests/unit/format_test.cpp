#include "report/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "model/numbers.h"
#include "report/literals.h"
#include "report/report.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

struct StringSink : FormatSink {
  void append(const char* text, int length) override { out.append(text, length); }
  std::string out;
};

std::string fmt(const char* format, std::initializer_list<FormatArg> args) {
  StringSink sink;
  format_to(sink, format, args);
  return sink.out;
}

std::string c_printf(const char* format, double v) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// Worked numbers; every other value is checked against printf below.
TEST(Format, WorkedNumbersPrintAsTheReportsShowThem) {
  EXPECT_EQ(fmt("%f|%E|%10.6f|%G|%G|%d%%", {-12.5, 587.6, -0.05, 0.0001, 1e-5, -42}),
            "-12.500000|5.876000E+02| -0.050000|0.0001|1E-05|-42%");
}

// Doubles of every magnitude, and whole and half numbers whose last digit is an exact tie.
TEST(Format, AgreesWithPrintfOnRandomDoubles) {
  const unsigned seed = 20240611;
  std::mt19937_64 rng(seed);
  for (int trial = 0; trial < 6000; ++trial) {
    double v = static_cast<double>(rng() % 100000000) + 0.5 * (rng() % 2);
    if (trial % 3 == 1)
      v = std::ldexp(double(rng() >> 11), -53) * std::pow(10.0, int(rng() % 25) - 12);
    const std::uint64_t bits = rng();
    if (trial % 3 == 2) std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    for (const char* format : {"%f", "%E", "%G", "%10.6f"})
      ASSERT_EQ(fmt(format, {v}), c_printf(format, v))
          << format << " of " << testing::exact(v) << ", seed " << seed;
  }
}

TEST(Format, ReportWritesALineLongerThanItsBufferWhole) {
  testing::ScratchDir dir;
  Report().print("%f and the rest of the line\n", {1e300});
  const std::string expected = c_printf("%f", 1e300) + " and the rest of the line\n";
  EXPECT_GT(expected.size(), 255u);
  EXPECT_EQ(testing::read_file("OUT_M.xls"), expected);
}

// Whether the environment asks that the locale test run (CI sets
// LUMAVEIL_REQUIRE_LOCALE_TEST=1): then a missing locale is a failure.
bool locale_test_required() {
  const char* value = std::getenv("LUMAVEIL_REQUIRE_LOCALE_TEST");
  return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// A host may set a comma-decimal locale: cells still read, and numbers print, with a full stop.
TEST(Format, ACommaDecimalLocaleChangesNeitherReadingNorPrinting) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    if (locale_test_required())
      FAIL() << "no de_DE.UTF-8 locale (scripts/ensure-test-locale.sh makes it)";
    GTEST_SKIP() << "no de_DE.UTF-8 locale";
  }
  const std::string point = std::localeconv()->decimal_point;  // "," proves the locale bites
  const double read = parse_real("0.0214087");
  const std::string printed = fmt("%f %E %G", {1.5, 1.5, 1.5});
  std::setlocale(LC_ALL, "C");
  ASSERT_EQ(point, ",");
  EXPECT_EQ(read, 0.0214087);
  EXPECT_EQ(printed, "1.500000 1.500000E+00 1.5");
}

// The Shift_JIS bytes of a heading, from hexadecimal.
std::string sjis(const std::string& hex) {
  std::string out;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 3)
    out += char(std::stoi(hex.substr(at, 2), nullptr, 16));
  return out + "\n";
}

TEST(Format, JapaneseHeadingsAreTheShiftJisBytes) {
  const std::string wavelength = "94 67 92 B7 25 ", axis = "8E B2 8A D4 8B 97 97 A3 ",
                    result = "8D C5 93 4B 89 BB 8C 76 8E 5A 8C 8B 89 CA",
                    method = "4E 8E 9F 8C B3 47 61 75 73 73 2D 4E 65 77 74 6F 6E 96 40 82 C9 82 E6 "
                             "82 E9 83 8C 83 93 83 59 ",
                    curvature = method + "8B C8 97 A6 28 31 2F 52 29 ";
  EXPECT_EQ(literals::kCentralBundleHeading,
            sjis(wavelength + "64 81 69 92 86 90 53 8C F5 91 A9 82 CC 8B 4F 90 D5 81 6A"));
  EXPECT_EQ(literals::kSpotDiagramHeading,
            sjis("0A " + wavelength + "64 81 69 83 58 83 7C 83 62 83 67 83 5F 83 43 83 41 83 4F 83 89 "
                                     "83 80 81 6A 09 09 09 25 64"));
  EXPECT_EQ(literals::kCurvatureHeading, sjis(curvature + result));
  EXPECT_EQ(literals::kDistanceHeading, sjis(method + "8A D4 8A 75 28 44 29 " + result));
  EXPECT_EQ(literals::kCurvatureOneDistanceHeading, sjis(curvature + "2B 31 " + axis + result));
  EXPECT_EQ(literals::kCurvatureTwoDistancesHeading, sjis(curvature + "2B 32 " + axis + result));
  EXPECT_EQ(literals::kWavelengthLine, sjis(wavelength + "45 28 6E 6D 29"));
  EXPECT_EQ(literals::kCoefficientLine, sjis("25 64 8E 9F 09 25 45"));
}

}  // namespace
}  // namespace lumaveil
