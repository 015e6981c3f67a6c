// A report (OUT_M.xls) as typed blocks: the trace tables and spot diagrams
// of mode 1, the scans and fits of mode 4, the iteration rows of the
// optimising modes, and every line as its cells.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_REPORT_BLOCKS_H
#define LUMAVEIL_CLI_REPORT_INPUT_REPORT_BLOCKS_H

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "cli/report_input/report_lines.h"

namespace lumaveil::cli::report_input {

// One row of a surface trace table: the ray at surface i.
struct TraceRow {
  int i = 0;
  double c = 0, z = 0, x = 0, u = 0, y = 0, v = 0;
};
using TraceTable = std::vector<TraceRow>;

// One point of a spot diagram: angles and heights at surface NUMB-1.
struct SpotRow {
  int n = 0;
  double u = 0, v = 0, x = 0, y = 0;
};

// Mode 1, one wavelength: the central, upper rim, lower rim and central
// ray again, then the spot diagram.
struct TrajectoryBlock {
  int wavelength = 0;  // q, counted from 1
  std::array<TraceTable, 4> tables;
  int spot_count = 0;  // as the spot heading states it
  std::vector<SpotRow> spots;
  int first_line = 0, end_line = 0;  // the block's lines [first, end), from 0
};

// Mode 4, one scan line: the start angle, the height and angle at surface
// NUMB-1, and the wavefront aberration in wavelengths.
struct ScanRow {
  double start = 0, height = 0, angle = 0, ab = 0;
};

struct Scan {
  std::vector<ScanRow> rows;    // l = -M .. M
  std::array<double, 7> fit{};  // c0 .. c6 over t = l / M
  int first_line = 0, end_line = 0;
  // The normalised pupil coordinate of row r: t = l / M (0 for a single row).
  double t(std::size_t r) const;
};

struct AberrationBlock {
  double wavelength_nm = 0;
  Scan u_scan, v_scan;
  int first_line = 0, end_line = 0;
};

// Modes 2, 3, 5 and 6: one row per iteration (modes 2, 3) or outer pass
// (modes 5, 6).
struct IterationRow {
  int n = 0;
  std::vector<double> distances;  // modes 5 and 6: D1 (and D2) after the pass
  double e = 0, xa = 0, xs = 0, ya = 0, ys = 0;
  std::vector<double> variables;  // 1/R(v) or D(v), v = 0 ..
};

struct Optimisation {
  std::vector<std::string> distance_names;  // "D1", "D2"
  std::vector<std::string> variable_names;  // "1/R(0)" ...
  std::vector<IterationRow> rows;
  std::string error;  // an "error: ..." line after the column line, if any
  int first_line = 0, end_line = 0;
};

struct ReportContents {
  int mode = 0;                               // 1 to 6; 0 for a report that is one error line
  std::string heading;                        // the first line, UTF-8
  std::string error;                          // mode 0: the error line
  std::vector<TrajectoryBlock> trajectories;  // mode 1
  std::vector<AberrationBlock> aberrations;   // mode 4
  Optimisation optimisation;                  // modes 2, 3, 5, 6
  // Every line as its cells, decoded to UTF-8 (the trailing empty cell of a
  // line ending in a tab kept); empty when the reader was asked not to keep
  // them (ReadOptions).
  ReportLines cells;
};

// What a mode's report shows, in a few words.
std::string mode_title(int mode);

}  // namespace lumaveil::cli::report_input

#endif
