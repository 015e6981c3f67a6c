// The workbook's final zip file: libxlsxwriter's parts, the bulk rows of
// the long sheets added, every part compressed again at a fast level, the
// long sheets in pieces of a few megabytes on all processors at once.
#ifndef LUMAVEIL_CLI_WORKBOOK_PACKAGE_H
#define LUMAVEIL_CLI_WORKBOOK_PACKAGE_H

#include <string>
#include <vector>

#include "cli/report_input/report_blocks.h"
#include "cli/result.h"
#include "cli/workbook/bulk_rows.h"
#include "cli/workbook/zip_archive.h"

namespace lumaveil::cli::workbook {

// The bulk rows of one sheet and the part that holds the sheet
// ("xl/worksheets/sheet2.xml").
struct BulkSheet {
  std::string part;
  BulkRows rows;
};

// The workbook: the zip `archive` libxlsxwriter wrote, with
// the rows of `bulk` added to their sheets, which are compressed in pieces
// of `piece_lines` report lines.
Result<Archive> pack_workbook(const std::string& archive, const report_input::ReportContents& r,
                              const std::vector<BulkSheet>& bulk, const StyleIds& styles,
                              int piece_lines);

}  // namespace lumaveil::cli::workbook

#endif
