#include "model/ray_set.h"

#include "model/numbers.h"

namespace lumaveil {

void store_ray_set(State& s, const InputGrid& grid) {
  auto integer = [&](int line) { return parse_int(grid.cell(line, 2)); };
  auto real = [&](int line) { return parse_real(grid.cell(line, 2)); };

  s.NIT = integer(2);
  s.H = real(3);
  s.NRAY = integer(4);
  if (s.NRAY > kMaxRays) s.NRAY = kMaxRays;
  s.WXY = real(5);
  s.WUV = real(6);
  s.NITC = integer(7);
  s.NITD = integer(8);
  s.HD = real(9);

  for (int r = 0; r <= wide(s.NRAY) - 1; ++r) {
    const int line = 15 + r;
    s.XI[r] = parse_real(grid.cell(line, 1));
    s.YI[r] = parse_real(grid.cell(line, 2));
    s.UI[r] = parse_real(grid.cell(line, 3));
    s.VI[r] = parse_real(grid.cell(line, 4));
    s.XT[r] = parse_real(grid.cell(line, 5));
    s.YT[r] = parse_real(grid.cell(line, 6));
    s.UT[r] = parse_real(grid.cell(line, 7));
    s.VT[r] = parse_real(grid.cell(line, 8));
  }
}

bool read_ray_set(State& s) {
  return read_input_file(s, "IN_FM2.txt", kRaySetGrid, store_ray_set, call_files().ray_set);
}

}  // namespace lumaveil
