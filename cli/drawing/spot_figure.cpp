// Mode 1: the spot diagram of each wavelength, and all of them overlaid.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cli/analysis/spot_stats.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/chart.h"
#include "cli/drawing/figure_kinds.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/palette.h"

namespace lumaveil::cli::drawing {

using analysis::Point;
using analysis::spot_stats;
using analysis::SpotStats;
using report_input::ReportContents;

namespace {

struct SpotSeries {
  std::string colour, name;
  std::vector<Point> points;
};

// Heights at surface NUMB-1; for an angle aperture whose heights do not
// vary, the angles instead.
// Equal scales: one half-width about the centre of all points.
double half_width(const SpotStats& whole) {
  double half = whole.geometric * 1.15;
  if (!(half > 0)) half = std::max(std::fabs(whole.cx), std::fabs(whole.cy)) * 1e-3;
  if (!(half > 0)) half = 1e-3;
  return half;
}

// One series: its markers, circles and centroid in the chart, its numbers
// in the column beside it from `line_y` down.
void draw_series(Document& doc, Chart& chart, const SpotSeries& s, bool several, bool angles,
                 double line_y, int& missed_rows) {
  SpotStats st = spot_stats(s.points);
  chart.markers(s.points, s.colour, several ? 3 : 4);
  double scale = chart.px(1) - chart.px(0);
  const Style rms{s.colour, "none", 2, "6 4"};
  const Style geo{s.colour, "none", 1.5, ""};
  if (st.used > 0) {
    double cx = chart.px(st.cx);
    double cy = chart.py(st.cy);
    doc.circle(cx, cy, st.rms * scale, rms);
    doc.circle(cx, cy, st.geometric * scale, geo);
    // The centroid as a cross.
    const Style mark{"#000000", "none", 2, ""};
    doc.line(cx - 9, cy, cx + 9, cy, mark);
    doc.line(cx, cy - 9, cx, cy + 9, mark);
  }
  auto fmt = angles ? angle_text : length_text;
  TextStyle text;
  text.size = 16;
  text.fill = s.colour;
  text.bold = true;
  doc.text(700, line_y, s.name, text);
  text.fill = "#000000";
  text.bold = false;
  doc.text(700, line_y + 22, "RMS radius " + fmt(st.rms), text);
  doc.text(700, line_y + 44, "geometric radius " + fmt(st.geometric), text);
  // Rounding noise far below the spot size reads as 0.
  double tiny = st.geometric * 1e-9;
  double cx = std::fabs(st.cx) < tiny ? 0 : st.cx;
  double cy = std::fabs(st.cy) < tiny ? 0 : st.cy;
  doc.text(700, line_y + 66, "centroid " + fmt(cx) + ",", text);
  doc.text(716, line_y + 88, fmt(cy), text);
  doc.text(700, line_y + 110, std::to_string(st.used) + " rays", text);
  if (st.used < st.total)
    chart.note(count_note(st.total - st.used, st.total, "rays missed") + " (" + s.name + ")",
               missed_rows++);
}

// The scale bar under the plot: a round length no longer than a quarter of it.
void draw_scale_bar(Document& doc, const Chart& chart, double half, bool angles) {
  double bar = analysis::step_125(2 * half / 4, analysis::Rounding::kAtMost);
  double bar_px = chart.px(bar) - chart.px(0);
  const Style bar_style{"#000000", "none", 3, ""};
  double bx = 120;
  double by = 672;
  doc.line(bx, by, bx + bar_px, by, bar_style);
  doc.line(bx, by - 7, bx, by + 7, bar_style);
  doc.line(bx + bar_px, by - 7, bx + bar_px, by + 7, bar_style);
  TextStyle text;
  text.size = 15;
  doc.text(bx + bar_px + 12, by + 5, angles ? angle_text(bar) : length_text(bar), text);
}

std::string spot_svg(const std::string& title, const std::vector<SpotSeries>& series, bool angles) {
  Document doc(980, 700);
  std::vector<Point> all;
  for (const auto& s : series) all.insert(all.end(), s.points.begin(), s.points.end());
  SpotStats whole = spot_stats(all);
  const double half = half_width(whole);
  const char* unit = angles ? "rad" : "mm";
  Axis x{whole.cx - half, whole.cx + half, std::string(angles ? "U" : "X") + " (" + unit + ")",
         false, true};
  Axis y{whole.cy - half, whole.cy + half, std::string(angles ? "V" : "Y") + " (" + unit + ")",
         false, true};
  Chart chart(doc, 120, 60, 540, 540, x, y);
  chart.draw_axes(title);
  std::vector<std::pair<std::string, std::string>> legend;
  int missed_rows = 0;
  double line_y = 90;
  for (const auto& s : series) {
    draw_series(doc, chart, s, series.size() > 1, angles, line_y, missed_rows);
    legend.push_back({s.colour, s.name});
    line_y += 146;
  }
  chart.legend(legend);
  TextStyle text;
  text.size = 14;
  doc.text(700, 620, "+ centroid", text);
  doc.text(700, 640, "dashed circle: RMS radius", text);
  doc.text(700, 660, "solid circle: geometric radius", text);
  draw_scale_bar(doc, chart, half, angles);
  return doc.str();
}

}  // namespace

void spot_figures(const ReportContents& r, const inputs::LensView* lens, std::vector<Figure>& out) {
  bool angles = analysis::spots_in_angles(r);
  std::vector<SpotSeries> all;
  for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
    const auto& block = r.trajectories[b];
    SpotSeries s{colour(b), wavelength_name(lens, block.wavelength), {}};
    s.points = analysis::spot_points(block, angles);
    std::string q = std::to_string(block.wavelength);
    std::string what = angles ? "angle spot diagram" : "spot diagram";
    out.push_back({"spot-wavelength-" + q + ".svg", "The " + what + " at surface NUMB-1, " + s.name,
                   spot_svg(what + ", " + s.name, {s}, angles)});
    all.push_back(std::move(s));
  }
  if (all.size() > 1)
    out.push_back(
        {"spot-all-wavelengths.svg", "The spot diagrams of all wavelengths overlaid",
         spot_svg(std::string(angles ? "angle spot diagram" : "spot diagram") + ", all wavelengths",
                  all, angles)});
}

}  // namespace lumaveil::cli::drawing
