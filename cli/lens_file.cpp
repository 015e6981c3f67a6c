#include "lens_file.h"

#include <algorithm>
#include <charconv>

#include "file_bytes.h"
#include "report_reader.h"

namespace lumaveil::report {

namespace {

using Grid = std::vector<std::vector<std::string>>;

Grid split_grid(std::string_view text) {
  Grid grid(1, std::vector<std::string>(1));
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n') {
      grid.emplace_back(1);
    } else if (ch == '\t') {
      grid.back().emplace_back();
    } else {
      grid.back().back() += ch;
    }
  }
  return grid;
}

const std::string& cell(const Grid& grid, std::size_t line, std::size_t column) {
  static const std::string none;
  if (line >= grid.size() || column >= grid[line].size()) return none;
  return grid[line][column];
}

std::string_view number_text(const std::string& text) {
  std::string_view s = text;
  std::size_t start = s.find_first_not_of(" \t\v\f");
  if (start == std::string_view::npos) return {};
  s.remove_prefix(start);
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  return s;
}

double real(const Grid& grid, std::size_t line, std::size_t column) {
  std::string_view s = number_text(cell(grid, line, column));
  double value = 0;
  auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  return result.ec == std::errc() ? value : 0;
}

int integer(const Grid& grid, std::size_t line, std::size_t column) {
  std::string_view s = number_text(cell(grid, line, column));
  int value = 0;
  auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  return result.ec == std::errc() ? value : 0;
}

bool valid_utf8(std::string_view s) {
  std::size_t k = 0;
  while (k < s.size()) {
    unsigned char ch = static_cast<unsigned char>(s[k]);
    std::size_t length = ch < 0x80 ? 1 : (ch >> 5) == 6 ? 2 : (ch >> 4) == 14 ? 3 : (ch >> 3) == 30 ? 4 : 0;
    if (length == 0 || k + length > s.size()) return false;
    for (std::size_t j = 1; j < length; ++j)
      if ((static_cast<unsigned char>(s[k + j]) >> 6) != 2) return false;
    k += length;
  }
  return true;
}

}  // namespace

double LensFile::vertex(int k) const {
  double z = 0;
  for (int j = 0; j < k && j < static_cast<int>(surfaces.size()); ++j) z += surfaces[j].d;
  return z;
}

bool LensFile::mirror(int k) const {
  if (k <= 0 || k >= static_cast<int>(surfaces.size())) return false;
  const LensSurface& s = surfaces[k];
  return s.type != 1 && s.type != 2 && !(s.index_after >= 0);
}

LensFile read_lens_text(std::string_view text) {
  Grid grid = split_grid(text);
  LensFile lens;
  // The free title cell may be UTF-8 or Shift_JIS.
  const std::string& title = cell(grid, 0, 0);
  lens.title = valid_utf8(title) ? title : decode_cp932(title);
  lens.aperture_kind = integer(grid, 2, 2);
  int numb = std::min(integer(grid, 12, 1), 100);
  int nw = std::min(integer(grid, 13, 1), 20);
  for (int q = 1; q <= nw; ++q) lens.wavelengths.push_back(real(grid, 15, 7 + q));
  for (int k = 0; k <= numb; ++k) {
    std::size_t line = 17 + static_cast<std::size_t>(k);
    LensSurface s;
    s.type = integer(grid, line, 1);
    s.c = real(grid, line, 2);
    s.d = real(grid, line, 3);
    s.sx = real(grid, line, 4);
    s.sy = real(grid, line, 5);
    s.index_after = real(grid, line, 8);
    lens.surfaces.push_back(s);
  }
  return lens;
}

bool read_lens_file(const std::string& path, LensFile& lens) {
  std::string bytes, reason;
  if (!cli::read_regular_file(path, bytes, reason)) return false;
  lens = read_lens_text(bytes);
  return true;
}

}  // namespace lumaveil::report
