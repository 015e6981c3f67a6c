// The character grid into which both input files are read.
//
// A file is a grid of tab-separated cells: line feed ends a line, tab ends a
// cell, carriage return is ignored wherever it stands (so CR LF and LF read
// alike). Indices saturate at the grid's limits: text past the last column
// lands in the last column, lines past the last line in the last line, and
// the last position of a cell is written over by every further byte of its
// text. A line feed or tab then terminates the cell there, so that it keeps
// its first cell_bytes - 1 bytes. The cell open at the end of the file either
// ends the same way (the lens data) or keeps every byte it holds, the last
// position included (the ray set); each cell has one spare byte for that
// terminator. Cells the file never reaches are empty. Lines and columns are
// counted from 0.
#ifndef LUMAVEIL_MODEL_INPUT_GRID_H
#define LUMAVEIL_MODEL_INPUT_GRID_H

#include <cstddef>
#include <cstdio>

#include "model/file_access.h"
#include "model/state.h"

namespace lumaveil {

struct GridShape {
  int columns;
  int lines;
  int cell_bytes;          // the bytes of text a cell holds, terminator included
  bool end_keeps_cell;     // the cell open at the end of the file keeps all its bytes
};

constexpr GridShape kLensDataGrid{30, 120, 80, false};  // "IN_FM.txt"
constexpr GridShape kRaySetGrid{25, 150, 100, true};    // "IN_FM2.txt"

class InputGrid {
 public:
  // Empties the grid and reads the whole file into it, when the file is a
  // regular file. The grid is left empty, and false returned, when it cannot
  // be opened or read; `outcome` says which and why, and what bytes the file
  // held.
  bool read(const char* path, GridShape shape, FileOutcome& outcome);
  bool read(const char* path, GridShape shape) {
    FileOutcome outcome;
    return read(path, shape, outcome);
  }
  // The same from an open stream, read to its end. Returns false, with the
  // grid left empty, when reading fails.
  bool fill(std::FILE* file, GridShape shape);

  // The NUL-terminated text of a cell; "" outside the grid.
  const char* cell(int line, int column) const;

  // Of the last fill: the NUL bytes read, and whether the file began with a
  // UTF-16 byte-order mark (FF FE or FE FF).
  long long nul_bytes() const { return nul_bytes_; }
  bool utf16_mark() const { return utf16_mark_; }

 private:
  // One spare byte per cell beyond the bytes of its text.
  static constexpr std::size_t kCapacity = 25 * 150 * (100 + 1);
  static_assert(kCapacity >= 30 * 120 * (80 + 1));

  void clear(GridShape shape);
  std::size_t offset(int line, int column, int position) const {
    return (static_cast<std::size_t>(column) * shape_.lines + line) * (shape_.cell_bytes + 1) +
           position;
  }
  char* at(int line, int column, int position) { return &bytes_[offset(line, column, position)]; }

  GridShape shape_{0, 0, 0, false};
  long long nul_bytes_ = 0;
  bool utf16_mark_ = false;
  char bytes_[kCapacity];
};

// Reads the input file `name` into the one grid both input files share (it
// is kept off the caller's stack) and, when the file could be read, stores
// it with `store`. Records what became of the file in `outcome`; returns
// whether it was read.
bool read_input_file(State& s, const char* name, GridShape shape,
                     void (*store)(State&, const InputGrid&), FileOutcome& outcome);

}  // namespace lumaveil

#endif
