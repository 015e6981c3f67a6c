// What the drawings need from the lens data file IN_FM.txt: the title, the
// aperture kind, the wavelengths and the surfaces. Read only to draw; the
// calculation reads the file itself.
#ifndef LUMAVEIL_CLI_LENS_FILE_H
#define LUMAVEIL_CLI_LENS_FILE_H

#include <string>
#include <string_view>
#include <vector>

namespace lumaveil::report {

struct LensSurface {
  int type = 0;          // 1 ideal element, 2 tilted plane, else sphere or plane
  double c = 0, d = 0;   // curvature, distance to the next surface
  double sx = 0, sy = 0; // axis shift (tilted plane: slopes dz/dx, dz/dy)
  double index_after = 1;  // at the first wavelength
};

struct LensFile {
  std::string title;  // line 0, column 0, as UTF-8
  int aperture_kind = 0;
  std::vector<double> wavelengths;   // nm, one per wavelength
  std::vector<LensSurface> surfaces; // 0 .. NUMB

  // The z of the vertex of surface k in the unfolded frame: D[0] + ... + D[k-1].
  double vertex(int k) const;
  // A sphere or plane with a negative index after it reflects.
  bool mirror(int k) const;
};

// Reads the text of IN_FM.txt the way the library reads its cells: tab ends a
// cell, LF a line, CR is ignored, a number is the longest numeric prefix
// after blanks, a cell without one reads 0.
LensFile read_lens_text(std::string_view text);
// false when the file cannot be opened.
bool read_lens_file(const std::string& path, LensFile& lens);

}  // namespace lumaveil::report

#endif
