// The rays of the ray set as lines of IN_FM2.txt: ray r is line 15 + r, its
// start values in columns 1 to 4 and its targets in 5 to 8. The reader takes
// NRAY lines whether the file has them or not, and the merit skips a ray
// whose four start values are all 0 (it could not tell an empty line from a
// ray meant to start there).
#include <string>
#include <vector>

#include "cli/diagnosis/finding_text.h"
#include "cli/diagnosis/findings.h"

namespace lumaveil::cli::diagnosis {

bool ray_line_present(const InputGrid& grid, int r) {
  for (int c = 1; c <= 8; ++c)
    if (*skip_blanks(grid.cell(15 + r, c)) != '\0') return true;
  return false;
}

bool ray_skipped(const State& s, int r) {
  return s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0;
}

std::vector<Finding> ray_row_findings(const State& s, const InputGrid& grid) {
  std::vector<Finding> found;
  int present = 0;  // ray lines up to the last one that holds anything
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r)
    if (ray_line_present(grid, r)) present = r + 1;
  if (present < s.NRAY)
    found.push_back({kRaySetFile, 4, 2,
                     "NRAY = " + printed(s.NRAY) + " but the ray lines end after " +
                         printed(present) + " ray" + (present == 1 ? "" : "s") + " (line " +
                         printed(14 + present) +
                         "): the missing rays read as all 0 and are "
                         "skipped; write NRAY = " +
                         printed(present) + " or add the rays"});
  for (int r = 0; r <= present - 1; ++r)
    if (ray_skipped(s, r))
      found.push_back({kRaySetFile, 15 + r, 1,
                       "ray " + printed(r) +
                           " starts with X, Y, U and V all 0, so the merit "
                           "skips it and its targets do nothing; a ray on the axis needs one "
                           "non-zero angle (or remove the line)"});
  return found;
}

}  // namespace lumaveil::cli::diagnosis
