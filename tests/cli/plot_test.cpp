#include <sys/stat.h>
#include "plot.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli/xml_check.h"
#include "cli/report_files.h"
#include "support/test_support.h"

namespace lumaveil::plot {
namespace {

namespace fs = std::filesystem;
using lumaveil::testing::file_exists;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using lumaveil::testing::test_data_dir;
using lumaveil::testing::write_file;
using lumaveil::testing::xml_problem;

constexpr double kPi = 3.14159265358979323846;

TEST(SpotStats, PointsOnACircleHaveThatRadiusAsRmsAndGeometricRadius) {
  for (double r : {1e-3, 0.25, 40.0}) {
    std::vector<svg::Point> points;
    for (int k = 0; k < 16; ++k)
      points.push_back({3 + r * std::cos(2 * kPi * k / 16), -2 + r * std::sin(2 * kPi * k / 16)});
    SpotStats s = spot_stats(points);
    EXPECT_NEAR(s.cx, 3, r * 1e-12);
    EXPECT_NEAR(s.cy, -2, r * 1e-12);
    EXPECT_NEAR(s.rms, r, r * 1e-12);
    EXPECT_NEAR(s.geometric, r, r * 1e-12);
    EXPECT_EQ(s.used, 16);
  }
}

TEST(SpotStats, RmsAboutTheCentroidAndMissedRaysLeftOut) {
  // Two points at distance 1 from their centroid, a third far out, two lost.
  SpotStats s = spot_stats({{0, 0}, {2, 0}, {1, 3}, {NAN, 1}, {1, INFINITY}});
  EXPECT_EQ(s.used, 3);
  EXPECT_EQ(s.total, 5);
  EXPECT_DOUBLE_EQ(s.cx, 1);
  EXPECT_DOUBLE_EQ(s.cy, 1);
  EXPECT_DOUBLE_EQ(s.rms, std::sqrt((2.0 + 2.0 + 4.0) / 3));
  EXPECT_DOUBLE_EQ(s.geometric, 2);
  SpotStats none = spot_stats({{NAN, NAN}});
  EXPECT_EQ(none.used, 0);
  EXPECT_EQ(none.rms, 0);
}

TEST(FitCurve, PassesThroughTheSamplesOfAnExactPolynomial) {
  const std::array<double, 7> c = {0.5, -1.25, 3, 0.75, -2, 0.125, 1};
  auto exact = [&](double t) {
    return 0.5 - 1.25 * t + 3 * t * t + 0.75 * std::pow(t, 3) - 2 * std::pow(t, 4) +
           0.125 * std::pow(t, 5) + std::pow(t, 6);
  };
  // 2M + 1 = 9 scan points; 8k + 1 curve samples fall on them.
  std::vector<svg::Point> curve = fit_curve(c, 8 * 25 + 1);
  ASSERT_EQ(curve.size(), 201u);
  EXPECT_EQ(curve.front().x, -1);
  EXPECT_EQ(curve.back().x, 1);
  for (int l = -4; l <= 4; ++l) {
    const svg::Point& p = curve[static_cast<std::size_t>((l + 4) * 25)];
    EXPECT_NEAR(p.x, l / 4.0, 1e-15);
    EXPECT_NEAR(p.y, exact(l / 4.0), 1e-12);
  }
  EXPECT_DOUBLE_EQ(polynomial(c, 0), 0.5);
  EXPECT_DOUBLE_EQ(polynomial(c, 1), exact(1));
}

// A mode-4 block whose scans are samples of the polynomial, with that
// polynomial as their fit: the drawn curve goes through every marker.
TEST(FitCurve, DrawnCurveGoesThroughTheDrawnMarkers) {
  report::Report r;
  r.mode = 4;
  report::AberrationBlock block;
  block.wavelength_nm = 587.6;
  const std::array<double, 7> c = {0, 0, 2, 0, -0.5, 0, 0.25};
  for (int l = -5; l <= 5; ++l) {
    double t = l / 5.0;
    block.u_scan.rows.push_back({0, t, 0, polynomial(c, t)});
  }
  block.u_scan.fit = c;
  block.v_scan = block.u_scan;
  r.aberrations.push_back(block);
  std::vector<Figure> figs = figures(r, nullptr, Options{});
  ASSERT_EQ(figs.size(), 2u);
  const std::string& svg = figs[0].svg;
  EXPECT_EQ(figs[0].file, "aberration-wavelength-1.svg");
  EXPECT_EQ(xml_problem(svg), "");
  // Polyline vertices and circle centres, in pixels.
  std::regex circle("<circle cx=\"([-0-9.]+)\" cy=\"([-0-9.]+)\" r=\"3.5\"");
  std::regex polyline("<polyline points=\"([^\"]*)\"");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, polyline));
  std::vector<svg::Point> vertices;
  std::string points = m[1];
  std::regex pair("([-0-9.]+),([-0-9.]+)");
  for (auto it = std::sregex_iterator(points.begin(), points.end(), pair); it != std::sregex_iterator(); ++it)
    vertices.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  int markers = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), circle); it != std::sregex_iterator(); ++it) {
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

using cli::inputs::LensView;

// The lens of the IN_FM.txt in `directory`, as the library reads it.
bool lens_in(const std::string& directory, LensView& lens) {
  const auto inputs = cli::inputs::read_inputs(directory, false);
  if (!inputs->lens_file.read) return false;
  lens = cli::inputs::lens_view(*inputs);
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
    report::Report r = report::read_report_file(file);
    LensView lens;
    bool have_lens = lens_for(file, lens);
    Options options;
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
    std::string page = index_html(r, have_lens ? &lens : nullptr, figs, "2026-12-08 09:00 UTC", notes);
    EXPECT_EQ(xml_problem(page.substr(page.find("<html"))), "");
    for (const auto& f : figs) EXPECT_NE(page.find("src=\"" + f.file + "\""), std::string::npos);
  }
  EXPECT_GT(drawn, 100);
}

TEST(Figures, MissedRaysAreLeftOutAndCounted) {
  report::Report r = report::read_report_file(test_data_dir() + "/reference/m1_singlet_ns1/expected.xls");
  auto& spots = r.trajectories[0].spots;
  spots[0].x = NAN;
  spots[4].y = INFINITY;
  std::vector<Figure> figs = figures(r, nullptr, Options{});
  EXPECT_NE(figs[0].svg.find("2 of 5 rays missed"), std::string::npos);
  EXPECT_NE(figs[0].svg.find(">3 rays</text>"), std::string::npos);
  EXPECT_EQ(xml_problem(figs[0].svg), "");

  report::Report m2 = report::read_report_file(test_data_dir() + "/reference/m2_singlet_focus/expected.xls");
  m2.optimisation.rows[1].e = NAN;
  m2.optimisation.rows[2].e = 0;
  std::vector<Figure> history = figures(m2, nullptr, Options{});
  EXPECT_NE(history[0].svg.find("2 of 6 values not finite or not positive, left out"), std::string::npos);
}

TEST(Figures, WavelengthsNamedFromTheLensFile) {
  report::Report r = report::read_report_file(test_data_dir() + "/reference/m1_triplet_sjis/expected.xls");
  LensView lens;
  ASSERT_TRUE(lens_in(test_data_dir() + "/reference/m1_triplet_sjis", lens));
  std::vector<Figure> figs = figures(r, &lens, Options{});
  ASSERT_EQ(figs.size(), 5u);
  EXPECT_NE(figs[0].caption.find(svg::label(lens.wavelengths[0], 6) + " nm"), std::string::npos);
  std::vector<Figure> unnamed = figures(r, nullptr, Options{});
  EXPECT_NE(unnamed[1].caption.find("wavelength 2"), std::string::npos);
}

// The x of the focus in the drawing of the concave mirror: the image plane
// lies in front of the mirror, so the light turns back to smaller z.
TEST(Layout, MirrorFoldsTheDrawingBack) {
  report::Report r = report::read_report_file(test_data_dir() + "/examples/concave_mirror/m1.xls");
  LensView lens;
  ASSERT_TRUE(lens_in(std::string(LUMAVEIL_EXAMPLES_DIR) + "/concave_mirror", lens));
  ASSERT_TRUE(lens.mirror(1));
  std::vector<Figure> figs = figures(r, &lens, Options{});
  const std::string& layout = figs.back().svg;
  ASSERT_EQ(figs.back().file, "layout.svg");
  // The z axis runs from about -80 (the focus, 100 mm in front of the
  // mirror at z = 20) to the mirror.
  EXPECT_NE(layout.find(">-80</text>"), std::string::npos);
  EXPECT_EQ(layout.find(">120</text>"), std::string::npos);
  // Without the lens file the drawing is unfolded and says so.
  std::vector<Figure> plain = figures(r, nullptr, Options{});
  EXPECT_NE(plain.back().svg.find("surfaces not drawn"), std::string::npos);
  EXPECT_NE(plain.back().svg.find(">120</text>"), std::string::npos);
}

// ---- The command, through the host ---------------------------------------

struct HostRun {
  int status = 0;
  std::string err;
};

HostRun host(const std::string& arguments) {
  std::string command = std::string("\"") + LUMAVEIL_HOST + "\" " + arguments + " >out.txt 2>err.txt";
  int raw = std::system(command.c_str());
  HostRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = read_file("err.txt");
  return run;
}

void copy_example(const std::string& name, const std::string& to) {
  fs::create_directories(to);
  for (const char* f : {"IN_FM.txt", "IN_FM2.txt"})
    fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / name / f, fs::path(to) / f);
}

TEST(PlotCommand, EveryModeOfAnExampleWritesItsPlotsAndThePage) {
  ScratchDir scratch;
  for (int mode = 1; mode <= 6; ++mode) {
    SCOPED_TRACE(mode);
    std::string dir = "m";
  dir += std::to_string(mode);
    copy_example("achromatic_doublet", dir);
    ASSERT_EQ(host("-C " + dir + " " + std::to_string(mode)).status, 0);
    HostRun run = host("plot -C " + dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string page = read_file(dir + "/plots/index.html");
    EXPECT_NE(page.find(report::mode_title(mode)), std::string::npos);
    EXPECT_NE(page.find("achromat"), std::string::npos) << "the lens title";
    std::regex image("src=\"([^\"]+)\"");
    int images = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), image); it != std::sregex_iterator(); ++it) {
      std::string svg = read_file(dir + "/plots/" + (*it)[1].str());
      EXPECT_EQ(xml_problem(svg), "") << (*it)[1];
      ++images;
    }
    EXPECT_GT(images, 0);
    // The page needs nothing from the network and no script.
    EXPECT_EQ(page.find("http"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
  }
  // -o: a folder of one's choice, taken inside DIR when relative.
  ASSERT_EQ(host("plot -C m2 -o pictures --residuals").status, 0);
  EXPECT_TRUE(file_exists("m2/pictures/residuals.svg"));
  EXPECT_FALSE(file_exists("m2/plots/residuals.svg"));
}

// A singlet of curvature 1/64 written plainly, with NUMB = `numb`.
std::string singlet_text(int numb) {
  lumaveil::testing::LensFile lens{.steps = 2, .RH = 5,
      .surfaces = {{.D = 10, .n = {1}}, {.C = 0.015625, .D = 4, .n = {1.5168}},
                   {.D = 97, .n = {1}}, {.n = {1}}, {.n = {1}}}, .numb = numb};
  return lens.text();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// A plot draws the lens the library computes: a cell the library reads by
// its own rules draws as the plainly written value the library takes it for.
TEST(PlotCommand, DrawsTheLensTheLibraryComputes) {
  ScratchDir scratch;
  struct Case {
    std::string plain, odd;
  };
  const Case cases[] = {
      {singlet_text(4), replaced(singlet_text(4), "\t0.015625\t", "\t0x1p-6\t")},
      {singlet_text(100), replaced(singlet_text(100), "\nNUMB\t100\n", "\nNUMB\t3000000000\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.odd.substr(0, 300));
    fs::remove_all("plain");
    fs::remove_all("odd");
    fs::create_directories("plain");
    fs::create_directories("odd");
    write_file("plain/IN_FM.txt", c.plain);
    write_file("odd/IN_FM.txt", c.odd);
    ASSERT_EQ(host("-C plain 1").status, 0);
    fs::copy_file("plain/OUT_M.xls", "odd/OUT_M.xls");
    ASSERT_EQ(host("plot -C plain").status, 0);
    ASSERT_EQ(host("plot -C odd").status, 0);
    EXPECT_TRUE(read_file("odd/plots/layout.svg") == read_file("plain/plots/layout.svg"))
        << "the layout of the lens differs from the one written plainly";
  }
}

TEST(PlotCommand, RefusesWhatItCannotDrawWithAMessageAndStatusOne) {
  ScratchDir scratch;
  write_file("OUT_M.xls", "surface\ttype\n0\t1\n");
  HostRun not_report = host("plot");
  EXPECT_EQ(not_report.status, 1);
  EXPECT_NE(not_report.err.find("is not a Lumaveil report"), std::string::npos) << not_report.err;
  EXPECT_FALSE(file_exists("plots/index.html"));

  fs::create_directories("empty");
  HostRun missing = host("plot -C empty");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;

  // A report of a failed run holds nothing to draw.
  fs::create_directories("failed");
  ASSERT_EQ(host("-C failed 1").status, 1);
  HostRun failed = host("plot -C failed");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("error: cannot open IN_FM.txt"), std::string::npos) << failed.err;

  EXPECT_EQ(host("plot --bogus").status, 2);
  EXPECT_EQ(host("plot -o").status, 2);
  EXPECT_EQ(host("plot --help").status, 0);
}

TEST(PlotCommand, AFifoUnderTheReportsNameIsRefusedAtOnceNotWaitedOn) {
  ScratchDir scratch;
  ASSERT_EQ(mkfifo("OUT_M.xls", 0600), 0);
  HostRun run = host("plot");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
}

TEST(PlotCommand, WithoutTheLensFileThePlotsStillComeAndThePageSaysWhy) {
  ScratchDir scratch;
  fs::copy_file(test_data_dir() + "/examples/cooke_triplet/m1.xls", "OUT_M.xls");
  ASSERT_EQ(host("plot").status, 0);
  std::string page = read_file("plots/index.html");
  EXPECT_NE(page.find("IN_FM.txt not found"), std::string::npos);
  EXPECT_NE(read_file("plots/spot-wavelength-2.svg").find("wavelength 2"), std::string::npos);
}

}  // namespace
}  // namespace lumaveil::plot
