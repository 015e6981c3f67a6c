// Where the charts of the workbook stand and how large they are, and the
// look of their series: shared by the charts and the print set-up.
#ifndef LUMAVEIL_CLI_WORKBOOK_CHART_LAYOUT_H
#define LUMAVEIL_CLI_WORKBOOK_CHART_LAYOUT_H

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include <cstddef>
#include <utility>

#include "cli/report_input/report_blocks.h"
#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

// The charts stand from the second row on; the spot chart and the
// aberration chart in column G, beside the rows (columns A to E).
inline constexpr lxw_row_t kChartRow = 1;
inline constexpr lxw_col_t kChartColumn = 6;
// The spot chart: a square plot of kSpotChartPx. The title above and the
// x axis's labels and name below take about 130 px more of the chart's
// height than the y axis's labels and name take of its width: a chart
// this much taller than wide has a square plot area (measured in
// LibreOffice's rendering; libxlsxwriter 1.1.4 cannot set the plot area's
// layout itself).
inline constexpr double kSpotChartPx = 480;
inline constexpr double kSpotChartHeightPx = 610;
// The spot statistics stand in the two columns after the spot chart.
inline constexpr lxw_col_t kStatsColumn = 14;
// The aberration and merit charts: 720 x 432 pixels.
inline constexpr double kWideChartPx = 720, kWideChartHeightPx = 432;
// libxlsxwriter's default chart, 480 x 288 pixels, and a row's height.
inline constexpr double kDefaultChartWidth = 480, kDefaultChartHeight = 288, kRowPx = 20;

// The columns the report's lines of a sheet fill.
std::size_t columns_of(const SheetPlan& plan, const report_input::ReportContents& r);

// The merit chart beside the rows, after a blank column; below them when
// the rows are too wide (many variables) to print beside a chart.
std::pair<lxw_row_t, lxw_col_t> merit_chart_place(const SheetPlan& plan,
                                                  const report_input::ReportContents& r);

// The last row and column a chart of `width` x `height` pixels covers from
// (row, column), the columns counted at their default width of 64 pixels.
std::pair<lxw_row_t, lxw_col_t> chart_end(lxw_row_t row, lxw_col_t column, double width,
                                          double height);

// A chart scaled from libxlsxwriter's default size to `width` x `height`.
lxw_chart_options chart_size(double width, double height);

// The series colours of the SVG plots, so both show a scan alike.
lxw_color_t series_colour(std::size_t k);
// Markers of series colour `colour`, filled and edged alike.
void colour_markers(lxw_chart_series* series, lxw_color_t colour);

}  // namespace lumaveil::cli::workbook

#endif

#endif
