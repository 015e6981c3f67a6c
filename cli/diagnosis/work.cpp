#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"
#include "report/trace_and_spot.h"

namespace lumaveil::cli::diagnosis {

long double mode_work(const State& s, int mode, bool ray_set) {
  const long double surfaces = s.NUMB > 0 ? s.NUMB : 0;
  const long double wavelengths = s.NW > 0 ? s.NW : 0;
  auto at_least_0 = [](long double v) { return v > 0 ? v : 0.0L; };
  const long double ns = s.NS;
  if (mode == 1) {
    // A huge NS is counted by the area of its disc rather than point by point.
    const long double points = s.NS < 0       ? 0
                               : s.NS <= 2000 ? spot_count(s.NS)
                                              : 3.14159265358979L * ns * ns;
    return wavelengths * (4 + points) * surfaces;
  }
  if (mode == 4) return s.NUMB < 2 ? 0 : wavelengths * at_least_0(1 + 2 * (2 * ns + 1)) * surfaces;
  if (!ray_set || mode < 2 || mode > 6) return 0;
  long double rays = 0;
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r)
    if (!(s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0)) ++rays;
  // One merit evaluation: each ray at each wavelength, plus two traces per variable.
  const long double evaluation = rays * wavelengths * (1 + 2.0L * s.NV) * surfaces;
  if (mode == 2 || mode == 3) return at_least_0(s.NIT) * evaluation;
  const long double samples = mode == 5 ? 5 : 25;
  return at_least_0(s.NITD + 1.0L) * samples * at_least_0(s.NITC) * evaluation;
}

std::vector<Finding> work_findings(const State& s, bool ray_set) {
  std::vector<Finding> found;
  for (int mode = 1; mode <= 6; ++mode) {
    const long double work = mode_work(s, mode, ray_set);
    if (work <= kLargeWork) continue;
    const bool lens = mode == 1 || mode == 4;
    const int line = lens ? 3 : (mode <= 3 ? 2 : 8);  // NS, NIT or NITD
    found.push_back({lens ? kLensFile : kRaySetFile, line, 2,
                     "mode " + printed(mode) + " would trace about " +
                         printed("%.2g", static_cast<double>(work)) +
                         " ray-surface steps: expect minutes or more"});
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
