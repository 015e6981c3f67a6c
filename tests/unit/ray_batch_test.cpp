// The spot grid of mode 1 and the scans of mode 4 go to the worker pool in
// batches, one batch traced while the one before is written. Their rows must
// be those of the rays traced one by one on the state block, in order: for
// grids of many batches, at 1, 2 and 3 threads, with rays that miss a
// surface (rows of not-a-number values), with rows too long for a task's
// text, and with the calling thread's rounding mode.
#include "report/ray_batch.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <memory>
#include <string>

#include "aberration/fit_polynomial.h"
#include "aberration/optical_path.h"
#include "entry/entry.h"
#include "model/aperture.h"
#include "parallel/pool.h"
#include "report/literals.h"
#include "support/format_text.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

using testing::LensFile;
using testing::small_sphere_behind_a_singlet;

using testing::format_text;

// The lens of the input file in a fresh state block, ready to trace at
// wavelength q.
std::unique_ptr<State> lens_at_wavelength(int q) {
  auto s = std::make_unique<State>();
  run_call(*s, 0);  // reads IN_FM.txt only
  vertex_positions(*s, s->D);
  for (int k = 0; k <= s->NUMB; ++k) s->N[0][k] = s->N[q][k];
  return s;
}

// The spot diagram's column line, rows and block end for wavelength q,
// each grid ray traced on its own on the state block.
std::string spot_rows_one_by_one(int q) {
  auto s = lens_at_wavelength(q);
  const long long ns = s->NS;
  const int last = s->NUMB - 1;
  std::string out = literals::kSpotColumns;
  long long n = 0;
  for (long long j = -ns; j <= ns; ++j)
    for (long long l = -ns; l <= ns; ++l) {
      if (j * j + l * l > ns * ns) continue;
      set_central_ray(*s);
      if (s->IAP == 1) s->X[0] = s->XI[0] + aperture_offset(j, s->RH, s->NS);
      if (s->IAP == 1) s->Y[0] = s->YI[0] + aperture_offset(l, s->RH, s->NS);
      if (s->IAP == 2) s->U[0] = s->UI[0] + aperture_offset(j, s->RU, s->NS);
      if (s->IAP == 2) s->V[0] = s->VI[0] + aperture_offset(l, s->RU, s->NS);
      trace_ray(*s);
      out += format_text(literals::kSpotRow, {++n, s->U[last], s->V[last], s->X[last], s->Y[last]});
    }
  return out + literals::kBlockEnd;
}

// One scan of mode 4, each ray traced on its own, and its fit.
std::string scan_one_by_one(State& s, int j, bool along_x) {
  const int M = s.NS, last = s.NUMB - 1;
  std::string out = along_x ? literals::kUScanColumns : literals::kVScanColumns;
  PowerSums sums;
  clear_power_sums(sums);
  for (long long l = -M; l <= M; ++l) {
    set_central_ray(s);
    const double* half = s.IAP == 2 ? &s.RU : &s.RH;
    double* start = s.IAP == 2 ? (along_x ? &s.U[0] : &s.V[0]) : (along_x ? &s.X[0] : &s.Y[0]);
    *start = aperture_offset(l, *half, M) + *start;
    trace_ray(s);
    path_lengths(s);
    wave_aberration(s, j);
    out += along_x ? format_text(literals::kScanRow, {s.U[0], s.X[last], s.U[last], s.AB})
                   : format_text(literals::kScanRow, {s.V[0], s.Y[last], s.V[last], s.AB});
    add_sample(sums, scan_abscissa(l, M), s.AB);
  }
  solve_power_sums(s, sums);
  for (int p = 0; p <= 6; ++p) out += format_text(literals::kCoefficientLine, {p, s.DX[p]});
  return out + literals::kScanEnd;
}

// The whole mode-4 report, every ray traced on its own.
std::string aberration_report_one_by_one() {
  auto s = lens_at_wavelength(1);
  std::string out;
  for (int j = 1; j <= s->NW; ++j) {
    for (int k = 0; k <= s->NUMB; ++k) s->N[0][k] = s->N[j][k];
    set_central_ray(*s);
    trace_ray(*s);
    path_lengths(*s);
    s->OPR = 0.0;
    for (int k = 0; k <= s->NUMB - 2; ++k) s->OPR = s->OPR + s->OPL[k];
    s->Xr = s->X[s->NUMB - 1];
    s->Yr = s->Y[s->NUMB - 1];
    out += format_text(literals::kWavelengthLine, {s->WL[j]});
    out += scan_one_by_one(*s, j, true);
    out += scan_one_by_one(*s, j, false);
  }
  return out;
}

// The report of one mode at `threads` threads.
std::string report_at(int mode, int threads) {
  parallel::set_thread_count(threads);
  auto s = std::make_unique<State>();
  run_call(*s, mode);
  parallel::set_thread_count(0);
  return testing::read_file("OUT_M.xls");
}

// The spot section of wavelength q in a mode-1 report: from the column
// line on, as long as `want`.
std::string spot_section(const std::string& report, int q, const std::string& want) {
  std::size_t at = 0;
  for (int block = 1; block <= q && at != std::string::npos; ++block)
    at = report.find(literals::kSpotColumns, at + 1);
  return at == std::string::npos ? "(none)" : report.substr(at, want.size());
}

// Rays 1e300 from the axis through planes: each row holds numbers of three
// hundred digits, more than a task's text takes, so most rows are
// formatted when the batch is written.
LensFile planes_far_from_the_axis(int steps) {
  return LensFile{.aperture_kind = 1, .steps = steps, .RH = 3e299, .U = 0.001, .X = 1e300,
                  .Y = -2e300, .wavelengths = {587.6}, .weights = {1},
                  .surfaces = {{.D = 10, .n = {1}}, {.D = 4, .n = {1.5}}, {.D = 20, .n = {1}}, {.n = {1}}}};
}

TEST(RayBatch, SpotRowsOfManyBatchesAreThoseOfRaysTracedOneByOne) {
  for (int kind : {1, 2}) {
    testing::ScratchDir dir;
    small_sphere_behind_a_singlet(kind, 45).write();  // 6,361 rays per wavelength
    const std::string want[] = {spot_rows_one_by_one(1), spot_rows_one_by_one(2)};
    ASSERT_NE(want[0].find("nan"), std::string::npos) << "the lens should lose some rays";
    for (int threads : {1, 2, 3}) {
      const std::string report = report_at(1, threads);
      for (int q : {1, 2})
        EXPECT_EQ(testing::first_difference(want[q - 1], spot_section(report, q, want[q - 1])), "")
            << "aperture kind " << kind << ", wavelength " << q << ", " << threads << " threads";
    }
  }
}

TEST(RayBatch, RowsTooLongForATasksTextAreWrittenInTheirPlace) {
  testing::ScratchDir dir;
  planes_far_from_the_axis(20).write();
  const std::string want = spot_rows_one_by_one(1);
  ASSERT_GT(want.size(), 600000u);  // 1,257 rows of some 620 bytes
  for (int threads : {1, 3})
    EXPECT_EQ(testing::first_difference(want, spot_section(report_at(1, threads), 1, want)), "")
        << threads << " threads";
}

TEST(RayBatch, ScansOfManyBatchesAreThoseOfRaysTracedOneByOne) {
  for (int kind : {1, 2}) {
    testing::ScratchDir dir;
    small_sphere_behind_a_singlet(kind, 1600).write();  // 3,201 rays per scan
    const std::string want = aberration_report_one_by_one();
    for (int threads : {1, 2, 3})
      EXPECT_EQ(testing::first_difference(want, report_at(4, threads)), "")
          << "aperture kind " << kind << ", " << threads << " threads";
  }
}

// The workers round as the calling thread does (under 32-bit Windows also
// with its x87 precision). Rounding downward, x - x is -0 instead of +0: the
// grid rays that start on the axis in x or y, in every part of the grid,
// then end with other signed zeros. The rows must be the same at every
// thread count.
TEST(RayBatch, WorkersRoundAsTheCallingThread) {
  testing::ScratchDir dir;
  LensFile{.aperture_kind = 1, .steps = 30, .RH = 4,
           .surfaces = {{.D = 10, .n = {1}}, {.C = 0.04, .D = 4, .n = {1.52}},
                        {.C = -0.01, .D = 40, .n = {1}}, {.n = {1}}, {.n = {1}}}}
      .write();
  // Three threads first, so that the workers start out rounding to nearest
  // (a new thread takes the rounding of the thread that starts it).
  const std::string nearest = report_at(1, 3);
  ASSERT_EQ(std::fesetround(FE_DOWNWARD), 0);
  const std::string downward[] = {report_at(1, 1), report_at(1, 3)};
  std::fesetround(FE_TONEAREST);
  EXPECT_NE(downward[0], nearest);
  EXPECT_EQ(testing::first_difference(downward[0], downward[1]), "");
}

}  // namespace
}  // namespace lumaveil
