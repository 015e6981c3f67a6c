// Capping the counts of an input file that only make a run long, for the
// whole-run fuzz harnesses.
//
// A count cell whose number (as the core reads it) is above its cap is
// replaced by the cap; the file is then rewritten from its grid cell by cell,
// tab-separated, one line per grid line, no line feed after the last. That
// text reads back as the same grid, because cells hold no tab, line feed or
// carriage return, and no cell, line or column is lost. A file with every
// count within its cap comes back byte for byte. Counts below zero and every
// other cell are left as they are.
#ifndef LUMAVEIL_FUZZ_COUNT_CAPS_H
#define LUMAVEIL_FUZZ_COUNT_CAPS_H

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "model/input_grid.h"
#include "model/numbers.h"

namespace lumaveil::fuzzing {

struct CountCap {
  int line, column, cap;
};

// Fills the grid from the bytes as from a file holding them.
inline void fill_from_bytes(InputGrid& grid, const void* data, std::size_t size, GridShape shape) {
  std::FILE* file = size > 0 ? fmemopen(const_cast<void*>(data), size, "rb")
                             : std::fopen("/dev/null", "rb");
  if (file == nullptr) std::abort();
  grid.fill(file, shape);
  std::fclose(file);
}

// The file text `bytes` with its counts capped; `grid` is scratch space.
inline std::string capped(const std::string& bytes, GridShape shape,
                          std::span<const CountCap> caps, InputGrid& grid) {
  fill_from_bytes(grid, bytes.data(), bytes.size(), shape);
  auto above_cap = [&](const CountCap& c) {
    return parse_int(grid.cell(c.line, c.column)) > c.cap;
  };
  bool within = true;
  for (const CountCap& c : caps) within = within && !above_cap(c);
  if (within) return bytes;
  std::string text;
  for (int line = 0; line < shape.lines; ++line) {
    // No line feed after the last line: it would end there and begin the
    // last line again, emptying its first cell.
    if (line > 0) text += '\n';
    for (int column = 0; column < shape.columns; ++column) {
      std::string cell = grid.cell(line, column);
      for (const CountCap& c : caps)
        if (c.line == line && c.column == column && above_cap(c)) cell = std::to_string(c.cap);
      if (column > 0) text += '\t';
      text += cell;
    }
  }
  return text;
}

}  // namespace lumaveil::fuzzing

#endif
