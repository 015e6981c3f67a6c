// The two input readers on arbitrary bytes: the grid is filled from the bytes
// as from a file, then the lens data (LUMAVEIL_FUZZ_RAY_SET undefined) or the
// ray set is stored into a fresh state.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "count_caps.h"
#include "model/input_grid.h"
#include "model/lens_data.h"
#include "model/ray_set.h"
#include "model/state.h"

namespace {

lumaveil::InputGrid grid;  // large: kept off the stack
lumaveil::State state;

// Counts the readers cut to the array sizes must stay cut.
void check_counts(const lumaveil::State& s) {
#ifdef LUMAVEIL_FUZZ_RAY_SET
  if (s.NRAY > lumaveil::kMaxRays) std::abort();
#else
  if (s.NUMB > lumaveil::kMaxSurfaces || s.NW > lumaveil::kMaxWavelengths) std::abort();
  for (int k = 0; k < lumaveil::kSurfaceSlots; ++k)
    if (std::memchr(s.CODE[k], '\0', sizeof s.CODE[k]) == nullptr) std::abort();
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  state = lumaveil::State{};
#ifdef LUMAVEIL_FUZZ_RAY_SET
  lumaveil::fuzzing::fill_from_bytes(grid, data, size, lumaveil::kRaySetGrid);
  lumaveil::store_ray_set(state, grid);
#else
  lumaveil::fuzzing::fill_from_bytes(grid, data, size, lumaveil::kLensDataGrid);
  lumaveil::store_lens_data(state, grid);
#endif
  check_counts(state);
  return 0;
}
