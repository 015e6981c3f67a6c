#include "cli/drawing/figure_text.h"

#include <cmath>

#include "cli/analysis/ticks.h"

namespace lumaveil::cli::drawing {

using analysis::label;

std::string length_text(double mm) {
  double magnitude = std::fabs(mm);
  if (magnitude != 0 && magnitude < 1) return label(mm * 1000, 4) + " µm";
  return label(mm, 4) + " mm";
}

std::string angle_text(double rad) {
  double magnitude = std::fabs(rad);
  if (magnitude != 0 && magnitude < 1e-3) return label(rad * 1e6, 4) + " µrad";
  if (magnitude != 0 && magnitude < 1) return label(rad * 1e3, 4) + " mrad";
  return label(rad, 4) + " rad";
}

std::string wavelength_name(const inputs::LensView* lens, int q) {
  if (lens != nullptr && q >= 1 && q <= static_cast<int>(lens->wavelengths.size()))
    return label(lens->wavelengths[static_cast<std::size_t>(q - 1)], 6) + " nm";
  return "wavelength " + std::to_string(q);
}

std::string image_surface(const inputs::LensView* lens) {
  // The view holds surfaces 0 .. NUMB.
  if (lens == nullptr || lens->surfaces.size() < 2) return "image surface";
  return "image surface (surface " + std::to_string(lens->surfaces.size() - 2) + ")";
}

std::string count_note(int left_out, int total, const char* what) {
  return std::to_string(left_out) + " of " + std::to_string(total) + " " + what;
}

}  // namespace lumaveil::cli::drawing
