#include "report/format.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "model/numbers.h"
#include "report/literals.h"
#include "report/report.h"
#include "support/format_text.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::format_text;

std::string c_printf(const char* format, double v) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// Worked numbers; every other value is checked against printf below.
TEST(Format, WorkedNumbersPrintAsTheReportsShowThem) {
  EXPECT_EQ(format_text("%f|%E|%10.6f|%G|%G|%d%%", {-12.5, 587.6, -0.05, 0.0001, 1e-5, -42}),
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
      ASSERT_EQ(format_text(format, {v}), c_printf(format, v))
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

// Lines of several long numbers: the formatter hands its pieces over in
// runs of bounded size, and none may be lost, doubled or reordered at the
// seams, wherever they fall.
TEST(Format, ALineOfManyLongNumbersComesOutWhole) {
  const double values[] = {1e300, -1.7976931348623157e308, 2.5, -1e299, 3e250};
  for (int shift = 0; shift < 40; ++shift) {
    // Text of up to 1,600 bytes between the first number and the others.
    const std::string text(static_cast<std::size_t>(shift) * 41, 'a');
    const std::string format = "%f\t" + text + "%f\t%10.6f\t%600f\t%f\n";
    const char* pieces[] = {"%f", "%f", "\t%10.6f", "\t%600f", "\t%f"};
    std::string expected;
    for (int j = 0; j < 5; ++j) {
      char piece[1024];
      std::snprintf(piece, sizeof piece, pieces[j], values[j]);
      expected += piece;
      if (j == 0) expected += "\t" + text;
    }
    expected += "\n";
    ASSERT_EQ(format_text(format.c_str(), {values[0], values[1], values[2], values[3], values[4]}),
              expected)
        << "text of " << text.size() << " bytes";
  }
}

// A format is taken apart in parts of ParsedFormat::kMaxPieces pieces: a
// format of many more must come out whole wherever a part ends, also when
// it ends between "%%" and the text after it, or arguments run out.
TEST(Format, AFormatOfManyPiecesComesOutWholeAcrossItsParts) {
  struct Case {
    int conversions;
    int arguments;
  };
  for (const Case c : {Case{11, 11}, Case{12, 12}, Case{13, 13}, Case{40, 40}, Case{40, 25}}) {
    std::string format = "[";
    std::string expected = "[";
    for (int j = 0; j < c.conversions; ++j) {
      format += "%d%%x";
      expected += (j < c.arguments ? std::to_string(j) : "") + "%x";
    }
    format += "%5.";  // cut short: writes nothing
    std::string got;
    switch (c.arguments) {
      case 11: got = format_text(format.c_str(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}); break;
      case 12: got = format_text(format.c_str(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}); break;
      case 13: got = format_text(format.c_str(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}); break;
      case 25:
        got = format_text(format.c_str(), {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});
        break;
      default:
        got = format_text(format.c_str(),
                          {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                           14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                           28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39});
    }
    EXPECT_EQ(got, expected) << c.conversions << " conversions, " << c.arguments << " arguments";
  }
}

// Widths as printf pads them, for rows taken at once (the report's) and for
// a row too long for that, whose numbers go piece by piece: many padded
// numbers, or one very wide. Values of each kind: ordinary, negative zero,
// too large for the integer routines, not finite.
TEST(Format, WidthsPadAsPrintfDoesOnEveryPath) {
  const double values[] = {0.0,  -0.0, 2.5,    -0.000012, 123.456789, -98765.4321,
                           3e-7, 1e20, -1e300, HUGE_VAL,  -HUGE_VAL,  1.0 / 3};
  std::string row;
  for (int j = 0; j < 17; ++j) row += "%25.6f|";
  for (const std::string& format :
       {std::string("%10.6f"), std::string("%3.6f"), std::string("%25.6f"),
        std::string("%14E|%15G|%9f"), std::string("%9000f"), row})
    for (double v : values) {
      std::string want;
      for (const char* p = format.c_str(); *p != '\0';) {
        // printf of each conversion alone, with the text after it.
        const char* next = std::strchr(p + 1, '%');
        const std::string piece(
            p, next == nullptr ? std::strlen(p) : static_cast<std::size_t>(next - p));
        std::vector<char> buffer(10000);
        std::snprintf(buffer.data(), buffer.size(), piece.c_str(), v);
        want += buffer.data();
        p += piece.size();
      }
      std::string got;
      if (format == row)
        got = format_text(format.c_str(), {v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v});
      else if (format.find('|') != std::string::npos)
        got = format_text(format.c_str(), {v, v, v});
      else
        got = format_text(format.c_str(), {v});
      ASSERT_EQ(got, want) << format << " of " << testing::exact(v);
    }
}

// The rows of the spot diagram and the scans go through a format parsed
// once: it writes what the format's text writes.
TEST(Format, AParsedRowFormatWritesWhatItsTextWrites) {
  struct StringSink : FormatSink {
    void append(const char* text, int length) override { out.append(text, length); }
    std::string out;
  };
  constexpr ParsedFormat spot{literals::kSpotRow};
  constexpr ParsedFormat scan{literals::kScanRow};
  StringSink a, b;
  format_to(a, spot, {123456789LL, -0.05, 1e300, -0.0, 2.5e-7});
  format_to(b, scan, {-0.05, 1e300, -0.0, std::nan("")});
  EXPECT_EQ(a.out, format_text(literals::kSpotRow, {123456789LL, -0.05, 1e300, -0.0, 2.5e-7}));
  EXPECT_EQ(b.out, format_text(literals::kScanRow, {-0.05, 1e300, -0.0, std::nan("")}));
  EXPECT_EQ(b.out, "-5.000000E-02\t1.000000E+300\t-0.000000E+00\tNAN\n");
}

// A host may set a comma-decimal locale: cells still read, and numbers print, with a full stop.
TEST(Format, ACommaDecimalLocaleChangesNeitherReadingNorPrinting) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    // CI sets LUMAVEIL_REQUIRE_LOCALE_TEST=1: then a missing locale is a failure.
    if (testing::required("LUMAVEIL_REQUIRE_LOCALE_TEST"))
      FAIL() << "no de_DE.UTF-8 locale (sh scripts/install-deps.sh locale makes it)";
    GTEST_SKIP() << "no de_DE.UTF-8 locale";
  }
  const std::string point = std::localeconv()->decimal_point;  // "," proves the locale bites
  const double read = parse_real("0.0214087");
  const std::string printed = format_text("%f %E %G", {1.5, 1.5, 1.5});
  std::setlocale(LC_ALL, "C");
  ASSERT_EQ(point, ",");
  EXPECT_EQ(read, 0.0214087);
  EXPECT_EQ(printed, "1.500000 1.500000E+00 1.5");
}

// The Shift_JIS bytes of a line of Japanese text (written here in UTF-8),
// converted by the C library's iconv, with its line feed.
std::string shift_jis_line(const std::string& utf8) {
  iconv_t to_sjis = iconv_open("SHIFT_JIS", "UTF-8");
  if (to_sjis == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "the C library cannot convert UTF-8 to Shift_JIS";
    return {};
  }
  std::string in = utf8;
  std::string out(2 * in.size() + 1, '\0');
  char* in_at = in.data();
  char* out_at = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  const std::size_t converted = iconv(to_sjis, &in_at, &in_left, &out_at, &out_left);
  iconv_close(to_sjis);
  EXPECT_NE(converted, static_cast<std::size_t>(-1)) << utf8;
  out.resize(out.size() - out_left);
  return out + "\n";
}

TEST(Format, JapaneseHeadingsAreTheShiftJisBytes) {
  const std::string wavelength = "波長%";
  const std::string method = "N次元Gauss-Newton法によるレンズ";
  const std::string curvature = method + "曲率(1/R)";
  const std::string axis = "軸間距離";
  const std::string result = "最適化計算結果";
  EXPECT_EQ(literals::kCentralBundleHeading, shift_jis_line(wavelength + "d（中心光束の軌跡）"));
  EXPECT_EQ(literals::kSpotDiagramHeading,
            shift_jis_line("\n" + wavelength + "d（スポットダイアグラム）\t\t\t%d"));
  EXPECT_EQ(literals::kCurvatureHeading, shift_jis_line(curvature + result));
  EXPECT_EQ(literals::kDistanceHeading, shift_jis_line(method + "間隔(D)" + result));
  EXPECT_EQ(literals::kCurvatureOneDistanceHeading, shift_jis_line(curvature + "+1" + axis + result));
  EXPECT_EQ(literals::kCurvatureTwoDistancesHeading,
            shift_jis_line(curvature + "+2" + axis + result));
  EXPECT_EQ(literals::kWavelengthLine, shift_jis_line(wavelength + "E(nm)"));
  EXPECT_EQ(literals::kCoefficientLine, shift_jis_line("%d次\t%E"));
}

}  // namespace
}  // namespace lumaveil
