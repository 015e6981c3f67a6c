#include "cli/workbook/chart_layout.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <cmath>

#include "cli/drawing/palette.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

std::size_t columns_of(const SheetPlan& plan, const ReportContents& r) {
  std::size_t columns = 0;
  for (int line = plan.first_line; line < plan.end_line; ++line) {
    const std::string_view text = r.cells.text(static_cast<std::size_t>(line));
    columns =
        std::max(columns, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t')) + 1);
  }
  return columns;
}

std::pair<lxw_row_t, lxw_col_t> merit_chart_place(const SheetPlan& plan, const ReportContents& r) {
  const std::size_t columns = columns_of(plan, r);
  if (columns <= 24) return {kChartRow, static_cast<lxw_col_t>(columns + 1)};
  return {static_cast<lxw_row_t>(plan.end_line - plan.first_line + 1), 0};
}

std::pair<lxw_row_t, lxw_col_t> chart_end(lxw_row_t row, lxw_col_t column, double width,
                                          double height) {
  return {static_cast<lxw_row_t>(row + std::ceil(height / kRowPx)),
          static_cast<lxw_col_t>(column + std::ceil(width / 64))};
}

lxw_chart_options chart_size(double width, double height) {
  lxw_chart_options options{};
  options.x_scale = width / kDefaultChartWidth;
  options.y_scale = height / kDefaultChartHeight;
  return options;
}

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

}  // namespace lumaveil::cli::workbook

#endif
