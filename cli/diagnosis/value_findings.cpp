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

// The codes: V where it does nothing useful, ties to no variable. Returns
// the number of variables among 0..NUMB-2.
int code_findings(const State& s, LensFindings& f) {
  if (s.NUMB >= 1 && s.CODE[0][0] == 'V')
    f.add(17, 6,
          "surface 0 is coded V: the start plane's curvature is never used, so modes 2, 5 "
          "and 6 find singular normal equations (mode 3 does vary its distance)");
  if (s.NUMB >= 2 && s.CODE[s.NUMB - 1][0] == 'V')
    f.add(17 + s.NUMB - 1, 6,
          "surface NUMB-1 (the image plane) is coded V: it gets a report column with no values "
          "under it, so the later columns shift, and it moves no ray");
  int variables = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    if (is_variable(s, k)) ++variables;
    if (s.CODE[k][0] != 'P' && s.CODE[k][0] != 'M') continue;
    const int g = s.LINK[k];
    if (g < 0 || g > kMaxSurfaces)
      f.add(17 + k, 7,
            surface_name(k) + " is tied (" + s.CODE[k][0] + ") to LINK = " + printed(g) +
                ", outside 0..100: the tie is ignored and the surface stays fixed");
    else if (g > wide(s.NUMB) - 2 || s.CODE[g][0] != 'V')
      f.add(17 + k, 7,
            surface_name(k) + " is tied (" + s.CODE[k][0] + ") to surface " + printed(g) +
                ", which is not a V surface among 0..NUMB-2: it follows no variable "
                "as intended");
  }
  return variables;
}

// What the optimising modes need of the lens: something to vary, and the
// distances modes 5 and 6 search.
void optimising_findings(const State& s, int variables, LensFindings& f) {
  if (variables == 0)
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
  const int variables = code_findings(s, f);
  if (ray_set) optimising_findings(s, variables, f);
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
  return found;
}

}  // namespace lumaveil::cli::diagnosis
