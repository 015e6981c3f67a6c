// What `lumaveil check` finds wrong or suspicious in the input files.
//
// Each finding names the file and the cell it concerns, with the 0-based line
// and column of the guide and the spreadsheet cell ("line 18, column 2 (cell
// C19)"). The analyses read what the library's own readers made of the files
// (the grid and the state block) and look at the raw bytes only for the shape
// of the file itself.
#ifndef LUMAVEIL_CLI_DIAGNOSIS_FINDINGS_H
#define LUMAVEIL_CLI_DIAGNOSIS_FINDINGS_H

#include <string>
#include <vector>

#include "cli/diagnosis/first_order.h"
#include "cli/inputs/input_files.h"
#include "model/input_grid.h"
#include "model/state.h"

namespace lumaveil::cli::diagnosis {

using inputs::kLensFile;
using inputs::kRaySetFile;

struct Finding {
  std::string file;
  int line;    // 0-based; -1 for the whole file
  int column;  // 0-based
  std::string message;
};

// "C19" for line 18, column 2.
std::string cell_name(int line, int column);
// "IN_FM.txt, line 18, column 2 (cell C19)", or the file alone.
std::string location(const Finding& finding);

// The file as a whole: empty, UTF-16 or holding NUL bytes, CR-only line
// ends, or cells separated by commas, semicolons or spaces instead of tabs.
std::vector<Finding> file_shape_findings(const std::string& file, const std::string& bytes);

// How the text of a numeric cell reads.
enum class CellText {
  kNumber,        // a number, perhaps with blanks around it
  kEmpty,         // nothing: reads as 0, as the guide says
  kNoNumber,      // text without a number: reads as 0
  kTrailingText,  // a number followed by other text, which is ignored
  kDecimalComma,  // a number with a comma where the full stop belongs
  kFraction,      // an integer cell holding a fraction or an exponent
};
CellText classify_cell(const char* text, bool integer);

// The numeric cells the readers use, with what their text reads as.
std::vector<Finding> lens_cell_findings(const State& s, const InputGrid& grid);
std::vector<Finding> ray_set_cell_findings(const State& s, const InputGrid& grid);

// The values themselves. `ray_set` tells whether "IN_FM2.txt" is present
// (the optimising modes can run).
std::vector<Finding> lens_value_findings(const State& s, const InputGrid& grid, bool ray_set);
std::vector<Finding> ray_set_value_findings(const State& s, const InputGrid& grid);

// One finding per wavelength, surface and kind of failure of the real-ray
// check, naming the rays.
std::vector<Finding> ray_findings(const std::vector<RayCheck>& failures);

// The traced ray-surface steps each mode would take; 0 for a mode that
// cannot run (no ray set).
long double mode_work(const State& s, int mode, bool ray_set);
// Above this many steps (at some 1e7 steps a second) a mode takes minutes: a finding.
constexpr long double kLargeWork = 1e9L;
std::vector<Finding> work_findings(const State& s, bool ray_set);

}  // namespace lumaveil::cli::diagnosis

#endif
