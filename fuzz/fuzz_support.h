// Helpers shared by the fuzz harnesses.
#ifndef LUMAVEIL_FUZZ_SUPPORT_H
#define LUMAVEIL_FUZZ_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/input_grid.h"

namespace lumaveil::fuzzing {

// Fills the grid from the bytes as from a file holding them.
inline void fill_from_bytes(InputGrid& grid, const void* data, std::size_t size, GridShape shape) {
  std::FILE* file = size > 0 ? fmemopen(const_cast<void*>(data), size, "rb")
                             : std::fopen("/dev/null", "rb");
  if (file == nullptr) std::abort();
  grid.fill(file, shape);
  std::fclose(file);
}

}  // namespace lumaveil::fuzzing

#endif
