#include "cli/workbook/sheet_plan.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

std::vector<SheetPlan> plan_sheets(const ReportContents& r) {
  std::vector<SheetPlan> plans;
  if (r.mode == 1) {
    for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
      const auto& block = r.trajectories[b];
      std::string q = std::to_string(block.wavelength);
      // The heading, four tables of NUMB + 1 lines, the empty line; then the spot diagram.
      int spot_line = block.first_line + 2 + 4 * (static_cast<int>(block.tables[0].size()) + 1);
      plans.push_back({"Trajectory" + q, block.first_line, spot_line, SheetPlan::Chart::None,
                       static_cast<int>(b)});
      plans.push_back(
          {"Spots" + q, spot_line, block.end_line, SheetPlan::Chart::Spots, static_cast<int>(b)});
    }
  } else if (r.mode == 4) {
    for (std::size_t b = 0; b < r.aberrations.size(); ++b) {
      const auto& block = r.aberrations[b];
      plans.push_back({"Aberration" + std::to_string(b + 1), block.first_line, block.end_line,
                       SheetPlan::Chart::Aberration, static_cast<int>(b)});
    }
  } else if (r.mode != 0) {
    plans.push_back(
        {"Optimisation", 0, static_cast<int>(r.cells.size()), SheetPlan::Chart::Merit, 0});
  }
  return plans;
}

}  // namespace lumaveil::cli::workbook
