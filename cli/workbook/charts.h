// The charts of the workbook's sheets: the spot diagram, the aberration
// with its fitted polynomials (on a sheet of their own), the merit per
// iteration. The same analysis and the same colours as the SVG plots.
#ifndef LUMAVEIL_CLI_WORKBOOK_CHARTS_H
#define LUMAVEIL_CLI_WORKBOOK_CHARTS_H

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

void spot_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                const report_input::ReportContents& r);
void aberration_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                      const report_input::ReportContents& r);
void merit_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan,
                 const report_input::ReportContents& r);

}  // namespace lumaveil::cli::workbook

#endif

#endif
