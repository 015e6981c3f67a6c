// `lumaveil export`: the report as a workbook (with libxlsxwriter, when the
// host was built with it) or as a UTF-8 CSV of the same cells. Reads
// OUT_M.xls only; the calculation is not run again.
#ifndef LUMAVEIL_CLI_EXPORT_H
#define LUMAVEIL_CLI_EXPORT_H

#include <string>
#include <vector>

#include "report_reader.h"

namespace lumaveil::exporting {

// Which report lines go to which sheet: lines [first_line, end_line), line
// first_line becoming the sheet's first row.
struct SheetPlan {
  std::string name;
  int first_line = 0, end_line = 0;
  enum class Chart { None, Spots, Aberration, Merit } chart = Chart::None;
  int block = 0;  // the wavelength block (modes 1 and 4)
};

// One sheet per block kind: modes 1 and 4 per wavelength, the optimisers one.
std::vector<SheetPlan> plan_sheets(const report::Report& report);

// The report's cells as CSV (RFC 4180 quoting, CR LF line ends), UTF-8 with
// a byte-order mark so that spreadsheets take it as UTF-8.
std::string csv_text(const report::Report& report);

// The number format that shows a printed field with all its digits, e.g.
// "0.000000E+00" for 2.970764E-01, "0.0000000" for 0.0214087.
std::string number_format(const std::string& printed);

// True when this host can write workbooks.
bool workbooks_available();

// Writes the workbook; false with a message when it cannot.
bool write_workbook(const report::Report& report, const std::string& path, std::string& error);

}  // namespace lumaveil::exporting

#endif
