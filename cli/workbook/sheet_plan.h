// Which report lines go to which sheet of the workbook, and which chart
// each sheet carries. A block longer than a sheet's rows is continued on
// further sheets, so that no line is ever dropped.
#ifndef LUMAVEIL_CLI_WORKBOOK_SHEET_PLAN_H
#define LUMAVEIL_CLI_WORKBOOK_SHEET_PLAN_H

#include <string>
#include <vector>

#include "cli/report_input/report_blocks.h"
#include "cli/result.h"

namespace lumaveil::cli::workbook {

// The rows of one sheet, as many as a spreadsheet holds (1,048,576).
inline constexpr int kSheetRows = 1048576;
// The columns of one sheet (16,384) and the characters of one cell (32,767).
inline constexpr int kSheetColumns = 16384;
inline constexpr int kCellCharacters = 32767;
// Sheet names are at most 31 characters long.
inline constexpr std::size_t kSheetNameLength = 31;

// Lines [first_line, end_line) of the report, below the heading lines
// [head_first, head_end) that a continued sheet repeats (none on a block's
// first sheet), so that every sheet starts with its block's heading and
// column line.
struct SheetPlan {
  std::string name;
  int first_line = 0, end_line = 0;
  enum class Chart { None, Spots, Aberration, Merit } chart = Chart::None;
  int block = 0;  // the wavelength block (modes 1 and 4)
  int head_first = 0, head_end = 0;
  int part = 1;  // 1 on a block's first sheet, 2, 3 ... on its continuations

  // The sheet's rows: the repeated heading lines, then its own lines.
  int rows() const { return head_end - head_first + end_line - first_line; }
  // The sheet row of report line `line` (first_line <= line < end_line).
  int row_of(int line) const { return head_end - head_first + line - first_line; }
};

// One sheet per block kind: modes 1 and 4 per wavelength, the optimisers
// one, each continued over as many sheets as `row_limit` rows per sheet
// need. Fails when two blocks would share a sheet name (a report holding a
// wavelength twice), or a name would be too long for a sheet.
Result<std::vector<SheetPlan>> plan_sheets(const report_input::ReportContents& report,
                                           int row_limit = kSheetRows);

}  // namespace lumaveil::cli::workbook

#endif
