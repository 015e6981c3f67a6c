#include "cli/drawing/svg.h"
#include "cli/drawing/chart.h"
#include "cli/drawing/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

#include "support/xml_check.h"

namespace lumaveil::cli::drawing {
namespace {

using analysis::label;
using lumaveil::testing::xml_problem;

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
  Style shade{"none", "#0060c0", 1, ""};
  shade.fill_opacity = 0.25;
  doc.path("M8 8h4v4h-4z", shade);
  TextStyle rotated;
  rotated.rotate = -90;
  rotated.bold = true;
  doc.text(10, 20, "R < 0 & \"concave\"", rotated);
  std::string text = doc.str();
  EXPECT_EQ(xml_problem(text), "");
  EXPECT_NE(text.find("R &lt; 0 &amp; &quot;concave&quot;"), std::string::npos);
  EXPECT_NE(text.find("rotate(-90 10 20)"), std::string::npos);
  EXPECT_NE(
      text.find(
          "<path d=\"M8 8h4v4h-4z\" stroke=\"none\" fill=\"#0060c0\" fill-opacity=\"0.25\"/>"),
      std::string::npos);
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

// Legends and notes never cover data: every element they add lies below the
// plot area, and the document grows to hold as many notes as there are.
TEST(SvgChart, LegendAndNotesLieBelowThePlotArea) {
  Document doc(600, 400);
  Chart chart(doc, 100, 50, 400, 250, Axis{0, 1, "x"}, Axis{0, 1, "y"});
  const std::size_t before = doc.str().size() - std::string("</svg>\n").size();
  chart.legend({{"#ff0000", "Xa"}, {"#00ff00", "Xs"}, {"#0000ff", "a longer name"}});
  for (int row = 0; row < 4; ++row) chart.note("note " + std::to_string(row), row);
  const std::string added = doc.str().substr(before);
  std::regex element("<(rect|text) x=\"([-0-9.]+)\" y=\"([-0-9.]+)\"");
  int seen = 0;
  for (auto it = std::sregex_iterator(added.begin(), added.end(), element);
       it != std::sregex_iterator(); ++it) {
    // A text's y is its baseline; 16 px above it is the top of its letters.
    double top = std::stod((*it)[3]) - ((*it)[1] == "text" ? 16 : 0);
    EXPECT_GT(top, 50 + 250 + 20) << (*it)[0];
    EXPECT_LT(std::stod((*it)[3]), doc.height()) << (*it)[0];
    ++seen;
  }
  EXPECT_EQ(seen, 3 * 2 + 4);
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
}  // namespace lumaveil::cli::drawing
