#include "aberration/aberration_analysis.h"

#include "aberration/fit_polynomial.h"
#include "aberration/optical_path.h"
#include "entry/progress.h"
#include "model/aperture.h"
#include "report/literals.h"
#include "report/report.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

enum class ScanAxis { kX, kY };

// Sets the start of scan ray l: the central ray with one coordinate moved,
// the angle (aperture kind 2) or the height (any other kind), along x or y.
void set_scan_ray(State& s, ScanAxis axis, long long l) {
  const int M = s.NS;
  set_central_ray(s);
  if (s.IAP == 2) {
    if (axis == ScanAxis::kX) s.U[0] = aperture_offset(l, s.RU, M) + s.UI[0];
    else s.V[0] = aperture_offset(l, s.RU, M) + s.VI[0];
  } else {
    if (axis == ScanAxis::kX) s.X[0] = aperture_offset(l, s.RH, M) + s.XI[0];
    else s.Y[0] = aperture_offset(l, s.RH, M) + s.YI[0];
  }
}

// One scan of wavelength j: its column line, a line per ray, the fit.
void put_scan(State& s, Report& f1, int j, ScanAxis axis) {
  const int last = s.NUMB - 1;
  const long long M = s.NS;
  f1.put(axis == ScanAxis::kX ? literals::kUScanColumns : literals::kVScanColumns);
  PowerSums sums;
  clear_power_sums(sums);
  for (long long l = -M; l <= M; ++l) {
    progress(2, l + M + 1, 2 * M + 1);
    set_scan_ray(s, axis, l);
    trace_ray(s);
    path_lengths(s);
    wave_aberration(s, j);
    if (axis == ScanAxis::kX)
      f1.print(literals::kScanRow, {s.U[0], s.X[last], s.U[last], s.AB});
    else
      f1.print(literals::kScanRow, {s.V[0], s.Y[last], s.V[last], s.AB});
    // The samples are summed as they come.
    add_sample(sums, scan_abscissa(l, s.NS), s.AB);
  }
  solve_power_sums(s, sums);
  for (int p = 0; p <= 6; ++p) f1.print(literals::kCoefficientLine, {p, s.DX[p]});
  f1.put(literals::kScanEnd);
}

}  // namespace

void aberration_analysis(State& s) {
  Report f1;
  if (s.NUMB < 2) {
    f1.print("error: mode 4 needs at least 2 surfaces (NUMB = %d)\n", {s.NUMB});
    return;
  }
  vertex_positions(s, s.D);
  for (int j = 1; j <= s.NW; ++j) {
    progress(0, j, s.NW);
    for (int k = 0; k <= s.NUMB; ++k) s.N[0][k] = s.N[j][k];

    // The reference ray: the central ray of the lens data.
    set_central_ray(s);
    trace_ray(s);
    path_lengths(s);
    s.OPR = 0.0;
    for (int k = 0; k <= wide(s.NUMB) - 2; ++k) s.OPR = s.OPR + s.OPL[k];
    s.Xr = s.X[s.NUMB - 1];
    s.Yr = s.Y[s.NUMB - 1];

    f1.print(literals::kWavelengthLine, {s.WL[j]});
    progress(1, 1, 2);
    put_scan(s, f1, j, ScanAxis::kX);
    progress(1, 2, 2);
    put_scan(s, f1, j, ScanAxis::kY);
  }
}

}  // namespace lumaveil
