#include "cli/workbook/charts.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "cli/analysis/polynomial.h"
#include "cli/analysis/spot_stats.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/palette.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

namespace {

lxw_chart_line no_line() {
  lxw_chart_line line{};
  line.none = LXW_TRUE;
  return line;
}

// The series colours of the SVG plots, so both show a scan alike.
lxw_color_t series_colour(std::size_t k) { return drawing::colour_rgb(k); }

void colour_markers(lxw_chart_series* series, lxw_color_t colour) {
  lxw_chart_fill fill{};
  fill.color = colour;
  lxw_chart_line border{};
  border.color = colour;
  chart_series_set_marker_fill(series, &fill);
  chart_series_set_marker_line(series, &border);
  chart_series_set_marker_size(series, 6);
}

// Equal scales: both axes as many round steps long, the axes at the lower
// left instead of through zero.
void equal_axes(lxw_chart* chart, const std::vector<analysis::Point>& points) {
  double lo_x = INFINITY, hi_x = -INFINITY, lo_y = INFINITY, hi_y = -INFINITY;
  for (const analysis::Point& p : points) {
    if (!analysis::finite(p)) continue;
    lo_x = std::min(lo_x, p.x);
    hi_x = std::max(hi_x, p.x);
    lo_y = std::min(lo_y, p.y);
    hi_y = std::max(hi_y, p.y);
  }
  if (!(lo_x <= hi_x)) return;
  double half = std::max(hi_x - lo_x, hi_y - lo_y) * 0.55;
  if (!(half > 0)) half = std::max(std::fabs(lo_x), std::fabs(lo_y)) * 1e-3 + 1e-6;
  double step = analysis::step_125(2 * half / 6, analysis::Rounding::kNearest);
  double x0 = std::floor((lo_x + hi_x) / 2 / step - 3.5) * step;
  double y0 = std::floor((lo_y + hi_y) / 2 / step - 3.5) * step;
  double steps = std::max(std::ceil((hi_x - x0) / step), std::ceil((hi_y - y0) / step));
  for (auto [axis, low] : {std::pair{chart->x_axis, x0}, std::pair{chart->y_axis, y0}}) {
    chart_axis_set_min(axis, low);
    chart_axis_set_max(axis, low + steps * step);
    chart_axis_set_major_unit(axis, step);
    chart_axis_set_crossing_min(axis);
  }
}

}  // namespace

// The spot diagram in the coordinates of the SVG plot: heights X, Y, or the
// angles U, V for an angle aperture whose heights do not vary.
void spot_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                const ReportContents& r) {
  const auto& block = r.trajectories[static_cast<std::size_t>(plan.block)];
  if (block.spots.empty()) return;
  const bool angles = analysis::spots_in_angles(r);
  // The spot rows are No, U, V, X, Y.
  const lxw_col_t across = angles ? 1 : 3;
  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  // The points on this sheet: below its heading and column line (a block
  // continued over several sheets shows each sheet's own points).
  if (plan.rows() <= 2) return;
  auto first = static_cast<lxw_row_t>(2);
  auto last = static_cast<lxw_row_t>(plan.rows() - 1);
  chart_series_set_categories(series, plan.name.c_str(), first, across, last, across);
  chart_series_set_values(series, plan.name.c_str(), first, across + 1, last, across + 1);
  chart_series_set_name(series, ("wavelength " + std::to_string(block.wavelength)).c_str());
  chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
  colour_markers(series, series_colour(static_cast<std::size_t>(plan.block)));
  const std::string what = angles ? "Angle spot diagram, wavelength " : "Spot diagram, wavelength ";
  chart_title_set_name(chart, (what + std::to_string(block.wavelength)).c_str());
  chart_axis_set_name(chart->x_axis, angles ? "U (rad)" : "X (mm)");
  chart_axis_set_name(chart->y_axis, angles ? "V (rad)" : "Y (mm)");
  equal_axes(chart, analysis::spot_points(block, angles));
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options{};
  options.x_scale = 1.2;
  options.y_scale = 2.0;  // 576 x 576 pixels: a square plot
  worksheet_insert_chart_opt(sheet, 1, 6, chart, &options);
}

namespace {

// The fit sheet: t and AB of both scans, then the fitted polynomials at 101
// t. Returns the number of scan rows.
std::size_t fit_sheet(lxw_workbook* book, const report_input::AberrationBlock& block,
                      const std::string& fit_name) {
  lxw_worksheet* fit = workbook_add_worksheet(book, fit_name.c_str());
  const char* heads[] = {"t", "AB U scan", "AB V scan", "", "t", "fit U scan", "fit V scan"};
  for (int c = 0; c < 7; ++c)
    if (*heads[c] != '\0')
      worksheet_write_string(fit, 0, static_cast<lxw_col_t>(c), heads[c], nullptr);
  std::size_t n = std::max(block.u_scan.rows.size(), block.v_scan.rows.size());
  for (std::size_t k = 0; k < n; ++k) {
    auto row = static_cast<lxw_row_t>(k + 1);
    const report_input::Scan& longer =
        block.u_scan.rows.size() >= block.v_scan.rows.size() ? block.u_scan : block.v_scan;
    worksheet_write_number(fit, row, 0, longer.t(k), nullptr);
    if (k < block.u_scan.rows.size() && std::isfinite(block.u_scan.rows[k].ab))
      worksheet_write_number(fit, row, 1, block.u_scan.rows[k].ab, nullptr);
    if (k < block.v_scan.rows.size() && std::isfinite(block.v_scan.rows[k].ab))
      worksheet_write_number(fit, row, 2, block.v_scan.rows[k].ab, nullptr);
  }
  for (int k = 0; k <= 100; ++k) {
    double t = -1 + k / 50.0;
    auto row = static_cast<lxw_row_t>(k + 1);
    worksheet_write_number(fit, row, 4, t, nullptr);
    double u = analysis::polynomial(block.u_scan.fit, t);
    double v = analysis::polynomial(block.v_scan.fit, t);
    if (std::isfinite(u)) worksheet_write_number(fit, row, 5, u, nullptr);
    if (std::isfinite(v)) worksheet_write_number(fit, row, 6, v, nullptr);
  }
  worksheet_freeze_panes(fit, 1, 0);

  return n;
}

}  // namespace

void aberration_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                      const ReportContents& r) {
  const auto& block = r.aberrations[static_cast<std::size_t>(plan.block)];
  std::string fit_name = "Fit" + std::to_string(plan.block + 1);
  const std::size_t n = fit_sheet(book, block, fit_name);
  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER);
  auto last = static_cast<lxw_row_t>(n);
  lxw_chart_line none = no_line();
  const char* names[] = {"AB, U scan", "AB, V scan"};
  for (int s = 0; s < 2; ++s) {
    if (n == 0) break;
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, fit_name.c_str(), 1, 0, last, 0);
    chart_series_set_values(series, fit_name.c_str(), 1, static_cast<lxw_col_t>(1 + s), last,
                            static_cast<lxw_col_t>(1 + s));
    chart_series_set_name(series, names[s]);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    colour_markers(series, series_colour(static_cast<std::size_t>(s)));
    chart_series_set_line(series, &none);
  }
  const char* fit_names[] = {"fit, U scan", "fit, V scan"};
  for (int s = 0; s < 2; ++s) {
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, fit_name.c_str(), 1, 4, 101, 4);
    chart_series_set_values(series, fit_name.c_str(), 1, static_cast<lxw_col_t>(5 + s), 101,
                            static_cast<lxw_col_t>(5 + s));
    chart_series_set_name(series, fit_names[s]);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
    lxw_chart_line line{};
    line.color = series_colour(static_cast<std::size_t>(s));
    line.width = 2;
    line.dash_type = s == 0 ? LXW_CHART_LINE_DASH_SOLID : LXW_CHART_LINE_DASH_DASH;
    chart_series_set_line(series, &line);
    chart_series_set_smooth(series, LXW_TRUE);
  }
  chart_title_set_name(chart, "Wavefront aberration AB against t = l / M");
  chart_axis_set_name(chart->x_axis, "t");
  chart_axis_set_name(chart->y_axis, "AB (wavelengths)");
  chart_axis_set_min(chart->x_axis, -1);
  chart_axis_set_max(chart->x_axis, 1);
  chart_axis_set_crossing_min(chart->x_axis);
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options{};
  options.x_scale = 1.5;
  options.y_scale = 1.5;
  worksheet_insert_chart_opt(sheet, 1, 6, chart, &options);
}

void merit_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                 const ReportContents& r) {
  const auto& opt = r.optimisation;
  if (opt.rows.empty()) return;
  auto first = static_cast<lxw_row_t>(opt.first_line + 1);
  auto last = static_cast<lxw_row_t>(std::min<std::size_t>(
      first + opt.rows.size() - 1, static_cast<std::size_t>(plan.rows() - 1)));
  auto e_column = static_cast<lxw_col_t>(1 + opt.distance_names.size());
  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  chart_series_set_categories(series, plan.name.c_str(), first, 0, last, 0);
  chart_series_set_values(series, plan.name.c_str(), first, e_column, last, e_column);
  chart_series_set_name(series, "E");
  bool positive =
      std::all_of(opt.rows.begin(), opt.rows.end(), [](const auto& row) { return row.e > 0; });
  if (positive) chart_axis_set_log_base(chart->y_axis, 10);
  chart_title_set_name(
      chart, r.mode == 5 || r.mode == 6 ? "Merit E per outer pass" : "Merit E per iteration");
  chart_axis_set_name(chart->x_axis, r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration");
  chart_axis_set_name(chart->y_axis, "E");
  // Passes and iterations are whole numbers: the axis runs from the first
  // to the last in steps of one (a step of several for long runs).
  double lo = opt.rows.front().n, hi = opt.rows.front().n;
  for (const auto& row : opt.rows) {
    lo = std::min(lo, static_cast<double>(row.n));
    hi = std::max(hi, static_cast<double>(row.n));
  }
  if (hi <= lo) hi = lo + 1;
  chart_axis_set_min(chart->x_axis, lo);
  chart_axis_set_max(chart->x_axis, hi);
  chart_axis_set_major_unit(
      chart->x_axis,
      std::max(1.0, std::ceil(analysis::step_125((hi - lo) / 8, analysis::Rounding::kNearest))));
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options{};
  options.x_scale = 1.5;
  options.y_scale = 1.5;
  worksheet_insert_chart_opt(sheet, last + 2, 0, chart, &options);
}

}  // namespace lumaveil::cli::workbook

#endif
