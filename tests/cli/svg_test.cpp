#include "svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "cli/xml_check.h"

namespace lumaveil::svg {
namespace {

using lumaveil::testing::xml_problem;

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

TEST(LogTicks, DecadesAndTheirHalvesOnShortRanges) {
  Ticks wide = log_ticks(3e-7, 0.2);
  EXPECT_EQ(wide.values.front(), 1e-7);
  EXPECT_EQ(wide.values.back(), 1);
  EXPECT_EQ(wide.values.size(), 8u);
  Ticks short_range = log_ticks(7.97e-4, 1.42e-3);
  EXPECT_EQ(short_range.labels,
            (std::vector<std::string>{"0.0001", "0.0002", "0.0005", "0.001", "0.002", "0.005", "0.01"}));
  // One value: still a decade around it.
  Ticks one = log_ticks(5, 5);
  EXPECT_LE(one.lo, 5);
  EXPECT_GE(one.hi, 5);
  EXPECT_LT(one.lo, one.hi);
}

TEST(SvgText, EscapingAndNumbers) {
  EXPECT_EQ(escape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
  EXPECT_EQ(escape(std::string("x\x01y", 3)), "x y");
  EXPECT_EQ(escape("波長 µm"), "波長 µm");
  EXPECT_EQ(number(12.5), "12.5");
  EXPECT_EQ(number(-0.0001), "0");
  EXPECT_EQ(number(100), "100");
  EXPECT_EQ(number(1.23456), "1.235");
  EXPECT_EQ(number(NAN), "0");
  EXPECT_EQ(label(0.0214087, 3), "0.0214");
  EXPECT_EQ(label(587.6, 6), "587.6");
  EXPECT_EQ(label(2.5e-7, 2), "2.5e-07");
}

TEST(SvgDocument, EveryElementKindMakesWellFormedXml) {
  Document doc(400, 300);
  doc.line(0, 0, 10, 10, Style{"#000000", "none", 1, "4 2"});
  doc.polyline({{1, 2}, {3, 4}}, Style{"red", "none", 2, ""});
  doc.circle(5, 5, 2, Style{"none", "blue", 1, ""});
  doc.rect(1, 1, 5, 5, Style{});
  TextStyle rotated;
  rotated.rotate = -90;
  rotated.bold = true;
  doc.text(10, 20, "R < 0 & \"concave\"", rotated);
  std::string text = doc.str();
  EXPECT_EQ(xml_problem(text), "");
  EXPECT_NE(text.find("R &lt; 0 &amp; &quot;concave&quot;"), std::string::npos);
  EXPECT_NE(text.find("rotate(-90 10 20)"), std::string::npos);
  // The checker itself finds faults.
  EXPECT_NE(xml_problem("<svg><g></svg>"), "");
  EXPECT_NE(xml_problem("<svg a=\"1\" a=\"2\"/>"), "");
  EXPECT_NE(xml_problem("<svg>R & D</svg>"), "");
  EXPECT_NE(xml_problem("<svg x=1/>"), "");
}

TEST(SvgChart, DataMapsOntoTheAreaAndAxesAreDrawn) {
  Document doc(600, 400);
  Chart chart(doc, 100, 50, 400, 300, Axis{0.3, 9.7, "z (mm)"}, Axis{-1, 1, "y (mm)"});
  EXPECT_DOUBLE_EQ(chart.px(0), 100);
  EXPECT_DOUBLE_EQ(chart.px(10), 500);
  EXPECT_DOUBLE_EQ(chart.py(-1), 350);
  EXPECT_DOUBLE_EQ(chart.py(1), 50);
  EXPECT_FALSE(chart.inside(NAN, 0));
  EXPECT_FALSE(chart.inside(11, 0));
  chart.draw_axes("title & more");
  chart.curve({{1, 0}, {2, NAN}, {3, 0.5}, {4, 0.6}}, "#ff0000");
  chart.legend({{"#ff0000", "U scan"}});
  std::string text = doc.str();
  EXPECT_EQ(xml_problem(text), "");
  EXPECT_NE(text.find(">z (mm)</text>"), std::string::npos);
  EXPECT_NE(text.find(">title &amp; more</text>"), std::string::npos);
  // The non-finite point breaks the line: one polyline of the two last points.
  EXPECT_EQ(text.find("<polyline"), text.rfind("<polyline"));

  Document log_doc(600, 400);
  Chart log_chart(log_doc, 100, 50, 400, 300, Axis{1, 5, "n"}, Axis{1e-4, 1e-1, "E", true});
  EXPECT_DOUBLE_EQ(log_chart.py(1e-4), 350);
  EXPECT_DOUBLE_EQ(log_chart.py(1e-1), 50);
  EXPECT_NEAR(log_chart.py(1e-2), 150, 1e-9);
  EXPECT_FALSE(log_chart.inside(2, 0));
  EXPECT_FALSE(log_chart.inside(2, -1e-3));

  Document exact_doc(600, 600);
  Chart square(exact_doc, 0, 0, 500, 500, Axis{-0.013, 0.013, "X", false, true},
               Axis{4.987, 5.013, "Y", false, true});
  EXPECT_DOUBLE_EQ(square.px(0.013) - square.px(-0.013), square.py(4.987) - square.py(5.013));
  for (double v : square.y_ticks().values) {
    EXPECT_GE(v, 4.987 - 1e-12);
    EXPECT_LE(v, 5.013 + 1e-12);
  }
}

TEST(SvgChart, CountAxesTickAtWholeNumbers) {
  Document doc(600, 400);
  Axis passes{0, 3, "outer pass"};
  passes.whole = true;
  Chart chart(doc, 100, 50, 400, 300, passes, Axis{0, 1, "E"});
  EXPECT_EQ(chart.x_ticks().labels, (std::vector<std::string>{"0", "1", "2", "3"}));
  Axis one{1, 1, "iteration"};
  one.whole = true;
  Chart single(doc, 100, 50, 400, 300, one, Axis{0, 1, "E"});
  for (double v : single.x_ticks().values) EXPECT_EQ(v, std::floor(v));
  EXPECT_LE(single.x_ticks().lo, 1);
  EXPECT_GE(single.x_ticks().hi, 1);
}

TEST(SvgRange, FiniteValuesOnly) {
  Axis a = range_of({3, NAN, -2, INFINITY, 7});
  EXPECT_EQ(a.lo, -2);
  EXPECT_EQ(a.hi, 7);
  Axis l = range_of({0, -1, 1e-3, 2}, true);
  EXPECT_EQ(l.lo, 1e-3);
  EXPECT_EQ(l.hi, 2);
  EXPECT_NE(colour(0), colour(1));
  EXPECT_EQ(colour(0), colour(8));
}

}  // namespace
}  // namespace lumaveil::svg
