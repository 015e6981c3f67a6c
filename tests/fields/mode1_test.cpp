// The aimed chief rays against mode 1 itself and against the paraxial
// estimate of a lens designed by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "cli/fields/analysis.h"
#include "cli/fields/command.h"
#include "entry/entry.h"
#include "fields/lenses.h"

namespace lumaveil::testing {
namespace {

std::string fixed(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

// The lens file with its central ray (column 2 of lines 6 to 9: U, V, X, Y)
// replaced.
std::string with_central_ray(const std::string& text, const std::string (&ray)[4]) {
  std::vector<std::string> lines = split_lines(text);
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cells = split_cells(lines[i]);
    if (i >= 6 && i <= 9) cells.at(2) = ray[i - 6];
    for (std::size_t c = 0; c < cells.size(); ++c) out += (c ? "\t" : "") + cells[c];
    out += "\n";
  }
  return out;
}

struct PrintedChief {
  std::string u, v, x, y;            // start values as printed
  std::string image_x, image_y;      // image point as printed
};

// The chief-ray rows of the table `lumaveil fields` printed.
std::vector<PrintedChief> printed_chief_rays(const std::string& table) {
  std::vector<PrintedChief> rows;
  bool inside = false;
  for (const std::string& line : split_lines(table)) {
    if (line.rfind("chief rays", 0) == 0) {
      inside = true;
      continue;
    }
    if (!inside || line.find(" nm ") == std::string::npos) {
      if (inside && line.empty()) break;
      continue;
    }
    std::istringstream words(line);
    std::string field, wavelength, nm;
    PrintedChief r;
    words >> field >> wavelength >> nm >> r.x >> r.y >> r.u >> r.v >> r.image_x >> r.image_y;
    rows.push_back(r);
  }
  return rows;
}

TEST(FieldsAgainstMode1, PrintedChiefRayAsCentralRayGivesThePrintedImagePoint) {
  const std::string lens_text = read_file(example_path("double_gauss"));
  ScratchDir dir;
  write_file("IN_FM.txt", lens_text);
  std::ostringstream out, err;
  fields::FieldsOptions options;
  options.stop = 6;
  options.fields = {0, 10, 14};
  options.write_files = false;
  ASSERT_EQ(fields::run_fields_command(options, out, err), 0) << err.str();
  const std::vector<PrintedChief> rows = printed_chief_rays(out.str());
  ASSERT_EQ(rows.size(), 3u) << out.str();
  for (const PrintedChief& r : rows) {
    write_file("IN_FM.txt", with_central_ray(lens_text, {r.u, r.v, r.x, r.y}));
    auto s = std::make_unique<State>();
    run_call(*s, 1);
    // The first trace table of the report: the central ray, row NUMB-1.
    const std::vector<std::string> report = split_lines(read_file("OUT_M.xls"));
    const std::vector<std::string> row = split_cells(report.at(2 + s->NUMB - 1));
    ASSERT_EQ(row.at(0), std::to_string(s->NUMB - 1));
    EXPECT_EQ(row.at(3), r.image_x) << "start X " << r.x;
    EXPECT_EQ(row.at(5), r.image_y) << "start X " << r.x;
  }
}

TEST(FieldsAgainstMode1, SpotIsModeOnesSpotAroundTheAimedChiefRay) {
  // Each wavelength aims its own chief ray; with that ray as the central
  // ray, mode 1's spot rows of that wavelength are the spot of `fields`.
  const auto lens = read_example_lens("cooke_triplet");
  const fields::Analysis a = fields::analyse_fields(*lens, 4, {12 * kDegree});
  const std::string lens_text = read_file(example_path("cooke_triplet"));
  ScratchDir dir;
  for (const fields::Bundle& b : a.fields[0].bundles) {
    const fields::StartRay& c = b.chief.start;
    write_file("IN_FM.txt", with_central_ray(lens_text, {exact(c.u), exact(c.v), exact(c.x), exact(c.y)}));
    auto s = std::make_unique<State>();
    run_call(*s, 1);
    const std::vector<std::string> report = split_lines(read_file("OUT_M.xls"));
    // Each wavelength's block: heading, four tables, a blank line, the spot
    // heading and its column line, the rows, three blank lines.
    const std::size_t points = b.spot.size();
    std::size_t line = (b.q - 1) * (1 + 4 * (s->NUMB + 1) + 3 + points + 3) + 1 + 4 * (s->NUMB + 1) + 3;
    ASSERT_EQ(points, 29u);
    for (const svg::Point& p : b.spot) {
      const std::vector<std::string> row = split_cells(report.at(line++));
      EXPECT_EQ(row.at(3), fixed("%10.6f", p.x)) << "wavelength " << b.q;
      EXPECT_EQ(row.at(4), fixed("%10.6f", p.y)) << "wavelength " << b.q;
    }
  }
}

// The Double Gauss of examples/double_gauss as designed (its README's
// prescription, before the example perturbed the curvatures), the image
// plane at its paraxial focus. A y-nu trace by hand gives f = 100.004.
std::string double_gauss_design() {
  const double r[] = {56.20238, 152.28580, 37.68262, 0, 24.23130, 0, -28.37731, 0, -37.92546,
                      177.41176, -79.41143};
  const double d[] = {8.75, 0.5, 12.5, 3.8, 16.369445, 13.747957, 3.8, 11.0, 0.5, 7.0, 61.487536};
  const double n[] = {1.6222915, 1, 1.6073789, 1.6034172, 1, 1, 1.6034172, 1.6204079, 1, 1.6204079, 1};
  LensFile lens{.aperture_kind = 1, .steps = 5, .RH = 25, .surfaces = {}};
  lens.surfaces.push_back({.D = 10, .n = {1}});
  for (int k = 0; k < 11; ++k)
    lens.surfaces.push_back({.C = r[k] == 0 ? 0 : 1 / r[k], .D = d[k], .n = {n[k]}});
  lens.surfaces.push_back({.n = {1}});
  lens.surfaces.push_back({.n = {1}});
  return lens.text();
}

TEST(FieldsAgainstMode1, DoubleGaussImageHeightsMatchTheParaxialEstimate) {
  const auto lens = read_lens_text(double_gauss_design());
  const double degrees[] = {0, 10, 14};
  std::vector<double> fields;
  for (double deg : degrees) fields.push_back(deg * kDegree);
  const fields::Analysis a = fields::analyse_fields(*lens, 6, fields);
  ASSERT_TRUE(a.error.empty()) << a.error;
  EXPECT_NEAR(a.first_order[0].efl, 100.004, 5e-4);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const fields::Bundle& b = a.fields[i].bundles[0];
    ASSERT_TRUE(b.reaches_image) << b.problem;
    const double estimate = -100.004 * std::tan(fields[i]);
    EXPECT_NEAR(a.fields[i].paraxial_height[0], estimate, 1e-5 * 100);
    // A well-corrected lens: the real height within 2 % of the paraxial one.
    EXPECT_NEAR(b.x, estimate, 0.02 * std::fabs(estimate) + 1e-12);
  }
  // The README's ray set: the chief ray at 10° starts at X = 12.126934,
  // at 14° at 17.367555 (aimed through the stop's centre, printed there
  // to six decimals).
  EXPECT_NEAR(a.fields[1].bundles[0].chief.start.x, 12.126934, 1e-6);
  EXPECT_NEAR(a.fields[2].bundles[0].chief.start.x, 17.367555, 1e-6);
}

}  // namespace
}  // namespace lumaveil::testing
