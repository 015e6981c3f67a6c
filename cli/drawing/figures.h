// The figures of a report: what `lumaveil plot` draws. Reads the report's
// typed blocks (and the lens view for the layout and the wavelength names),
// never reruns the calculation, and gives one SVG per figure.
//
// A new kind of figure: write it in cli/drawing/<kind>_figure.cpp (its
// numbers in cli/analysis/), declare it in figure_kinds.h and add it to
// the mode's case in figures() (figures.cpp).
#ifndef LUMAVEIL_CLI_DRAWING_FIGURES_H
#define LUMAVEIL_CLI_DRAWING_FIGURES_H

#include <string>
#include <vector>

#include "cli/inputs/lens_view.h"
#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::drawing {

struct Figure {
  std::string file;  // e.g. "spot-wavelength-1.svg"
  std::string caption;
  std::string svg;
  bool wide = false;  // drawn across the page's full width (the lens layout)
};

struct FigureOptions {
  bool residuals = false;  // modes 2, 3, 5, 6: also Xa, Xs, Ya, Ys
};

// Every figure of a report. `lens` may be null (no IN_FM.txt): then the
// layout is drawn without surfaces and wavelengths are named by number.
// Remarks for the page (surfaces that could not be drawn) go to `notes`.
std::vector<Figure> figures(const report_input::ReportContents& report,
                            const inputs::LensView* lens, const FigureOptions& options,
                            std::vector<std::string>* notes = nullptr);

}  // namespace lumaveil::cli::drawing

#endif
