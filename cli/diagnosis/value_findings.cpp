#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"

namespace lumaveil::cli::diagnosis {

namespace {

// Findings of the lens file, each pinned to a cell.
struct LensFindings {
  std::vector<Finding> found;
  void add(int line, int column, const std::string& message) {
    found.push_back({kLensFile, line, column, message});
  }
};

// NUMB, NW and NS: counts cut to the arrays, or too small to work with.
void count_findings(const State& s, const InputGrid& grid, LensFindings& f) {
  const int numb_written = parse_int(grid.cell(12, 1));
  if (numb_written > kMaxSurfaces)
    f.add(12, 1,
          "NUMB = " + printed(numb_written) + " is cut to 100: surfaces beyond 100 are not read");
  if (s.NUMB < 3)
    f.add(12, 1,
          "NUMB = " + printed(s.NUMB) +
              ": a lens needs at least one surface, the image plane and the closing plane "
              "(NUMB of 3 or more)");
  const int nw_written = parse_int(grid.cell(13, 1));
  if (nw_written > kMaxWavelengths)
    f.add(13, 1,
          "NW = " + printed(nw_written) + " is cut to 20: wavelengths beyond 20 are not read");
  if (s.NW < 1) f.add(13, 1, "NW = " + printed(s.NW) + ": no wavelength, so nothing is traced");
  if (s.NS < 3)
    f.add(3, 2,
          "NS = " + printed(s.NS) +
              ": the degree-6 fits of mode 4 need NS of 3 or more (with less they are singular)");
}

// The variables among surfaces 0..NUMB-2, the ones the optimisers vary.
int variable_count(const State& s) {
  int variables = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k)
    if (is_variable(s, k)) ++variables;
  return variables;
}

// The wavelengths written as numbers that are not positive (an empty or
// non-numeric cell has its own finding).
void wavelength_findings(const State& s, const InputGrid& grid, LensFindings& f) {
  for (int q = 1; q <= s.NW; ++q) {
    const CellText text = classify_cell(grid.cell(15, 7 + q), false);
    if (text == CellText::kEmpty || text == CellText::kNoNumber || s.WL[q] > 0) continue;
    f.add(15, 7 + q,
          "wavelength " + printed(q) + " = " + printed("%g", s.WL[q]) +
              " nm is not positive: mode 4 gives the aberration in wavelengths, "
              "dividing by it; write the wavelength in nm (587.6, say)");
  }
}

// What the optimising modes need of the lens: something to vary, and the
// distances modes 5 and 6 search.
void optimising_findings(const State& s, const InputGrid& grid, LensFindings& f) {
  // A mistyped V has its own finding, which says why nothing varies.
  if (variable_count(s) == 0 && mistyped_variables(s, grid) == 0)
    f.add(17, 6, "no surface among 0..NUMB-2 is coded V: modes 2, 3, 5 and 6 have nothing to vary");
  for (int which = 1; which <= 2; ++which) {
    const int surface = s.ND[which];
    if (surface < 0 || surface > wide(s.NUMB) - 2)
      f.add(13, 2 + which,
            "ND" + printed(which) + " = " + printed(surface) +
                " is not a surface 0..NUMB-2: mode " + (which == 1 ? "5 and 6 stop" : "6 stops") +
                " with an error line");
  }
  if (s.ND[1] == s.ND[2])
    f.add(13, 4, "ND1 = ND2 = " + printed(s.ND[1]) + ": mode 6 needs two different distances");
}

}  // namespace

std::vector<Finding> lens_value_findings(const State& s, const InputGrid& grid, bool ray_set) {
  LensFindings f;
  count_findings(s, grid, f);
  wavelength_findings(s, grid, f);
  const std::vector<Finding> codes = code_findings(s, grid);
  f.found.insert(f.found.end(), codes.begin(), codes.end());
  if (ray_set) optimising_findings(s, grid, f);
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k) {
    // Before an ideal element D is its focal length, which may be negative.
    if (s.D[k] < 0 && s.TYPE[k + 1] != 1)
      f.add(17 + k, 3,
            "distance D of " + surface_name(k) + " is negative (" + printed("%g", s.D[k]) +
                "): surfaces are placed at increasing z, also "
                "behind a mirror");
  }
  return f.found;
}

std::vector<Finding> ray_set_value_findings(const State& s, const InputGrid& grid) {
  std::vector<Finding> found;
  auto add = [&](int line, const std::string& message) {
    found.push_back({kRaySetFile, line, 2, message});
  };
  const int nray_written = parse_int(grid.cell(4, 2));
  if (nray_written > kMaxRays)
    add(4, "NRAY = " + printed(nray_written) + " is cut to 100: rays beyond 100 are not read");
  if (s.NIT <= 0) add(2, "NIT = " + printed(s.NIT) + ": modes 2 and 3 run no iteration");
  if (s.H == 0) add(3, "H = 0: the derivatives divide by zero");
  if (s.NITC <= 0)
    add(7, "NITC = " + printed(s.NITC) +
               ": modes 5 and 6 re-optimise no curvature and their Newton step divides 0 by 0");
  if (s.NITD < 0) add(8, "NITD = " + printed(s.NITD) + ": modes 5 and 6 run no pass");
  if (s.HD == 0) add(9, "HD = 0: the distance search of modes 5 and 6 divides by zero");
  const std::vector<Finding> rows = ray_row_findings(s, grid);
  found.insert(found.end(), rows.begin(), rows.end());
  return found;
}

}  // namespace lumaveil::cli::diagnosis
