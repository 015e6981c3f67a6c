// The figures of one field and wavelength as SVG: the wavefront map with its
// colour scale, the Zernike bar chart, the PSF image and its cross-sections,
// the MTF curves and the encircled energy.
#ifndef LUMAVEIL_CLI_QUALITY_FIGURES_H
#define LUMAVEIL_CLI_QUALITY_FIGURES_H

#include <string>
#include <vector>

#include "cli/drawing/figures.h"
#include "cli/quality/report.h"

namespace lumaveil::cli::quality {

// The figures of `entry`, their files named after entry.tag.
std::vector<drawing::Figure> entry_figures(const Entry& entry);

// Of those, the curves: PSF cross-sections, MTF, encircled energy
// (figure_curves.cpp).
std::vector<drawing::Figure> curve_figures(const Entry& entry);

// A colour of the diverging map (blue, white, red) for t in -1..1, and of
// the sequential map (dark to light) for t in 0..1, as "#rrggbb".
std::string diverging_colour(double t);
std::string sequential_colour(double t);

}  // namespace lumaveil::cli::quality

#endif
