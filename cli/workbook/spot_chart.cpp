// The spot chart of a sheet and the statistics beside it.
#include "cli/workbook/charts.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "cli/analysis/spot_stats.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/spot_frame.h"
#include "cli/workbook/chart_layout.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

namespace {

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
                const ReportContents& r, const drawing::SpotFrame& frame,
                const inputs::LensView* lens) {
  const auto& block = r.trajectories[static_cast<std::size_t>(plan.block)];
  if (block.spots.empty()) return;
  const bool angles = frame.angles;
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
  equal_axes(chart, frame);
  // One series, named in the title: no legend to take room from the plot.
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options = chart_size(kSpotChartPx, kSpotChartHeightPx);
  worksheet_insert_chart_opt(sheet, kChartRow, kChartColumn, chart, &options);
}

std::vector<SideCell> side_cells(const SheetPlan& plan, const ReportContents& r,
                                 const drawing::SpotFrame& f) {
  if (plan.chart != SheetPlan::Chart::Spots) return {};
  const auto& block = r.trajectories[static_cast<std::size_t>(plan.block)];
  if (block.spots.empty()) return {};

  const analysis::SpotStats st = analysis::spot_stats(block, f.angles);
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

Status write_side_cells(lxw_worksheet* sheet, const std::vector<SideCell>& cells, lxw_row_t row,
                        std::size_t& next) {
  for (; next < cells.size() && cells[next].row <= row; ++next) {
    const SideCell& c = cells[next];
    const lxw_error error =
        c.text.empty() ? worksheet_write_number(sheet, c.row, c.col, c.number, nullptr)
                       : worksheet_write_string(sheet, c.row, c.col, c.text.c_str(), nullptr);
    if (error != LXW_NO_ERROR)
      return Status::failure("the spot statistics: " + std::string(lxw_strerror(error)));
    // The column of the statistics' names, wide enough for them.
    if (next == 0 && worksheet_set_column(sheet, kStatsColumn, kStatsColumn, 20, nullptr) != 0)
      return Status::failure("the width of the spot statistics' column");
  }
  return Done{};
}

}  // namespace lumaveil::cli::workbook

#endif
