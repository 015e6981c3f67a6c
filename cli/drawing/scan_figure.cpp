// Mode 4: the wavefront aberration with its fitted polynomials, and the ray
// intercept, against the pupil coordinate.
#include <string>
#include <vector>

#include "cli/analysis/polynomial.h"
#include "cli/analysis/spot_stats.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/chart.h"
#include "cli/drawing/figure_kinds.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/palette.h"

namespace lumaveil::cli::drawing {

using analysis::Point;
using report_input::ReportContents;

namespace {

std::vector<Point> scan_points(const report_input::Scan& scan, bool heights) {
  std::vector<Point> points;
  for (std::size_t r = 0; r < scan.rows.size(); ++r)
    points.push_back({scan.t(r), heights ? scan.rows[r].height : scan.rows[r].ab});
  return points;
}

// A scan moves the start angle for an angle aperture and the start height
// otherwise; the report prints the start angle either way, so a scan whose
// start angles do not vary is a height scan.
bool angle_scan(const report_input::Scan& scan) {
  for (const auto& row : scan.rows)
    if (row.start != scan.rows.front().start) return true;
  return false;
}

std::string scan_svg(const std::string& title, const report_input::AberrationBlock& block,
                     bool heights, const inputs::LensView* lens) {
  Document doc(900, 650);
  std::vector<Point> u = scan_points(block.u_scan, heights);
  std::vector<Point> v = scan_points(block.v_scan, heights);
  std::vector<double> values;
  for (const auto* set : {&u, &v})
    for (const Point& p : *set) values.push_back(p.y);
  std::vector<Point> fu, fv;
  bool fitted = !heights;
  if (fitted) {
    fu = analysis::fit_curve(block.u_scan.fit, 201);
    fv = analysis::fit_curve(block.v_scan.fit, 201);
    // The fits count in the range only where they are meaningful.
    for (const auto* set : {&fu, &fv})
      if (analysis::count_finite(*set) == static_cast<int>(set->size()))
        for (const Point& p : *set) values.push_back(p.y);
  }
  Axis x{-1, 1, "normalised pupil coordinate t = l / NS", false, false};
  Axis y = range_of(values);
  y.label = heights ? "height on the " + image_surface(lens) + " (mm)" : "AB (wavelengths)";
  Chart chart(doc, 130, 60, 720, 460, x, y);
  chart.draw_axes(title);
  std::vector<std::pair<std::string, std::string>> legend;
  if (fitted) {
    chart.curve(fu, colour(0), 2);
    chart.curve(fv, colour(1), 2, "8 5");
  } else {
    chart.curve(u, colour(0), 2);
    chart.curve(v, colour(1), 2, "8 5");
  }
  // V first and larger, so that on the axis of a centred lens, where both
  // scans agree, the U markers still show inside the V ones.
  chart.markers(v, colour(1), 6);
  chart.markers(u, colour(0), 3.5);
  const bool angles = angle_scan(block.u_scan) || angle_scan(block.v_scan);
  const std::string u_name = angles ? "U scan (x section)" : "X height scan (x section)";
  const std::string v_name = angles ? "V scan (y section)" : "Y height scan (y section)";
  legend.push_back({colour(0), heights ? "X, " + u_name : u_name});
  legend.push_back({colour(1), heights ? "Y, " + v_name : v_name});
  chart.legend(legend);
  int row = fitted ? 1 : 0;
  int total = static_cast<int>(u.size() + v.size());
  int left_out = total - analysis::count_finite(u) - analysis::count_finite(v);
  if (left_out > 0)
    chart.note(count_note(left_out, total, "scan rays not finite, left out"), row++);
  if (fitted && (analysis::count_finite(fu) < static_cast<int>(fu.size()) ||
                 analysis::count_finite(fv) < static_cast<int>(fv.size())))
    chart.note("a fit is not finite (fewer than 7 scan points?): not drawn", row++);
  if (fitted) {
    TextStyle t;
    t.size = 14;
    doc.text(130, chart.note_y(0),
             "markers: scan rays; lines: fitted degree-6 polynomials (solid first, dashed second)",
             t);
  }
  return doc.str();
}

}  // namespace

void aberration_figures(const ReportContents& r, const inputs::LensView* lens,
                        std::vector<Figure>& out) {
  for (std::size_t b = 0; b < r.aberrations.size(); ++b) {
    const auto& block = r.aberrations[b];
    std::string q = std::to_string(b + 1);
    std::string nm = analysis::label(block.wavelength_nm, 6) + " nm";
    out.push_back(
        {"aberration-wavelength-" + q + ".svg",
         "Wavefront aberration AB against the pupil coordinate, with the fitted polynomials, " + nm,
         scan_svg("wavefront aberration, " + nm, block, false, lens)});
    out.push_back(
        {"ray-intercept-wavelength-" + q + ".svg",
         "Ray intercept on the " + image_surface(lens) + " against the pupil coordinate, " + nm,
         scan_svg("ray intercept, " + nm, block, true, lens)});
  }
}

}  // namespace lumaveil::cli::drawing
