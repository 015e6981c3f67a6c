// `lumaveil export`: the report as a workbook, with libxlsxwriter when the
// host was built with it. Reads the report's blocks only; the calculation
// is not run again. (The CSV is csv.h.)
#ifndef LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H
#define LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H

#include <string>

#include "cli/report_input/report_blocks.h"
#include "cli/result.h"

namespace lumaveil::cli::workbook {

// True when this host can write workbooks.
bool workbooks_available();

// Writes the workbook to `path`, or says why it cannot.
Status write_workbook(const report_input::ReportContents& report, const std::string& path);

}  // namespace lumaveil::cli::workbook

#endif
