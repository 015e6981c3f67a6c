// The figures of one field and wavelength as SVG: the wavefront map with its
// colour scale, the Zernike bar chart, the PSF image and its cross-sections,
// the MTF curves and the encircled energy.
#ifndef LUMAVEIL_CLI_QUALITY_FIGURES_H
#define LUMAVEIL_CLI_QUALITY_FIGURES_H

#include <string>
#include <vector>

#include "cli/plot.h"
#include "report.h"

namespace lumaveil::quality {

// The figures of `entry`, their files named after entry.tag.
std::vector<plot::Figure> entry_figures(const Entry& entry);

// Of those, the curves: PSF cross-sections, MTF, encircled energy
// (figure_curves.cpp).
std::vector<plot::Figure> curve_figures(const Entry& entry);

// A colour of the diverging map (blue, white, red) for t in -1..1, and of
// the sequential map (dark to light) for t in 0..1, as "#rrggbb".
std::string diverging_colour(double t);
std::string sequential_colour(double t);

}  // namespace lumaveil::quality

#endif
