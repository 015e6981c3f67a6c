// The spot diagram of mode 1 and the scans of mode 4 trace their rays two at
// a time, in batches on the worker threads. What they leave in the state
// block must be what tracing them one by one leaves: the arrays of the last
// ray (in mode 4 also its path lengths and aberration), and the start values
// where the scan of the grid ended; for one thread or several, and for
// grids of several batches.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "aberration/optical_path.h"
#include "entry/entry.h"
#include "model/aperture.h"
#include "parallel/pool.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

using testing::small_sphere_behind_a_singlet;

// The thread count for the life of the object.
class UseThreads {
 public:
  explicit UseThreads(int threads) { parallel::set_thread_count(threads); }
  ~UseThreads() { parallel::set_thread_count(0); }
};

// The state that mode `mode` leaves, run on `threads` threads on the lens of
// aperture kind `kind` with `steps` grid steps.
std::unique_ptr<State> state_after(int mode, int kind, int steps, int threads) {
  testing::ScratchDir dir;
  small_sphere_behind_a_singlet(kind, steps).write();
  auto s = std::make_unique<State>();
  UseThreads use(threads);
  run_call(*s, mode);
  return s;
}

TEST(SpotDiagram, LeavesTheStateOfTheLastRayTracedAlone) {
  for (int kind : {1, 2}) {
    for (auto [steps, threads] : {std::pair{0, 1}, {1, 1}, {2, 2}, {5, 3}, {40, 1}, {40, 3}}) {
      const auto s = state_after(1, kind, steps, threads);
      // The last point of the grid is (ns, 0); the scan ends at (ns, ns).
      auto expected = std::make_unique<State>(*s);
      set_central_ray(*expected);
      if (kind == 1) {
        expected->X[0] = expected->XI[0] + aperture_offset(steps, expected->RH, steps);
        expected->Y[0] = expected->YI[0] + aperture_offset(0, expected->RH, steps);
      } else {
        expected->U[0] = expected->UI[0] + aperture_offset(steps, expected->RU, steps);
        expected->V[0] = expected->VI[0] + aperture_offset(0, expected->RU, steps);
      }
      trace_ray(*expected);
      if (kind == 1) expected->Y[0] = expected->YI[0] + aperture_offset(steps, expected->RH, steps);
      else expected->V[0] = expected->VI[0] + aperture_offset(steps, expected->RU, steps);
      const std::string where = "aperture kind " + std::to_string(kind) + ", " +
                                std::to_string(steps) + " steps, " + std::to_string(threads) +
                                " threads";
      EXPECT_EQ(std::memcmp(s.get(), expected.get(), sizeof(State)), 0) << where;
    }
  }
}

TEST(AberrationScan, LeavesTheStateOfTheLastRayTracedAlone) {
  for (int kind : {1, 2}) {
    for (auto [steps, threads] : {std::pair{0, 1}, {1, 2}, {4, 3}, {1500, 1}, {1500, 3}}) {
      const auto s = state_after(4, kind, steps, threads);
      // The last ray is the rim ray of the y scan at the last wavelength.
      auto expected = std::make_unique<State>(*s);
      set_central_ray(*expected);
      if (kind == 2) expected->V[0] = aperture_offset(steps, expected->RU, steps) + expected->VI[0];
      else expected->Y[0] = aperture_offset(steps, expected->RH, steps) + expected->YI[0];
      trace_ray(*expected);
      path_lengths(*expected);
      wave_aberration(*expected, expected->NW);
      EXPECT_EQ(std::memcmp(s.get(), expected.get(), sizeof(State)), 0)
          << "aperture kind " << kind << ", " << steps << " steps, " << threads << " threads";
    }
  }
}

}  // namespace
}  // namespace lumaveil
