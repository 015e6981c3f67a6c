#include "cli/drawing/figures.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli/analysis/polynomial.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/page.h"
#include "cli/report_input/report_reader.h"
#include "support/report_files.h"
#include "support/test_support.h"
#include "support/xml_check.h"

namespace lumaveil::cli::drawing {
namespace {

namespace fs = std::filesystem;
using lumaveil::testing::file_exists;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using lumaveil::testing::test_data_dir;
using lumaveil::testing::write_file;
using lumaveil::testing::xml_problem;

constexpr double kPi = 3.14159265358979323846;

// A mode-4 block whose scans are samples of the polynomial, with that
// polynomial as their fit: the drawn curve goes through every marker.
TEST(FitCurve, DrawnCurveGoesThroughTheDrawnMarkers) {
  report_input::ReportContents r;
  r.mode = 4;
  report_input::AberrationBlock block;
  block.wavelength_nm = 587.6;
  const std::array<double, 7> c = {0, 0, 2, 0, -0.5, 0, 0.25};
  for (int l = -5; l <= 5; ++l) {
    double t = l / 5.0;
    block.u_scan.rows.push_back({0, t, 0, analysis::polynomial(c, t)});
  }
  block.u_scan.fit = c;
  block.v_scan = block.u_scan;
  r.aberrations.push_back(block);
  std::vector<Figure> figs = figures(r, nullptr, FigureOptions{});
  ASSERT_EQ(figs.size(), 2u);
  const std::string& svg = figs[0].svg;
  EXPECT_EQ(figs[0].file, "aberration-wavelength-1.svg");
  EXPECT_EQ(xml_problem(svg), "");
  // Polyline vertices and circle centres, in pixels.
  std::regex circle("<circle cx=\"([-0-9.]+)\" cy=\"([-0-9.]+)\" r=\"3.5\"");
  std::regex polyline("<polyline points=\"([^\"]*)\"");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, polyline));
  std::vector<analysis::Point> vertices;
  std::string points = m[1];
  std::regex pair("([-0-9.]+),([-0-9.]+)");
  for (auto it = std::sregex_iterator(points.begin(), points.end(), pair);
       it != std::sregex_iterator(); ++it)
    vertices.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  int markers = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), circle); it != std::sregex_iterator();
       ++it) {
    double cx = std::stod((*it)[1]);
    double cy = std::stod((*it)[2]);
    double nearest = 1e9;
    for (const auto& v : vertices) nearest = std::min(nearest, std::hypot(v.x - cx, v.y - cy));
    EXPECT_LT(nearest, 0.01) << "marker at " << cx << ", " << cy;
    ++markers;
  }
  EXPECT_EQ(markers, 11);
}

TEST(LengthText, MicrometresBelowAMillimetre) {
  EXPECT_EQ(length_text(0.004914), "4.914 µm");
  EXPECT_EQ(length_text(2.5), "2.5 mm");
  EXPECT_EQ(length_text(0), "0 mm");
}

using lumaveil::testing::every_report;

using inputs::LensView;

// The lens of the IN_FM.txt in `directory`, as the library reads it.
bool lens_in(const std::string& directory, LensView& lens) {
  const auto inputs = inputs::read_inputs(directory, false);
  if (!inputs->lens_file.read) return false;
  lens = inputs::lens_view(*inputs);
  return true;
}

// The lens file that belongs to a report among the test data and examples.
bool lens_for(const std::string& report_file, LensView& lens) {
  fs::path p(report_file);
  if (p.filename() == "expected.xls") return lens_in(p.parent_path().string(), lens);
  return lens_in((fs::path(LUMAVEIL_EXAMPLES_DIR) / p.parent_path().filename()).string(), lens);
}

TEST(Figures, EveryReportOfEveryModeGivesWellFormedPlotsNamedAfterWhatTheyShow) {
  int drawn = 0;
  for (const auto& file : every_report()) {
    SCOPED_TRACE(file);
    report_input::ReportContents r = report_input::read_report_file(file).value();
    LensView lens;
    bool have_lens = lens_for(file, lens);
    FigureOptions options;
    options.residuals = true;
    std::vector<std::string> notes;
    std::vector<Figure> figs = figures(r, have_lens ? &lens : nullptr, options, &notes);
    if (r.mode == 0) {
      EXPECT_TRUE(figs.empty());
      continue;
    }
    ASSERT_FALSE(figs.empty());
    for (const auto& f : figs) {
      SCOPED_TRACE(f.file);
      EXPECT_EQ(xml_problem(f.svg), "");
      EXPECT_TRUE(std::regex_match(f.file, std::regex("[a-z0-9-]+\\.svg")));
      ++drawn;
    }
    if (r.mode == 1) {
      EXPECT_EQ(figs.back().file, "layout.svg");
      EXPECT_EQ(figs.front().file, "spot-wavelength-1.svg");
      EXPECT_EQ(figs.size(), r.trajectories.size() + (r.trajectories.size() > 1 ? 2 : 1));
    }
    if (r.mode == 4) {
      EXPECT_EQ(figs.size(), 2 * r.aberrations.size());
    }
    if (r.mode == 2 || r.mode == 3) {
      EXPECT_EQ(figs[0].file, "merit.svg");
    }
    if (r.mode == 5 || r.mode == 6) {
      EXPECT_EQ(figs[2].file, "distances.svg");
    }
    std::string page =
        index_html(r, have_lens ? &lens : nullptr, figs, "2026-12-08 09:00 UTC", notes);
    EXPECT_EQ(xml_problem(page.substr(page.find("<html"))), "");
    for (const auto& f : figs) EXPECT_NE(page.find("src=\"" + f.file + "\""), std::string::npos);
  }
  EXPECT_GT(drawn, 100);
}

TEST(Figures, MissedRaysAreLeftOutAndCounted) {
  report_input::ReportContents r =
      report_input::read_report_file(test_data_dir() + "/reference/m1_singlet_ns1/expected.xls")
          .value();
  auto& spots = r.trajectories[0].spots;
  spots[0].x = NAN;
  spots[4].y = INFINITY;
  std::vector<Figure> figs = figures(r, nullptr, FigureOptions{});
  EXPECT_NE(figs[0].svg.find("2 of 5 rays missed"), std::string::npos);
  EXPECT_NE(figs[0].svg.find(">3</text>"), std::string::npos);
  EXPECT_EQ(xml_problem(figs[0].svg), "");

  report_input::ReportContents m2 =
      report_input::read_report_file(test_data_dir() + "/reference/m2_singlet_focus/expected.xls")
          .value();
  m2.optimisation.rows[1].e = NAN;
  m2.optimisation.rows[2].e = 0;
  std::vector<Figure> history = figures(m2, nullptr, FigureOptions{});
  EXPECT_NE(history[0].svg.find("2 of 6 values not finite or not positive, left out"),
            std::string::npos);
}

// A crafted report with 100,000 variable columns: the variables of each
// kind share one figure, which draws a palette's worth and counts the rest.
TEST(Figures, VariableHistoriesAreOneFigurePerKindWhateverTheirNumber) {
  for (int mode : {2, 3, 5}) {
    SCOPED_TRACE(mode);
    report_input::ReportContents r;
    r.mode = mode;
    if (mode == 5) r.optimisation.distance_names = {"D1"};
    const std::size_t count = 100000;
    for (std::size_t v = 0; v < count; ++v)
      r.optimisation.variable_names.push_back("1/R(" + std::to_string(v) + ")");
    for (int n = 1; n <= 3; ++n) {
      report_input::IterationRow row;
      row.n = n;
      row.e = 1.0 / n;
      row.distances = {10.0 + n};
      row.variables.assign(count, 0.01 * n);
      r.optimisation.rows.push_back(row);
    }
    FigureOptions options;
    options.residuals = true;
    std::vector<Figure> figs = figures(r, nullptr, options);
    std::vector<std::string> files;
    for (const auto& f : figs) files.push_back(f.file);
    const std::string variables = mode == 3 ? "distances.svg" : "curvatures.svg";
    std::vector<std::string> expected = {"merit.svg", "residuals.svg"};
    if (mode == 5) expected.push_back("distances.svg");
    expected.push_back(variables);
    EXPECT_EQ(files, expected);
    const std::string& svg = figs.back().svg;
    EXPECT_EQ(xml_problem(svg), "");
    EXPECT_NE(svg.find("and 99992 more variables not drawn"), std::string::npos);
    EXPECT_NE(svg.find("1/R(7)"), std::string::npos);
    EXPECT_EQ(svg.find("1/R(8)"), std::string::npos);
  }
}

TEST(Figures, WavelengthsNamedFromTheLensFile) {
  report_input::ReportContents r =
      report_input::read_report_file(test_data_dir() + "/reference/m1_triplet_sjis/expected.xls")
          .value();
  LensView lens;
  ASSERT_TRUE(lens_in(test_data_dir() + "/reference/m1_triplet_sjis", lens));
  std::vector<Figure> figs = figures(r, &lens, FigureOptions{});
  ASSERT_EQ(figs.size(), 5u);
  EXPECT_NE(figs[0].caption.find(analysis::label(lens.wavelengths[0], 6) + " nm"),
            std::string::npos);
  std::vector<Figure> unnamed = figures(r, nullptr, FigureOptions{});
  EXPECT_NE(unnamed[1].caption.find("wavelength 2"), std::string::npos);
}

// The x of the focus in the drawing of the concave mirror: the image plane
// lies in front of the mirror, so the light turns back to smaller z.
TEST(Layout, MirrorFoldsTheDrawingBack) {
  report_input::ReportContents r =
      report_input::read_report_file(test_data_dir() + "/examples/concave_mirror/m1.xls").value();
  LensView lens;
  ASSERT_TRUE(lens_in(std::string(LUMAVEIL_EXAMPLES_DIR) + "/concave_mirror", lens));
  ASSERT_TRUE(lens.mirror(1));
  std::vector<Figure> figs = figures(r, &lens, FigureOptions{});
  const std::string& layout = figs.back().svg;
  ASSERT_EQ(figs.back().file, "layout.svg");
  // The z axis runs from about -80 (the focus, 100 mm in front of the
  // mirror at z = 20) to the mirror.
  EXPECT_NE(layout.find(">-80</text>"), std::string::npos);
  EXPECT_EQ(layout.find(">120</text>"), std::string::npos);
  // The mirror is hatched on its back, away from the light: every stroke
  // runs from the surface toward larger z (the light comes from the left).
  std::regex hatch(
      "<line x1=\"([-0-9.]+)\" y1=\"[-0-9.]+\" x2=\"([-0-9.]+)\"[^>]*stroke-width=\"1.25\"");
  int strokes = 0;
  for (auto it = std::sregex_iterator(layout.begin(), layout.end(), hatch);
       it != std::sregex_iterator(); ++it, ++strokes)
    EXPECT_GT(std::stod((*it)[2]), std::stod((*it)[1]));
  EXPECT_GT(strokes, 10);
  // Lenses carry no hatching.
  report_input::ReportContents triplet =
      report_input::read_report_file(test_data_dir() + "/examples/cooke_triplet/m1.xls").value();
  LensView glass;
  ASSERT_TRUE(lens_in(std::string(LUMAVEIL_EXAMPLES_DIR) + "/cooke_triplet", glass));
  const std::string lens_layout = figures(triplet, &glass, FigureOptions{}).back().svg;
  EXPECT_FALSE(std::regex_search(lens_layout, hatch));
  // Without the lens file the drawing is unfolded and says so.
  std::vector<Figure> plain = figures(r, nullptr, FigureOptions{});
  EXPECT_NE(plain.back().svg.find("surfaces not drawn"), std::string::npos);
  EXPECT_NE(plain.back().svg.find(">120</text>"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::cli::drawing
