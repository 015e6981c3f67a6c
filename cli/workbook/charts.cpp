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
#include "cli/drawing/figure_text.h"
#include "cli/drawing/palette.h"
#include "cli/drawing/spot_frame.h"

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

// Where the spot chart stands: beside the spot rows (columns A to E), a
// square of kSpotChartPx, its statistics in the two columns after it.
constexpr lxw_row_t kChartRow = 1;
constexpr lxw_col_t kChartColumn = 6;
constexpr double kSpotChartPx = 480;
// The title above and the x axis's labels and name below take about 130 px
// more of the chart's height than the y axis's labels and name take of its
// width: a chart this much taller than wide has a square plot area (measured
// in LibreOffice's rendering; libxlsxwriter 1.1.4 cannot set the plot area's
// layout itself).
constexpr double kSpotChartHeightPx = 610;
constexpr lxw_col_t kStatsColumn = 14;
// libxlsxwriter's default chart, 480 x 288 pixels, and a row's height.
constexpr double kDefaultChartWidth = 480, kDefaultChartHeight = 288, kRowPx = 20;

// Equal scales, centred: both axes the same round steps long about the
// round value nearest the centre of the frame all wavelengths share, the
// axes at the lower left instead of through zero.
void equal_axes(lxw_chart* chart, const drawing::SpotFrame& f) {
  const double step = analysis::step_125(2 * f.half / 4, analysis::Rounding::kNearest);
  const double x0 = std::round(f.cx / step) * step, y0 = std::round(f.cy / step) * step;
  const double reach = f.half + std::max(std::fabs(f.cx - x0), std::fabs(f.cy - y0));
  const double half = std::ceil(reach / step - 1e-9) * step;
  for (auto [axis, centre] : {std::pair{chart->x_axis, x0}, std::pair{chart->y_axis, y0}}) {
    chart_axis_set_min(axis, centre - half);
    chart_axis_set_max(axis, centre + half);
    chart_axis_set_major_unit(axis, step);
    chart_axis_set_crossing_min(axis);
  }
}

}  // namespace

// The spot diagram in the coordinates of the SVG plot: heights X, Y, or the
// angles U, V for an angle aperture whose heights do not vary.
void spot_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                const ReportContents& r, const inputs::LensView* lens) {
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
  const std::string wavelength = drawing::wavelength_name(lens, block.wavelength);
  chart_series_set_name(series, wavelength.c_str());
  chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
  colour_markers(series, series_colour(static_cast<std::size_t>(plan.block)));
  const std::string what = angles ? "Angle spot diagram, " : "Spot diagram, ";
  chart_title_set_name(chart, (what + wavelength).c_str());
  chart_axis_set_name(chart->x_axis, angles ? "U (rad)" : "X (mm)");
  chart_axis_set_name(chart->y_axis, angles ? "V (rad)" : "Y (mm)");
  equal_axes(chart, drawing::spot_frame(r));
  // One series, named in the title: no legend to take room from the plot.
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options{};
  options.x_scale = kSpotChartPx / kDefaultChartWidth;
  options.y_scale = kSpotChartHeightPx / kDefaultChartHeight;
  worksheet_insert_chart_opt(sheet, kChartRow, kChartColumn, chart, &options);
}

std::vector<SideCell> side_cells(const SheetPlan& plan, const ReportContents& r) {
  if (plan.chart != SheetPlan::Chart::Spots) return {};
  const auto& block = r.trajectories[static_cast<std::size_t>(plan.block)];
  if (block.spots.empty()) return {};
  const drawing::SpotFrame f = drawing::spot_frame(r);
  const analysis::SpotStats st = analysis::spot_stats(analysis::spot_points(block, f.angles));
  const std::string across = f.angles ? "U" : "X", up = f.angles ? "V" : "Y";
  const std::pair<std::string, double> rows[] = {
      {"RMS radius", st.rms * f.factor},
      {"geometric radius", st.geometric * f.factor},
      {"centroid " + across, drawing::shown_centroid(st.cx, st) * f.factor},
      {"centroid " + up, drawing::shown_centroid(st.cy, st) * f.factor},
      {"rays arriving", st.used},
      {"rays traced", st.total}};
  std::vector<SideCell> cells;
  cells.push_back({kChartRow, kStatsColumn, "statistics (" + f.unit + ")", 0});
  lxw_row_t row = kChartRow;
  for (const auto& [name, value] : rows) {
    ++row;
    cells.push_back({row, kStatsColumn, name, 0});
    // Without arriving rays there is no radius or centroid.
    if (st.used > 0 || name.rfind("rays", 0) == 0)
      cells.push_back({row, kStatsColumn + 1, "", value});
  }
  return cells;
}

void write_side_cells(lxw_worksheet* sheet, const std::vector<SideCell>& cells, lxw_row_t row,
                      std::size_t& next) {
  for (; next < cells.size() && cells[next].row <= row; ++next) {
    const SideCell& c = cells[next];
    if (c.text.empty())
      worksheet_write_number(sheet, c.row, c.col, c.number, nullptr);
    else
      worksheet_write_string(sheet, c.row, c.col, c.text.c_str(), nullptr);
  }
  if (!cells.empty()) worksheet_set_column(sheet, kStatsColumn, kStatsColumn, 20, nullptr);
}

namespace {

// The aberration and merit charts: 720 x 432 pixels.
constexpr double kWideChartPx = 720, kWideChartHeightPx = 432;

// The columns the report's lines of a sheet fill.
std::size_t columns_of(const SheetPlan& plan, const ReportContents& r) {
  std::size_t columns = 0;
  for (int line = plan.first_line; line < plan.end_line; ++line)
    columns = std::max(columns, r.cells[static_cast<std::size_t>(line)].size());
  return columns;
}

// The merit chart beside the rows, after a blank column; below them when
// the rows are too wide (many variables) to print beside a chart.
std::pair<lxw_row_t, lxw_col_t> merit_chart_place(const SheetPlan& plan, const ReportContents& r) {
  const std::size_t columns = columns_of(plan, r);
  if (columns <= 24) return {kChartRow, static_cast<lxw_col_t>(columns + 1)};
  return {static_cast<lxw_row_t>(plan.end_line - plan.first_line + 1), 0};
}

// The last row and column a chart of `width` x `height` pixels covers from
// (row, column), the columns counted at their default width of 64 pixels.
std::pair<lxw_row_t, lxw_col_t> chart_end(lxw_row_t row, lxw_col_t column, double width,
                                          double height) {
  return {static_cast<lxw_row_t>(row + std::ceil(height / kRowPx)),
          static_cast<lxw_col_t>(column + std::ceil(width / 64))};
}

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
  worksheet_fit_to_pages(fit, 1, 0);
  worksheet_repeat_rows(fit, 0, 0);

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
  chart_title_set_name(chart,
                       ("Wavefront aberration at " + analysis::label(block.wavelength_nm, 6) +
                        " nm, AB against t = l / NS")
                           .c_str());
  chart_axis_set_name(chart->x_axis, "t");
  chart_axis_set_name(chart->y_axis, "AB (wavelengths)");
  chart_axis_set_min(chart->x_axis, -1);
  chart_axis_set_max(chart->x_axis, 1);
  chart_axis_set_crossing_min(chart->x_axis);
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options{};
  options.x_scale = kWideChartPx / kDefaultChartWidth;
  options.y_scale = kWideChartHeightPx / kDefaultChartHeight;
  worksheet_insert_chart_opt(sheet, kChartRow, kChartColumn, chart, &options);
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
  options.x_scale = kWideChartPx / kDefaultChartWidth;
  options.y_scale = kWideChartHeightPx / kDefaultChartHeight;
  const auto [row, column] = merit_chart_place(plan, r);
  worksheet_insert_chart_opt(sheet, row, column, chart, &options);
}

void set_up_printing(lxw_worksheet* sheet, const SheetPlan& plan, const ReportContents& r) {
  auto last_row = static_cast<lxw_row_t>(std::max(plan.rows(), 1) - 1);
  auto last_column = static_cast<lxw_col_t>(std::max<std::size_t>(columns_of(plan, r), 1) - 1);
  auto cover = [&](std::pair<lxw_row_t, lxw_col_t> end) {
    last_row = std::max(last_row, end.first);
    last_column = std::max(last_column, end.second);
  };
  if (plan.chart == SheetPlan::Chart::Spots) {
    cover(chart_end(kChartRow, kChartColumn, kSpotChartPx, kSpotChartHeightPx));
    cover({kChartRow, kStatsColumn + 1});
  } else if (plan.chart == SheetPlan::Chart::Aberration) {
    cover(chart_end(kChartRow, kChartColumn, kWideChartPx, kWideChartHeightPx));
  } else if (plan.chart == SheetPlan::Chart::Merit && !r.optimisation.rows.empty()) {
    const auto [row, column] = merit_chart_place(plan, r);
    cover(chart_end(row, column, kWideChartPx, kWideChartHeightPx));
  }
  // A chart stands beside the rows: the page turned to hold the width.
  if (plan.chart != SheetPlan::Chart::None) worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  worksheet_print_area(sheet, 0, 0, last_row, last_column);
  // The block's heading and column names on every page.
  worksheet_repeat_rows(sheet, 0, std::min<lxw_row_t>(1, last_row));
}

}  // namespace lumaveil::cli::workbook

#endif
