// The kinds of figure, one file each; figures() picks those of a report's mode.
#ifndef LUMAVEIL_CLI_DRAWING_FIGURE_KINDS_H
#define LUMAVEIL_CLI_DRAWING_FIGURE_KINDS_H

#include <string>
#include <vector>

#include "cli/drawing/figures.h"

namespace lumaveil::cli::drawing {

// Mode 1 (spot_figure.cpp): a spot diagram per wavelength, and all overlaid.
void spot_figures(const report_input::ReportContents& r, const inputs::LensView* lens,
                  std::vector<Figure>& out);
// Mode 1 (layout_figure.cpp): the lens with the central and rim rays.
Figure layout_figure(const report_input::ReportContents& r, const inputs::LensView* lens,
                     std::vector<std::string>& notes);
// Mode 4 (scan_figure.cpp): aberration and ray intercept per wavelength.
void aberration_figures(const report_input::ReportContents& r, const inputs::LensView* lens,
                        std::vector<Figure>& out);
// Modes 2, 3, 5, 6 (history_figure.cpp): the histories of the optimisation.
void history_figures(const report_input::ReportContents& r, const inputs::LensView* lens,
                     const FigureOptions& options, std::vector<Figure>& out);

}  // namespace lumaveil::cli::drawing

#endif
