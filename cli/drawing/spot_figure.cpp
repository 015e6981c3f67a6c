// Mode 1: the spot diagram of each wavelength, and all of them overlaid.
// Every panel of a report shares one frame (centre, half-width and unit), so
// that the wavelengths can be compared at a glance; the numbers of each
// wavelength stand in a table beside the plot, in the unit of its axes.
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
#include "cli/drawing/side_by_side.h"
#include "cli/drawing/spot_density.h"
#include "cli/drawing/spot_frame.h"
#include "cli/report_input/large_pages.h"

namespace lumaveil::cli::drawing {

using analysis::Point;
using analysis::spot_stats;
using analysis::SpotStats;
using report_input::ReportContents;

namespace {

struct SpotSeries {
  std::string colour, name;
  std::vector<Point> points;  // in the lens unit (mm) or rad
  SpotStats stats;
};

std::vector<Point> all_points(const std::vector<SpotSeries>& series) {
  std::size_t count = 0;
  for (const auto& s : series) count += s.points.size();
  std::vector<Point> all;
  report_input::reserve_in_large_pages(all, count);
  for (const auto& s : series) all.insert(all.end(), s.points.begin(), s.points.end());
  return all;
}

std::vector<Point> in_display_unit(const std::vector<Point>& points, double factor) {
  std::vector<Point> out;
  out.reserve(points.size());
  for (const Point& p : points) out.push_back({p.x * factor, p.y * factor});
  return out;
}

// The rays of one series, its RMS and geometric circles and its centroid.
void draw_series(Document& doc, Chart& chart, const SpotSeries& s, const SpotFrame& f,
                 bool several) {
  if (is_dense(s.stats.used))
    binned_points(doc, chart, s.points, f.factor, s.colour, several ? 0.5 : 1);
  else
    chart.markers(in_display_unit(s.points, f.factor), s.colour, several ? 3 : 4);
  const SpotStats& st = s.stats;
  if (st.used == 0) return;
  double scale = chart.px(f.factor) - chart.px(0);
  double cx = chart.px(st.cx * f.factor);
  double cy = chart.py(st.cy * f.factor);
  doc.circle(cx, cy, st.rms * scale, Style{s.colour, "none", 2, "6 4"});
  doc.circle(cx, cy, st.geometric * scale, Style{s.colour, "none", 1.5, ""});
  const Style mark{"#000000", "none", 2, ""};
  doc.line(cx - 9, cy, cx + 9, cy, mark);
  doc.line(cx, cy - 9, cx, cy + 9, mark);
}

// The statistics as a table beside the plot: one column per wavelength,
// one row per quantity, every number in the figure's unit.
double draw_table(Document& doc, const std::vector<const SpotSeries*>& series, const SpotFrame& f,
                  double left, double top) {
  const double label_w = 170, column_w = 100, row = 26;
  TextStyle head;
  head.size = 16;
  head.bold = true;
  doc.text(left, top, "statistics (" + f.unit + ")", head);
  TextStyle cell;
  cell.size = 15;
  const std::string names[] = {"RMS radius",
                               "geometric radius",
                               std::string("centroid ") + (f.angles ? "U" : "X"),
                               std::string("centroid ") + (f.angles ? "V" : "Y"),
                               "rays arriving",
                               "rays traced"};
  double y = top + row + 4;
  for (std::size_t c = 0; c < series.size(); ++c) {
    TextStyle name = cell;
    name.anchor = "end";
    name.bold = true;
    name.fill = series[c]->colour;
    doc.text(left + label_w + column_w * static_cast<double>(c + 1) - 8, y, series[c]->name, name);
  }
  doc.line(left, y + 8, left + label_w + column_w * static_cast<double>(series.size()), y + 8,
           Style{"#888888", "none", 1, ""});
  for (int k = 0; k < 6; ++k) {
    y += row;
    doc.text(left, y, names[k], cell);
    for (std::size_t c = 0; c < series.size(); ++c) {
      const SpotStats& st = series[c]->stats;
      std::string value;
      if (k == 4)
        value = std::to_string(st.used);
      else if (k == 5)
        value = std::to_string(st.total);
      else if (st.used == 0)
        value = "-";
      else {
        double v = k == 0   ? st.rms
                   : k == 1 ? st.geometric
                   : k == 2 ? shown_centroid(st.cx, st)
                            : shown_centroid(st.cy, st);
        value = analysis::label(v * f.factor, 4);
      }
      TextStyle number = cell;
      number.anchor = "end";
      doc.text(left + label_w + column_w * static_cast<double>(c + 1) - 8, y, value, number);
    }
  }
  return y;
}

// The key of the marks and, for a dense grid, how the rays are drawn.
void draw_key(Document& doc, const std::vector<const SpotSeries*>& series, double left, double y) {
  TextStyle text;
  text.size = 14;
  bool dense = false;
  for (const SpotSeries* s : series) dense = dense || is_dense(s->stats.used);
  std::vector<std::string> lines = {"+ centroid", "dashed circle: RMS radius",
                                    "solid circle: geometric radius"};
  if (dense) {
    lines.push_back("dense grid: rays counted in " + analysis::label(kDensityCellPx, 2) +
                    "-pixel cells,");
    lines.push_back("darker cells hold more rays;");
    lines.push_back("the statistics are of all rays");
  }
  for (const SpotSeries* s : series) {
    if (s->stats.used < s->stats.total)
      lines.push_back(count_note(s->stats.total - s->stats.used, s->stats.total, "rays missed") +
                      " (" + s->name + ")");
  }
  for (const auto& line : lines) {
    TextStyle t = text;
    if (line.find("missed") != std::string::npos) t.fill = "#a00000";
    doc.text(left, y, line, t);
    y += 20;
  }
}

// The scale bar under the plot: a round length no longer than a quarter of it.
void draw_scale_bar(Document& doc, const Chart& chart, const SpotFrame& f, double bx, double by) {
  double bar = analysis::step_125(2 * f.half * f.factor / 4, analysis::Rounding::kAtMost);
  double bar_px = chart.px(bar) - chart.px(0);
  const Style bar_style{"#000000", "none", 3, ""};
  doc.line(bx, by, bx + bar_px, by, bar_style);
  doc.line(bx, by - 7, bx, by + 7, bar_style);
  doc.line(bx + bar_px, by - 7, bx + bar_px, by + 7, bar_style);
  TextStyle text;
  text.size = 15;
  doc.text(bx + bar_px + 12, by + 5, analysis::label(bar, 4) + " " + f.unit, text);
}

std::string spot_svg(const std::string& title, const std::vector<const SpotSeries*>& series,
                     const SpotFrame& f) {
  const double table_left = 700;
  const double width =
      std::max(1020.0, table_left + 170 + 100 * static_cast<double>(series.size()) + 20);
  Document doc(width, 700);
  const double lo_x = (f.cx - f.half) * f.factor, hi_x = (f.cx + f.half) * f.factor;
  const double lo_y = (f.cy - f.half) * f.factor, hi_y = (f.cy + f.half) * f.factor;
  Axis x{lo_x, hi_x, std::string(f.angles ? "U" : "X") + " (" + f.unit + ")", false, true};
  Axis y{lo_y, hi_y, std::string(f.angles ? "V" : "Y") + " (" + f.unit + ")", false, true};
  Chart chart(doc, 120, 60, 540, 540, x, y);
  chart.draw_axes(title);
  for (const SpotSeries* s : series) draw_series(doc, chart, *s, f, series.size() > 1);
  double bottom = draw_table(doc, series, f, table_left, 80);
  draw_key(doc, series, table_left, bottom + 40);
  draw_scale_bar(doc, chart, f, 120, 672);
  return doc.str();
}

}  // namespace

void spot_figures(const ReportContents& r, const inputs::LensView* lens, std::vector<Figure>& out) {
  const bool angles = analysis::spots_in_angles(r);
  // Each wavelength's points and statistics, side by side.
  std::vector<SpotSeries> all(r.trajectories.size());
  side_by_side(all.size(), [&](std::size_t b) {
    const auto& block = r.trajectories[b];
    all[b] = {colour(b),
              wavelength_name(lens, block.wavelength),
              analysis::spot_points(block, angles),
              {}};
    all[b].stats = spot_stats(all[b].points);
  });
  const SpotFrame f = spot_frame(all_points(all), angles);
  const std::string what = angles ? "angle spot diagram" : "spot diagram";
  const std::size_t first = out.size();
  for (std::size_t b = 0; b < all.size(); ++b) {
    std::string q = std::to_string(r.trajectories[b].wavelength);
    out.push_back({"spot-wavelength-" + q + ".svg",
                   "The " + what + " on the " + image_surface(lens) + ", " + all[b].name, ""});
  }
  if (all.size() > 1)
    out.push_back({"spot-all-wavelengths.svg",
                   "The spot diagrams of all wavelengths overlaid, on the same scale", ""});
  // The drawings, side by side: each figure's text is its own.
  std::vector<const SpotSeries*> overlaid;
  for (const SpotSeries& s : all) overlaid.push_back(&s);
  side_by_side(out.size() - first, [&](std::size_t k) {
    out[first + k].svg = k < all.size() ? spot_svg(what + ", " + all[k].name, {&all[k]}, f)
                                        : spot_svg(what + ", all wavelengths", overlaid, f);
  });
}

}  // namespace lumaveil::cli::drawing
