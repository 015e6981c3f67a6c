// What a drawing needs of the lens: a small view over the state block the
// library's reader made of IN_FM.txt (see input_files.h), so that a plot
// shows the lens that is computed, never a second reading of the file.
#ifndef LUMAVEIL_CLI_INPUTS_LENS_VIEW_H
#define LUMAVEIL_CLI_INPUTS_LENS_VIEW_H

#include <string>
#include <vector>

#include "cli/inputs/input_files.h"

namespace lumaveil::cli::inputs {

struct SurfaceView {
  int type = 0;            // 1 ideal element, 2 tilted plane, else sphere or plane
  double c = 0, d = 0;     // curvature, distance to the next surface
  double sx = 0, sy = 0;   // axis shift (tilted plane: slopes dz/dx, dz/dy)
  double index_after = 0;  // at the first wavelength (0 when there is none)
};

struct LensView {
  std::string title;  // the free text of cell A1, as UTF-8
  int aperture_kind = 0;
  std::vector<double> wavelengths;    // nm, one per wavelength 1..NW
  std::vector<SurfaceView> surfaces;  // 0 .. NUMB
  // The surface of each variable (the surfaces coded V, in order): the
  // curvature of modes 2, 5, 6 and the distance D after it of mode 3.
  std::vector<int> variable_surfaces;
  // The surfaces after which modes 5 and 6 search the distance (ND1, ND2).
  int searched[2] = {0, 0};

  // The z of the vertex of surface k in the unfolded frame: D[0] + ... + D[k-1].
  double vertex(int k) const;
  // A sphere or plane with a negative index after it reflects.
  bool mirror(int k) const;
};

// The view of the lens data read into `inputs` (IN_FM.txt must have been read).
LensView lens_view(const Inputs& inputs);

}  // namespace lumaveil::cli::inputs

#endif
