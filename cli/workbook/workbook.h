// `lumaveil export`: the report as a workbook, with libxlsxwriter when the
// host was built with it. Reads the report's blocks only; the calculation
// is not run again. (The CSV is csv.h.)
#ifndef LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H
#define LUMAVEIL_CLI_WORKBOOK_WORKBOOK_H

#include <string>

#include "cli/inputs/lens_view.h"
#include "cli/report_input/report_blocks.h"
#include "cli/result.h"
#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

// Rows past a sheet's first ones (its heading, column line and the
// statistics beside a spot chart) that make them bulk rows: written as sheet
// XML by the host itself, each number as the report printed it, instead of
// cell by cell through libxlsxwriter. A dense spot grid's sheet has
// hundreds of thousands.
inline constexpr int kBulkRows = 5000;

// True when this host can write workbooks.
bool workbooks_available();

// Writes the workbook to `path` whole, or says why it cannot and leaves
// `path` as it was. `lens` (may be null) names the wavelengths of the spot
// charts in nm. A block longer than `row_limit` rows continues on further
// sheets; a line of more columns than a sheet holds, or a cell of more
// characters, is refused with its line and column. A sheet with at least
// `bulk_rows` rows after its first ones has those written as bulk rows.
Status write_workbook(const report_input::ReportContents& report, const std::string& path,
                      const inputs::LensView* lens = nullptr, int row_limit = kSheetRows,
                      int bulk_rows = kBulkRows);

}  // namespace lumaveil::cli::workbook

#endif
