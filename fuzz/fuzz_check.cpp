// `lumaveil check` on arbitrary input files, its report to /dev/null.
//
// The input is "IN_FM.txt", then a NUL byte and "IN_FM2.txt"; without a NUL
// there is no ray-set file. Both are written into a scratch directory where
// the check runs. Its status is 0 (nothing found) or 1 (findings).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "cli/commands/check.h"
#include "support/fuzz_scratch.h"

namespace {

std::FILE* sink = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lumaveil::fuzzing::make_scratch({"IN_FM.txt", "IN_FM2.txt"});
  sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const lumaveil::fuzzing::InScratch in_scratch;
  lumaveil::fuzzing::write_inputs(lumaveil::fuzzing::split_input(data, size));
  const int status = lumaveil::cli::commands::run_check(sink);
  if (status != 0 && status != 1) std::abort();
  return 0;
}
