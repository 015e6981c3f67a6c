// Which report lines go to which sheet of the workbook, and which chart
// each sheet carries.
#ifndef LUMAVEIL_CLI_WORKBOOK_SHEET_PLAN_H
#define LUMAVEIL_CLI_WORKBOOK_SHEET_PLAN_H

#include <string>
#include <vector>

#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::workbook {

// Lines [first_line, end_line) of the report, line first_line becoming the
// sheet's first row.
struct SheetPlan {
  std::string name;
  int first_line = 0, end_line = 0;
  enum class Chart { None, Spots, Aberration, Merit } chart = Chart::None;
  int block = 0;  // the wavelength block (modes 1 and 4)
};

// One sheet per block kind: modes 1 and 4 per wavelength, the optimisers one.
std::vector<SheetPlan> plan_sheets(const report_input::ReportContents& report);

}  // namespace lumaveil::cli::workbook

#endif
