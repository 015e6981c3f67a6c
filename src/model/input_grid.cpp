#include "model/input_grid.h"

#include <cstring>

namespace lumaveil {

bool InputGrid::read(const char* path, GridShape shape) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) {
    shape_ = shape;
    std::memset(bytes_, 0, sizeof bytes_);
    return false;
  }
  fill(file, shape);
  std::fclose(file);
  return true;
}

void InputGrid::fill(std::FILE* file, GridShape shape) {
  shape_ = shape;
  std::memset(bytes_, 0, sizeof bytes_);
  int column = 0, line = 0, position = 0;
  auto saturate = [&] {
    if (column > shape_.columns - 1) column = shape_.columns - 1;
    if (line > shape_.lines - 1) line = shape_.lines - 1;
    if (position > shape_.cell_bytes - 1) position = shape_.cell_bytes - 1;
  };
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    saturate();
    if (c == '\n') {
      *at(column, line, position) = '\0';
      column = 0;
      ++line;
      position = 0;
    } else if (c == '\t') {
      *at(column, line, position) = '\0';
      ++column;
      position = 0;
    } else if (c != '\r') {
      *at(column, line, position) = static_cast<char>(c);
      ++position;
    }
  }
  // The cell being filled at the end of the file ends as if a tab followed.
  saturate();
  *at(column, line, position) = '\0';
}

const char* InputGrid::cell(int line, int column) const {
  if (line < 0 || line >= shape_.lines || column < 0 || column >= shape_.columns) return "";
  return &bytes_[(static_cast<std::size_t>(column) * shape_.lines + line) * shape_.cell_bytes];
}

}  // namespace lumaveil
