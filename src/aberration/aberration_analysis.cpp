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

// The arrays on which the first ray of a pair is traced; the second is
// traced on the state block, which so ends as if the rays ran one by one.
RayArrays side;
double side_OPL[kSurfaceSlots];

// The row of one scan ray and its sample of the fit.
void put_scan_row(Report& f1, PowerSums& sums, const State& s, ScanAxis axis, long long l,
                  const TraceRay& ray, double AB) {
  const int last = s.NUMB - 1;
  if (axis == ScanAxis::kX)
    f1.print(literals::kScanRow, {ray.u[0], ray.x[last], ray.u[last], AB});
  else
    f1.print(literals::kScanRow, {ray.v[0], ray.y[last], ray.v[last], AB});
  // The samples are summed as they come.
  add_sample(sums, scan_abscissa(l, s.NS), AB);
}

// Scan rays a and b: a on the side arrays, b on the state block, side by
// side; their rows in order.
void trace_scan_pair(State& s, Report& f1, PowerSums& sums, int j, ScanAxis axis, long long a,
                     long long b) {
  set_scan_ray(s, axis, a);
  side.X[0] = s.X[0];
  side.Y[0] = s.Y[0];
  side.U[0] = s.U[0];
  side.V[0] = s.V[0];
  side.Z[0] = s.Z[0];
  set_scan_ray(s, axis, b);
  const TraceSurfaces surfaces = surfaces_of(s);
  trace_steps_side_by_side(surfaces, side.ray(), 0, surfaces, ray_of(s), 0);
  path_lengths(s, side.ray(), side_OPL);
  put_scan_row(f1, sums, s, axis, a, side.ray(), wave_aberration(s, side.ray(), side_OPL, j));
  path_lengths(s, ray_of(s), s.OPL);
  s.AB = wave_aberration(s, ray_of(s), s.OPL, j);
  put_scan_row(f1, sums, s, axis, b, ray_of(s), s.AB);
}

// Scan ray l alone, on the state block.
void trace_scan_ray(State& s, Report& f1, PowerSums& sums, int j, ScanAxis axis, long long l) {
  set_scan_ray(s, axis, l);
  trace_ray(s);
  path_lengths(s, ray_of(s), s.OPL);
  s.AB = wave_aberration(s, ray_of(s), s.OPL, j);
  put_scan_row(f1, sums, s, axis, l, ray_of(s), s.AB);
}

// One scan of wavelength j: its column line, a line per ray, the fit. The
// rays are traced two at a time, so that the processor overlaps their
// chains of library calls; the rows and the samples come in their order.
void put_scan(State& s, Report& f1, int j, ScanAxis axis) {
  const long long M = s.NS;
  f1.put(axis == ScanAxis::kX ? literals::kUScanColumns : literals::kVScanColumns);
  PowerSums sums;
  clear_power_sums(sums);
  for (long long l = -M; l <= M; ++l) {
    progress(2, l + M + 1, 2 * M + 1);
    if (l < M) {
      progress(2, l + M + 2, 2 * M + 1);
      trace_scan_pair(s, f1, sums, j, axis, l, l + 1);
      ++l;
    } else {
      trace_scan_ray(s, f1, sums, j, axis, l);
    }
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
