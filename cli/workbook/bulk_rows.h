// The bulk of a long sheet's rows (a dense spot grid's hundreds of
// thousands), written as sheet XML here instead of cell by cell through
// libxlsxwriter: in the very form libxlsxwriter gives them, each number as
// the report printed it, and compressed apart from the rest of the
// workbook so that several sheets are compressed at once.
#ifndef LUMAVEIL_CLI_WORKBOOK_BULK_ROWS_H
#define LUMAVEIL_CLI_WORKBOOK_BULK_ROWS_H

#include <map>
#include <string>
#include <string_view>

#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::workbook {

// Report lines [first_line, end_line) as the sheet rows from `first_row`
// (counted from 0) on; their cells reach row `last_row` and column
// `last_column` (from 0; last_row < first_row when they hold none).
struct BulkRows {
  int first_line = 0, end_line = 0;
  int first_row = 0;
  int last_row = -1, last_column = 0;
};

// The cell style libxlsxwriter gave each number format (csv.h's
// number_format), by format.
using StyleIds = std::map<std::string, int>;

// The sheet XML `sheet` (libxlsxwriter's, holding the rows before
// `rows.first_row`) cut where the bulk rows go: `head` ends inside its
// sheet data, its dimension widened to cover them, and `tail` closes the
// sheet data and the sheet. A sheet without sheet data, or `rows` without
// cells, takes no bulk rows: `head` is then the sheet whole.
struct SheetFrame {
  std::string head, tail;
  bool takes_rows = false;
};
SheetFrame frame_sheet(const std::string& sheet, const BulkRows& rows);

// Appends the sheet XML of the report lines [from_line, to_line) of `rows`
// (a part of its lines, which may be written apart from the rest).
void append_rows(std::string& out, const report_input::ReportContents& r, const BulkRows& rows,
                 int from_line, int to_line, const StyleIds& styles);

// The decimals of a cell the report printed as a plain decimal number
// ("-0.100582" 6, "502625" 0; blanks before it allowed), the form of nearly
// every cell of a dense grid: such a cell is a finite number whose
// number_format (csv.h) is fixed by its decimals alone. -1 for any other
// cell (an exponent, text, NaN), which is looked at in full.
int printed_decimals(std::string_view cell);

// The reference of a cell, "A1" for row 0 and column 0.
std::string cell_reference(int row, int column);

}  // namespace lumaveil::cli::workbook

#endif
