#include "report/trace_and_spot.h"

#include <cmath>
#include <limits>

#include "entry/progress.h"
#include "model/aperture.h"
#include "report/literals.h"
#include "report/ray_batch.h"
#include "report/report.h"
#include "report/row_text.h"
#include "report/trace_table.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

// Its rows are many: their format is parsed once.
constexpr ParsedFormat kSpotRowFormat{literals::kSpotRow};

void trace_and_tabulate(State& s, Report& f1) {
  trace_ray(s);
  put_trace_table(s, f1);
}

// The row of each spot ray of a batch: its number, and U, V, X and Y at
// surface NUMB-1.
struct SpotRow {
  long long n;
  double u, v, x, y;
};

SpotRow spot_rows[kBatchSlots];
static_assert(kSpotRowBytes <= kRowTextBytes);

class SpotRows final : public RayRows {
 public:
  explicit SpotRows(int last) : last_(last) {}
  void keep(int slot, const TraceRay& ray) override {
    SpotRow& row = spot_rows[slot];
    row.u = ray.u[last_];
    row.v = ray.v[last_];
    row.x = ray.x[last_];
    row.y = ray.y[last_];
  }
  void put_row(FormatSink& sink, int slot) const override {
    char text[kSpotRowBytes];
    const int length = row_text(text, slot);
    if (length >= 0) {
      sink.append(text, length);
      return;
    }
    const SpotRow& row = spot_rows[slot];
    format_to(sink, kSpotRowFormat, {row.n, row.u, row.v, row.x, row.y});
  }
  int row_text(char* out, int slot) const override {
    const SpotRow& row = spot_rows[slot];
    return spot_row_text(out, row.n, row.u, row.v, row.x, row.y);
  }

 private:
  int last_;
};

// The spot diagram of one wavelength; the ray holds the central values.
// The grid's rays are traced in batches (the last one on the state block),
// their rows in the order of the grid.
void put_spot_diagram(State& s, Report& f1, int q) {
  const long long ns = s.NS;
  const long long points = spot_count(s.NS);
  f1.print(literals::kSpotDiagramHeading, {q, points});
  f1.put(literals::kSpotColumns);
  if (s.NUMB <= 0) return;  // no surface NUMB-1 to report
  const int last = s.NUMB - 1;
  SpotRows rows(last);
  RayBatch batch(s, f1, rows);
  long long n = 0;
  for (long long j = -ns; j <= ns; ++j) {
    if (s.IAP == 1) s.X[0] = s.XI[0] + aperture_offset(j, s.RH, s.NS);
    if (s.IAP == 2) s.U[0] = s.UI[0] + aperture_offset(j, s.RU, s.NS);
    for (long long l = -ns; l <= ns; ++l) {
      if (s.IAP == 1) s.Y[0] = s.YI[0] + aperture_offset(l, s.RH, s.NS);
      if (s.IAP == 2) s.V[0] = s.VI[0] + aperture_offset(l, s.RU, s.NS);
      if (j * j + l * l <= ns * ns) {
        ++n;
        progress(1, n, points);
        spot_rows[batch.add(start_of(s))].n = n;
      }
    }
  }
  batch.finish();
}

}  // namespace

long long spot_count(int steps) {
  constexpr unsigned long long largest = std::numeric_limits<long long>::max();
  // Each point owns the unit square around it, and these squares cover the
  // disc of radius ns - 1/√2: the count is at least π·(ns - 1/√2)². Past
  // the largest long long (ns above about 1.7e9) it is not counted.
  const double inner = steps - 0.70710678118654752;
  if (steps > 0 && 3.14159265358979 * inner * inner > 1.000001 * static_cast<double>(largest))
    return static_cast<long long>(largest);
  // For each row j the points with l² <= ns² - j² are the 2·lmax + 1 of
  // |l| <= lmax, lmax the integer square root. The sum is unsigned: near
  // the bound above it may pass the largest long long, never 2^64.
  const long long ns = steps;
  unsigned long long count = 0;
  for (long long j = -ns; j <= ns; ++j) {
    long long room = ns * ns - j * j;
    long long lmax = static_cast<long long>(std::sqrt(static_cast<double>(room)));
    while (lmax * lmax > room) --lmax;
    while ((lmax + 1) * (lmax + 1) <= room) ++lmax;
    count += 2 * lmax + 1;
  }
  return count > largest ? static_cast<long long>(largest) : static_cast<long long>(count);
}

void trace_and_spot(State& s) {
  Report f1;
  vertex_positions(s, s.D);
  s.Z[0] = 0;
  for (int q = 1; q <= s.NW; ++q) {
    progress(0, q, s.NW);
    f1.print(literals::kCentralBundleHeading, {q});
    for (int k = 0; k <= wide(s.NUMB) - 1; ++k) s.N[0][k] = s.N[q][k];

    // Central ray, the two rim rays, and the central ray again. The rim rays
    // spread the height for aperture kind 1 and the angle for any other.
    set_central_ray(s);
    trace_and_tabulate(s, f1);
    set_central_ray(s);
    if (s.IAP == 1) s.X[0] = s.XI[0] + s.RH; else s.U[0] = s.UI[0] + s.RU;
    trace_and_tabulate(s, f1);
    set_central_ray(s);
    if (s.IAP == 1) s.X[0] = s.XI[0] - s.RH; else s.U[0] = s.UI[0] - s.RU;
    trace_and_tabulate(s, f1);
    set_central_ray(s);
    trace_and_tabulate(s, f1);

    put_spot_diagram(s, f1, q);
    f1.put(literals::kBlockEnd);
  }
}

}  // namespace lumaveil
