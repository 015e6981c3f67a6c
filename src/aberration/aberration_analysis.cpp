#include "aberration/aberration_analysis.h"

#include "aberration/fit_polynomial.h"
#include "aberration/optical_path.h"
#include "entry/progress.h"
#include "model/aperture.h"
#include "report/literals.h"
#include "report/ray_batch.h"
#include "report/report.h"
#include "report/row_text.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// Its rows are many: their format is parsed once.
constexpr ParsedFormat kScanRowFormat{literals::kScanRow};

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

// What each scan ray of a batch leaves: its row's values and the powers of
// its abscissa for the fit.
struct ScanRow {
  long long l;
  double start, at, angle, AB;
  SamplePowers powers;
};

ScanRow scan_rows[kBatchSlots];
static_assert(kScanRowBytes <= kRowTextBytes);

class ScanRows final : public RayRows {
 public:
  ScanRows(const State& s, int j, ScanAxis axis, PowerSums& sums)
      : s_(s), j_(j), axis_(axis), sums_(sums) {}

  void keep(int slot, const TraceRay& ray) override {
    ScanRow& row = scan_rows[slot];
    double opl[kSurfaceSlots];
    path_lengths(s_, ray, opl);
    row.AB = wave_aberration(s_, ray, opl, j_);
    const int last = s_.NUMB - 1;
    const bool x = axis_ == ScanAxis::kX;
    row.start = x ? ray.u[0] : ray.v[0];
    row.at = x ? ray.x[last] : ray.y[last];
    row.angle = x ? ray.u[last] : ray.v[last];
    sample_powers(scan_abscissa(row.l, s_.NS), row.powers);
  }
  void put_row(FormatSink& sink, int slot) const override {
    char text[kScanRowBytes];
    const int length = row_text(text, slot);
    if (length >= 0) {
      sink.append(text, length);
      return;
    }
    const ScanRow& row = scan_rows[slot];
    format_to(sink, kScanRowFormat, {row.start, row.at, row.angle, row.AB});
  }
  int row_text(char* out, int slot) const override {
    const ScanRow& row = scan_rows[slot];
    return scan_row_text(out, row.start, row.at, row.angle, row.AB);
  }
  // The samples are summed in the order of the scan.
  void in_order(int slot) override { add_sample(sums_, scan_rows[slot].powers, scan_rows[slot].AB); }

 private:
  const State& s_;
  int j_;
  ScanAxis axis_;
  PowerSums& sums_;
};

// One scan of wavelength j: its column line, a line per ray, the fit. The
// rays are traced in batches (the last one on the state block), their rows
// and samples in the order of the scan.
void put_scan(State& s, Report& f1, int j, ScanAxis axis) {
  const long long M = s.NS;
  f1.put(axis == ScanAxis::kX ? literals::kUScanColumns : literals::kVScanColumns);
  PowerSums sums;
  clear_power_sums(sums);
  ScanRows rows(s, j, axis, sums);
  RayBatch batch(s, f1, rows);
  for (long long l = -M; l <= M; ++l) {
    progress(2, l + M + 1, 2 * M + 1);
    set_scan_ray(s, axis, l);
    scan_rows[batch.add(start_of(s))].l = l;
  }
  // The state block keeps the path lengths and the aberration of the last
  // ray, which finish traces there.
  if (batch.finish()) {
    path_lengths(s);
    wave_aberration(s, j);
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
