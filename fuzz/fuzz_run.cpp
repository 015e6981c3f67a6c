// Whole runs of one mode (LUMAVEIL_FUZZ_MODE, 1 to 6) on arbitrary input files.
//
// The input is "IN_FM.txt", then a NUL byte and "IN_FM2.txt"; without a NUL
// there is no ray-set file. Both are written into a scratch directory, the
// core runs there from a fresh state, and the report it leaves is read back.
//
// Counts that only make a run long are capped before the files are written
// (count_caps.h), so that every run ends in well under a second: NS at 4;
// NIT at 3; NITC and NITD at 2; NRAY at 10; and in the optimising modes NUMB
// at 40 (elsewhere the reader's own cut to 100 stays).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "count_caps.h"
#include "entry/entry.h"
#include "model/input_grid.h"
#include "model/numbers.h"
#include "model/state.h"
#include "support/fuzz_scratch.h"

#ifndef LUMAVEIL_FUZZ_MODE
#error "LUMAVEIL_FUZZ_MODE must be 1 to 6"
#endif

namespace {

using lumaveil::fuzzing::CountCap;

constexpr bool kOptimising = LUMAVEIL_FUZZ_MODE == 2 || LUMAVEIL_FUZZ_MODE == 3 ||
                             LUMAVEIL_FUZZ_MODE == 5 || LUMAVEIL_FUZZ_MODE == 6;
// Line, column and cap of NS and NUMB; of NIT, NRAY, NITC and NITD.
constexpr CountCap kLensCounts[] = {{3, 2, 4}, {12, 1, kOptimising ? 40 : lumaveil::kMaxSurfaces}};
constexpr CountCap kRaySetCounts[] = {{2, 2, 3}, {4, 2, 10}, {7, 2, 2}, {8, 2, 2}};

lumaveil::InputGrid grid;  // large: kept off the stack
lumaveil::State state;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lumaveil::fuzzing::make_scratch({"IN_FM.txt", "IN_FM2.txt", "OUT_M.xls"});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumaveil::fuzzing::InputFiles files = lumaveil::fuzzing::split_input(data, size);
  files.lens = lumaveil::fuzzing::capped(files.lens, lumaveil::kLensDataGrid, kLensCounts, grid);
  if (files.ray_set)
    files.ray_set =
        lumaveil::fuzzing::capped(*files.ray_set, lumaveil::kRaySetGrid, kRaySetCounts, grid);

  const lumaveil::fuzzing::InScratch in_scratch;
  lumaveil::fuzzing::write_inputs(files);
  std::remove("OUT_M.xls");

  state = lumaveil::State{};
  lumaveil::run_call(state, LUMAVEIL_FUZZ_MODE);

  // Every mode leaves a report, if only one line.
  if (std::FILE* report = std::fopen("OUT_M.xls", "rb")) std::fclose(report);
  else std::abort();
  return 0;
}
