// The character grid into which both input files are read.
//
// A file is a grid of tab-separated cells: line feed ends a line, tab ends a
// cell, carriage return is ignored wherever it stands (so CR LF and LF read
// alike). Indices saturate at the grid's limits: text past the last column
// lands in the last column, lines past the last line in the last line, and a
// cell keeps its first cell_bytes - 1 bytes. Cells the file never reaches are
// empty. Lines and columns are counted from 0.
#ifndef LUMAVEIL_MODEL_INPUT_GRID_H
#define LUMAVEIL_MODEL_INPUT_GRID_H

#include <cstddef>
#include <cstdio>

namespace lumaveil {

struct GridShape {
  int columns;
  int lines;
  int cell_bytes;  // terminator included
};

constexpr GridShape kLensDataGrid{30, 120, 80};   // "IN_FM.txt"
constexpr GridShape kRaySetGrid{25, 150, 100};    // "IN_FM2.txt"

class InputGrid {
 public:
  // Empties the grid and reads the whole file into it. Returns false, with
  // the grid left empty, when the file cannot be opened.
  bool read(const char* path, GridShape shape);
  // The same from an open stream, read to its end.
  void fill(std::FILE* file, GridShape shape);

  // The NUL-terminated text of a cell; "" outside the grid.
  const char* cell(int line, int column) const;

 private:
  static constexpr std::size_t kCapacity = 25 * 150 * 100;
  static_assert(kCapacity >= 30 * 120 * 80);

  char* at(int column, int line, int position) {
    return &bytes_[(static_cast<std::size_t>(column) * shape_.lines + line) *
                       shape_.cell_bytes + position];
  }

  GridShape shape_{0, 0, 0};
  char bytes_[kCapacity];
};

}  // namespace lumaveil

#endif
