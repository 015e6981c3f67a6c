// The print set-up of a sheet: one page wide, the chart on the first page.
#include "cli/workbook/charts.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <string>

#include "cli/workbook/chart_layout.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

Status set_up_printing(lxw_worksheet* sheet, const SheetPlan& plan, const ReportContents& r) {
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
  lxw_error error = worksheet_print_area(sheet, 0, 0, last_row, last_column);
  // The block's heading and column names on every page.
  if (error == LXW_NO_ERROR)
    error = worksheet_repeat_rows(sheet, 0, std::min<lxw_row_t>(1, last_row));
  if (error != LXW_NO_ERROR)
    return Status::failure("the print set-up: " + std::string(lxw_strerror(error)));
  return Done{};
}

}  // namespace lumaveil::cli::workbook

#endif
