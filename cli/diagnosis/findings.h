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

// Whether line 15 + r of the ray set holds anything in its cells 1..8, and
// whether ray r starts with all four values 0 (the merit skips it).
bool ray_line_present(const InputGrid& grid, int r);
bool ray_skipped(const State& s, int r);
// NRAY beyond the ray lines present, and rays skipped for their zero start.
std::vector<Finding> ray_row_findings(const State& s, const InputGrid& grid);

// The code cells (column 6) and the ties of 'P' and 'M' surfaces: codes
// that look meant but are not read as such, 'V' where it does something
// unexpected, LINKs that cannot work. Also counts the variables.
std::vector<Finding> code_findings(const State& s, const InputGrid& grid);
// The code cells among surfaces 0..NUMB-2 that look meant as 'V' but are not.
int mistyped_variables(const State& s, const InputGrid& grid);

// Failures of the real-ray check that an unreadable index cell of the same
// wavelength explains: the failure is appended to that cell's finding in
// `found` and left out of the result.
std::vector<RayCheck> unexplained_failures(const State& s, const InputGrid& grid,
                                           const std::vector<RayCheck>& failures,
                                           std::vector<Finding>& found);

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
constexpr long double kStepsPerSecond = 1e7L;
// The spot rays mode 1 traces for each wavelength, and the size in bytes of
// the report of mode 1 or 4 (0 for the other modes, whose reports are small).
long double spot_rays_per_wavelength(const State& s);
long double report_bytes(const State& s, int mode);
// The expected run time of a mode in seconds: its traced steps, and the
// writing of its report (the formatter gives some 50 MB a second).
constexpr long double kReportBytesPerSecond = 50e6L;
long double expected_seconds(const State& s, int mode, bool ray_set);
// A length of time in the unit a reader thinks in: "about 40 seconds",
// "about 3 minutes", "about 5 hours", "about 12 days", "about 2e15 years".
std::string plain_duration(long double seconds);
// Above these a spot grid is a finding: the report is slow to open and plot.
constexpr long double kManySpotRays = 100000, kLargeReportMB = 20;
std::vector<Finding> work_findings(const State& s, bool ray_set);

}  // namespace lumaveil::cli::diagnosis

#endif
