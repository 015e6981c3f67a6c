#include "cli/inputs/lens_view.h"

#include "cli/report_input/text.h"

namespace lumaveil::cli::inputs {

namespace {

// Cell A1 in full. The grid keeps a cell's first 79 bytes; the title is no
// number the calculation reads, so it is taken whole from the bytes of the
// first line, up to its first tab.
std::string title_of(const std::string& bytes) {
  const std::size_t end = bytes.find_first_of("\t\n");
  std::string title;
  for (char ch : bytes.substr(0, end))
    if (ch != '\r') title += ch;
  return report_input::as_utf8(title);
}

}  // namespace

double LensView::vertex(int k) const {
  double z = 0;
  for (int j = 0; j < k && j < static_cast<int>(surfaces.size()); ++j) z += surfaces[j].d;
  return z;
}

bool LensView::mirror(int k) const {
  if (k <= 0 || k >= static_cast<int>(surfaces.size())) return false;
  const SurfaceView& s = surfaces[k];
  return s.type != 1 && s.type != 2 && !(s.index_after >= 0);
}

LensView lens_view(const Inputs& inputs) {
  const State& s = inputs.lens;
  LensView lens;
  lens.title = title_of(inputs.lens_file.bytes);
  lens.aperture_kind = s.IAP;
  for (int q = 1; q <= s.NW; ++q) lens.wavelengths.push_back(s.WL[q]);
  for (int k = 0; k <= s.NUMB; ++k)
    lens.surfaces.push_back(
        {s.TYPE[k], s.C[k], s.D[k], s.Xd[k], s.Yd[k], s.NW >= 1 ? s.N[1][k] : 0});
  for (int k = 0; k < s.NUMB; ++k)
    if (s.CODE[k][0] == 'V') lens.variable_surfaces.push_back(k);
  lens.searched[0] = s.ND[1];
  lens.searched[1] = s.ND[2];
  return lens;
}

}  // namespace lumaveil::cli::inputs
