// The charts of the workbook's sheets: the spot diagram (spot_chart.cpp),
// the aberration with its fitted polynomials (on a sheet of their own) and
// the merit per iteration (charts.cpp); the statistics beside the spot
// chart; the print set-up (printing.cpp). The same analysis and the same
// colours as the SVG plots.
#ifndef LUMAVEIL_CLI_WORKBOOK_CHARTS_H
#define LUMAVEIL_CLI_WORKBOOK_CHARTS_H

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include <string>
#include <vector>

#include "cli/drawing/spot_frame.h"
#include "cli/inputs/lens_view.h"
#include "cli/result.h"
#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

// `frame` is drawing::spot_frame(r), the frame all wavelengths share (made
// once per workbook: it looks at every ray); `lens` (may be null) names the
// wavelengths in nm, as the plots do.
void spot_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                const report_input::ReportContents& r, const drawing::SpotFrame& frame,
                const inputs::LensView* lens);
void aberration_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                      const report_input::ReportContents& r);
void merit_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                 const report_input::ReportContents& r);

// A cell a sheet holds beside its report lines: the statistics of the spot
// chart's wavelength, the same numbers and unit as the plot's table.
struct SideCell {
  lxw_row_t row = 0;
  lxw_col_t col = 0;
  std::string text;  // when empty, the number
  double number = 0;
};
// The side cells of a sheet, by row (none for sheets without a spot chart).
std::vector<SideCell> side_cells(const SheetPlan& plan, const report_input::ReportContents& r,
                                 const drawing::SpotFrame& frame);
// The workbook streams its rows (constant memory): it writes the side cells
// of each row, from `next` on, up to and with row `row`, as it goes.
Status write_side_cells(lxw_worksheet* sheet, const std::vector<SideCell>& cells, lxw_row_t row,
                        std::size_t& next);

// Printing: each sheet one page wide, landscape where a chart stands beside
// the rows, the print area over the rows and the chart, the chart on the
// first page.
Status set_up_printing(lxw_worksheet* sheet, const SheetPlan& plan,
                       const report_input::ReportContents& r);

}  // namespace lumaveil::cli::workbook

#endif

#endif
