#include "cli/workbook/sheet_plan.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace lumaveil::cli::workbook {

using report_input::ReportContents;
using report_input::TrajectoryBlock;

namespace {

// The line of a mode-1 block's spot heading, from the block's own tables:
// the wavelength heading, four tables of a column line and their rows, the
// empty line.
int spot_heading_line(const TrajectoryBlock& block) {
  long long line = block.first_line + 1;
  for (const auto& table : block.tables) line += 1 + static_cast<long long>(table.size());
  line += 1;
  return static_cast<int>(std::clamp<long long>(line, block.first_line, block.end_line));
}

// A sheet's lines, continued on sheets "name (2)", "name (3)" ... each
// repeating the block's first two lines (its heading and column line), as
// long as the lines exceed `row_limit` rows per sheet. Charts stand on
// the first sheet only, except the spot diagram: each of its sheets shows
// its own points.
void add_continued(std::vector<SheetPlan>& plans, const SheetPlan& whole, int row_limit) {
  const int head = std::min(2, whole.end_line - whole.first_line);
  int line = std::min(whole.end_line, whole.first_line + row_limit);
  SheetPlan first = whole;
  first.end_line = line;
  plans.push_back(first);
  for (int part = 2; line < whole.end_line; ++part) {
    SheetPlan next = whole;
    next.name = whole.name + " (" + std::to_string(part) + ")";
    next.part = part;
    next.head_first = whole.first_line;
    next.head_end = whole.first_line + head;
    next.first_line = line;
    next.end_line = std::min(whole.end_line, line + (row_limit - head));
    if (whole.chart != SheetPlan::Chart::Spots) next.chart = SheetPlan::Chart::None;
    plans.push_back(next);
    line = next.end_line;
  }
}

std::vector<SheetPlan> whole_blocks(const ReportContents& r) {
  std::vector<SheetPlan> plans;
  if (r.mode == 1) {
    for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
      const auto& block = r.trajectories[b];
      std::string q = std::to_string(block.wavelength);
      int spot_line = spot_heading_line(block);
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

// Sheet names compare without regard to case in a spreadsheet.
std::string folded(std::string name) {
  for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return name;
}

}  // namespace

Result<std::vector<SheetPlan>> plan_sheets(const ReportContents& r, int row_limit) {
  // A continued sheet needs room for its two heading lines and one more.
  row_limit = std::max(row_limit, 3);
  std::vector<SheetPlan> plans;
  for (const SheetPlan& whole : whole_blocks(r)) add_continued(plans, whole, row_limit);
  std::map<std::string, int> first_line_of;
  for (const SheetPlan& plan : plans) {
    if (plan.name.size() > kSheetNameLength)
      return Result<std::vector<SheetPlan>>::failure("the sheet name " + plan.name +
                                                     " is longer than 31 characters");
    auto [at, fresh] = first_line_of.emplace(folded(plan.name), plan.first_line);
    if (!fresh)
      return Result<std::vector<SheetPlan>>::failure("lines " + std::to_string(at->second + 1) +
                                                     " and " + std::to_string(plan.first_line + 1) +
                                                     " both start sheet " + plan.name +
                                                     ": the report holds a wavelength twice");
  }
  return plans;
}

}  // namespace lumaveil::cli::workbook
