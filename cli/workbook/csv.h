// The report's cells as CSV, and the number format that shows a printed
// field with all its digits.
#ifndef LUMAVEIL_CLI_WORKBOOK_CSV_H
#define LUMAVEIL_CLI_WORKBOOK_CSV_H

#include <string>
#include <string_view>

#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::workbook {

// The report's cells as CSV (RFC 4180 quoting, CR LF line ends), UTF-8 with
// a byte-order mark so that spreadsheets take it as UTF-8. Text that a
// spreadsheet would take for a formula (starting with = + - @, tab or CR)
// is written after an apostrophe; numbers stand as the report has them.
std::string csv_text(const report_input::ReportContents& report);

// The number format that shows a printed field with all its digits, e.g.
// "0.000000E+00" for 2.970764E-01, "0.0000000" for 0.0214087.
std::string number_format(std::string_view printed);

}  // namespace lumaveil::cli::workbook

#endif
