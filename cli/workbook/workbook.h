// `lumaveil export`: the report as a workbook, with libxlsxwriter when the
// host was built with it. Reads the report's blocks only; the calculation
// is not run again. (The CSV is csv.h.)
#ifndef LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H
#define LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H

#include <string>

#include "cli/report_input/report_blocks.h"
#include "cli/result.h"
#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

// True when this host can write workbooks.
bool workbooks_available();

// Writes the workbook to `path` whole, or says why it cannot and leaves
// `path` as it was. A block longer than `row_limit` rows continues on
// further sheets; a line of more columns than a sheet holds, or a cell of
// more characters, is refused with its line and column.
Status write_workbook(const report_input::ReportContents& report, const std::string& path,
                      int row_limit = kSheetRows);

}  // namespace lumaveil::cli::workbook

#endif
