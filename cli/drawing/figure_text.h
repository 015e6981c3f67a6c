// Words and numbers written into the figures: lengths and angles in their
// best unit, the name of a wavelength, a count of what was left out.
#ifndef LUMAVEIL_CLI_DRAWING_FIGURE_TEXT_H
#define LUMAVEIL_CLI_DRAWING_FIGURE_TEXT_H

#include <string>

#include "cli/inputs/lens_view.h"

namespace lumaveil::cli::drawing {

// A length in the lens unit (mm) as µm or mm, whichever reads better.
std::string length_text(double mm);
// An angle in rad as µrad, mrad or rad.
std::string angle_text(double rad);
// Wavelength q (from 1) as its value in nm when the lens gives it.
std::string wavelength_name(const inputs::LensView* lens, int q);
// The surface every report evaluates, surface NUMB-1, in the user's words:
// "image surface (surface 7)", or "image surface" without the lens file.
std::string image_surface(const inputs::LensView* lens);
// "3 of 25 rays missed"
std::string count_note(int left_out, int total, const char* what);

}  // namespace lumaveil::cli::drawing

#endif
