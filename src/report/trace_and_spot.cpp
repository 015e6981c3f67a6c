#include "report/trace_and_spot.h"

#include <cmath>
#include <limits>

#include "entry/progress.h"
#include "model/aperture.h"
#include "report/literals.h"
#include "report/report.h"
#include "report/trace_table.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

void trace_and_tabulate(State& s, Report& f1) {
  trace_ray(s);
  put_trace_table(s, f1);
}

// A spot ray found but not yet traced: its number and its start.
struct SpotRay {
  long long n;
  double x, y, u, v;
};

// The arrays on which the first ray of a pair is traced; the second is
// traced on the state block, which so ends as if the rays ran one by one.
RayArrays side;

SpotRay spot_ray_at_start(const State& s, long long n) {
  return {n, s.X[0], s.Y[0], s.U[0], s.V[0]};
}

void put_spot_row(Report& f1, long long n, const double* x, const double* y, const double* u,
                  const double* v, int last) {
  f1.print(literals::kSpotRow, {n, u[last], v[last], x[last], y[last]});
}

// Traces ray a on the side arrays and the ray whose start the state block
// holds on the state, side by side; their rows in order.
void trace_spot_pair(State& s, Report& f1, const SpotRay& a, long long n, int last) {
  side.X[0] = a.x;
  side.Y[0] = a.y;
  side.U[0] = a.u;
  side.V[0] = a.v;
  side.Z[0] = s.Z[0];
  const TraceSurfaces surfaces = surfaces_of(s);
  trace_steps_side_by_side(surfaces, side.ray(), 0, surfaces, ray_of(s), 0);
  put_spot_row(f1, a.n, side.X, side.Y, side.U, side.V, last);
  put_spot_row(f1, n, s.X, s.Y, s.U, s.V, last);
}

// Traces ray a alone on the state block; its start is then put back to
// what the scan left there.
void trace_spot_alone(State& s, Report& f1, const SpotRay& a, int last) {
  const SpotRay scan = spot_ray_at_start(s, 0);
  s.X[0] = a.x;
  s.Y[0] = a.y;
  s.U[0] = a.u;
  s.V[0] = a.v;
  trace_ray(s);
  put_spot_row(f1, a.n, s.X, s.Y, s.U, s.V, last);
  s.X[0] = scan.x;
  s.Y[0] = scan.y;
  s.U[0] = scan.u;
  s.V[0] = scan.v;
}

// The spot diagram of one wavelength; the ray holds the central values.
// The rays are traced two at a time, so that the processor overlaps their
// chains of library calls; the rows come in their own order.
void put_spot_diagram(State& s, Report& f1, int q) {
  const long long ns = s.NS;
  const long long points = spot_count(s.NS);
  f1.print(literals::kSpotDiagramHeading, {q, points});
  f1.put(literals::kSpotColumns);
  if (s.NUMB <= 0) return;  // no surface NUMB-1 to report
  const int last = s.NUMB - 1;
  long long n = 0;
  bool waiting = false;
  SpotRay first{};
  for (long long j = -ns; j <= ns; ++j) {
    if (s.IAP == 1) s.X[0] = s.XI[0] + aperture_offset(j, s.RH, s.NS);
    if (s.IAP == 2) s.U[0] = s.UI[0] + aperture_offset(j, s.RU, s.NS);
    for (long long l = -ns; l <= ns; ++l) {
      if (s.IAP == 1) s.Y[0] = s.YI[0] + aperture_offset(l, s.RH, s.NS);
      if (s.IAP == 2) s.V[0] = s.VI[0] + aperture_offset(l, s.RU, s.NS);
      if (j * j + l * l <= ns * ns) {
        ++n;
        progress(1, n, points);
        if (!waiting) {
          first = spot_ray_at_start(s, n);
          waiting = true;
        } else {
          trace_spot_pair(s, f1, first, n, last);
          waiting = false;
        }
      }
    }
  }
  if (waiting) trace_spot_alone(s, f1, first, last);
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
