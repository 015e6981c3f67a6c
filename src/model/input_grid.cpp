#include "model/input_grid.h"

#include <cerrno>
#include <cstring>

namespace lumaveil {

void InputGrid::clear(GridShape shape) {
  shape_ = shape;
  nul_bytes_ = 0;
  utf16_mark_ = false;
  std::memset(bytes_, 0, sizeof bytes_);
}

bool InputGrid::read(const char* path, GridShape shape, FileOutcome& outcome) {
  outcome = FileOutcome{.used = true};
  std::FILE* file = open_regular_file(path, FileUse::kRead, outcome.error);
  if (file == nullptr) {
    clear(shape);
    outcome.failure = "open";
    return false;
  }
  if (!fill(file, shape)) {
    outcome.failure = "read";
    outcome.error = errno != 0 ? errno : EIO;
  }
  std::fclose(file);
  outcome.nul_bytes = nul_bytes_;
  outcome.utf16_mark = utf16_mark_;
  return outcome.failure == nullptr;
}

bool InputGrid::fill(std::FILE* file, GridShape shape) {
  clear(shape);
  int column = 0, line = 0, position = 0;
  auto saturate = [&] {
    if (column > shape_.columns - 1) column = shape_.columns - 1;
    if (line > shape_.lines - 1) line = shape_.lines - 1;
    if (position > shape_.cell_bytes - 1) position = shape_.cell_bytes - 1;
  };
  int first = EOF;  // the first byte, for the byte-order mark
  long long count = 0;
  errno = 0;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    if (count == 0) first = c;
    if (count == 1) utf16_mark_ = (first == 0xFF && c == 0xFE) || (first == 0xFE && c == 0xFF);
    ++count;
    if (c == '\0') ++nul_bytes_;
    saturate();
    if (c == '\n') {
      *at(line, column, position) = '\0';
      column = 0;
      ++line;
      position = 0;
    } else if (c == '\t') {
      *at(line, column, position) = '\0';
      ++column;
      position = 0;
    } else if (c != '\r') {
      *at(line, column, position) = static_cast<char>(c);
      ++position;
    }
  }
  if (std::ferror(file)) {
    const int error = errno;
    clear(shape);
    errno = error;
    return false;
  }
  // The cell being filled at the end of the file ends as if a tab followed,
  // or keeps all it holds, terminated in its spare byte at the latest.
  const int held = position;
  saturate();
  if (shape_.end_keeps_cell) position = held;
  *at(line, column, position) = '\0';
  return true;
}

const char* InputGrid::cell(int line, int column) const {
  if (line < 0 || line >= shape_.lines || column < 0 || column >= shape_.columns) return "";
  return &bytes_[offset(line, column, 0)];
}

bool read_input_file(State& s, const char* name, GridShape shape,
                     void (*store)(State&, const InputGrid&), FileOutcome& outcome) {
  static InputGrid grid;  // 25 × 150 × 101 bytes: kept off the caller's stack
  if (!grid.read(name, shape, outcome)) return false;
  store(s, grid);
  return true;
}

}  // namespace lumaveil
