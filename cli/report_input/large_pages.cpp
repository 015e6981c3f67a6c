#include "cli/report_input/large_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lumaveil::cli::report_input {

void advise_large_pages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only whole large pages inside the array: its neighbours in the heap
  // keep the pages they have.
  constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t end = (start + bytes) & ~(kLargePage - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace lumaveil::cli::report_input
