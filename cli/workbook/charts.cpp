// The aberration chart with its fitted polynomials (on a sheet of their
// own) and the merit chart per iteration: the same analysis and the same
// colours as the SVG plots.
#include "cli/workbook/charts.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/analysis/polynomial.h"
#include "cli/analysis/ticks.h"
#include "cli/workbook/chart_layout.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

namespace {

lxw_chart_line no_line() {
  lxw_chart_line line{};
  line.none = LXW_TRUE;
  return line;
}

// Samples of the scans drawn on a fit sheet at most; a longer scan is
// thinned to every k-th sample there (its own sheet holds every one).
constexpr std::size_t kMostFitRows = 100000;

// The fit sheet: t and AB of both scans, and the fitted polynomials at 101
// t beside them. The workbook streams its rows, so each row is written
// whole, in order. Returns the number of scan rows written, or nothing when
// the sheet could not be added.
std::optional<std::size_t> fit_sheet(lxw_workbook* book, const report_input::AberrationBlock& block,
                                     const std::string& fit_name) {
  lxw_worksheet* fit = workbook_add_worksheet(book, fit_name.c_str());
  if (fit == nullptr) return std::nullopt;
  const char* heads[] = {"t", "AB U scan", "AB V scan", "", "t", "fit U scan", "fit V scan"};
  for (int c = 0; c < 7; ++c)
    if (*heads[c] != '\0')
      worksheet_write_string(fit, 0, static_cast<lxw_col_t>(c), heads[c], nullptr);
  const report_input::Scan& longer =
      block.u_scan.rows.size() >= block.v_scan.rows.size() ? block.u_scan : block.v_scan;
  const std::size_t samples = longer.rows.size();
  const std::size_t every = (samples + kMostFitRows - 1) / kMostFitRows;
  const std::size_t n = every == 0 ? 0 : (samples + every - 1) / every;
  if (every > 1) {
    const std::string note = "every " + std::to_string(every) +
                             "th scan sample (the Aberration sheet holds all " +
                             std::to_string(samples) + ")";
    worksheet_write_string(fit, 0, 8, note.c_str(), nullptr);
  }
  auto ab = [&](const report_input::Scan& scan, std::size_t k, lxw_row_t row, lxw_col_t col) {
    if (k < scan.rows.size() && std::isfinite(scan.rows[k].ab))
      worksheet_write_number(fit, row, col, scan.rows[k].ab, nullptr);
  };
  for (std::size_t j = 0; j < std::max<std::size_t>(n, 101); ++j) {
    auto row = static_cast<lxw_row_t>(j + 1);
    if (j < n) {
      const std::size_t k = j * every;
      worksheet_write_number(fit, row, 0, longer.t(k), nullptr);
      ab(block.u_scan, k, row, 1);
      ab(block.v_scan, k, row, 2);
    }
    if (j <= 100) {
      const double t = -1 + static_cast<double>(j) / 50.0;
      worksheet_write_number(fit, row, 4, t, nullptr);
      const double u = analysis::polynomial(block.u_scan.fit, t);
      const double v = analysis::polynomial(block.v_scan.fit, t);
      if (std::isfinite(u)) worksheet_write_number(fit, row, 5, u, nullptr);
      if (std::isfinite(v)) worksheet_write_number(fit, row, 6, v, nullptr);
    }
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
  const std::optional<std::size_t> rows = fit_sheet(book, block, fit_name);
  lxw_chart* chart = rows ? workbook_add_chart(book, LXW_CHART_SCATTER) : nullptr;
  if (chart == nullptr) return;
  const std::size_t n = *rows;
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
  const std::string title =
      "AB at " + analysis::label(block.wavelength_nm, 6) + " nm against t = l / NS";
  chart_title_set_name(chart, title.c_str());
  chart_axis_set_name(chart->x_axis, "t");
  chart_axis_set_name(chart->y_axis, "AB (wavelengths)");
  chart_axis_set_min(chart->x_axis, -1);
  chart_axis_set_max(chart->x_axis, 1);
  chart_axis_set_crossing_min(chart->x_axis);
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options = chart_size(kWideChartPx, kWideChartHeightPx);
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
  lxw_chart_options options = chart_size(kWideChartPx, kWideChartHeightPx);
  const auto [row, column] = merit_chart_place(plan, r);
  worksheet_insert_chart_opt(sheet, row, column, chart, &options);
}

}  // namespace lumaveil::cli::workbook

#endif
