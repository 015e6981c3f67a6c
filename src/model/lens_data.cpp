#include "model/lens_data.h"

#include <cstring>

#include "model/numbers.h"
#include "model/codes.h"

namespace lumaveil {

void store_lens_data(State& s, const InputGrid& grid) {
  auto integer = [&](int line, int column) { return parse_int(grid.cell(line, column)); };
  auto real = [&](int line, int column) { return parse_real(grid.cell(line, column)); };

  // Aperture and central ray.
  s.IAP = integer(2, 2);
  s.NS = integer(3, 2);
  s.RH = real(4, 2);
  s.RU = real(5, 2);
  s.UI[0] = real(6, 2);
  s.VI[0] = real(7, 2);
  s.XI[0] = real(8, 2);
  s.YI[0] = real(9, 2);

  // Counts, cut to the sizes of the arrays.
  s.NUMB = integer(12, 1);
  if (s.NUMB > kMaxSurfaces) s.NUMB = kMaxSurfaces;
  s.NW = integer(13, 1);
  if (s.NW > kMaxWavelengths) s.NW = kMaxWavelengths;
  s.ND[1] = integer(13, 3);
  s.ND[2] = integer(13, 4);

  // One row per surface k = 0..NUMB.
  for (int k = 0; k <= s.NUMB; ++k) {
    const int line = 17 + k;
    s.TYPE[k] = integer(line, 1);
    s.C[k] = real(line, 2);
    s.D[k] = real(line, 3);
    s.Xd[k] = real(line, 4);
    s.Yd[k] = real(line, 5);
    const char* code = grid.cell(line, 6);
    std::size_t length = std::strlen(code);
    if (length > 100) length = 100;
    std::memcpy(s.CODE[k], code, length);
    s.CODE[k][length] = '\0';
    s.LINK[k] = integer(line, 7);
    for (int q = 1; q <= s.NW; ++q) s.N[q][k] = real(line, 7 + q);
  }

  for (int q = 1; q <= s.NW; ++q) {
    s.WL[q] = real(15, 7 + q);
    s.WQ[q] = real(16, 7 + q);
  }

  // Number the variable surfaces; surface NUMB is never a variable.
  s.NV = 0;
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k) {
    if (is_variable(s, k)) {
      s.IV[k] = s.NV;
      ++s.NV;
    }
  }
}

bool read_lens_data(State& s) {
  return read_input_file(s, "IN_FM.txt", kLensDataGrid, store_lens_data, call_files().lens_data);
}

}  // namespace lumaveil
