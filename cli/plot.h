// `lumaveil plot`: pictures of a report. Reads OUT_M.xls (and IN_FM.txt for
// the lens layout and the wavelengths), never reruns the calculation, and
// writes one SVG per plot and an index.html that shows them all.
#ifndef LUMAVEIL_CLI_PLOT_H
#define LUMAVEIL_CLI_PLOT_H

#include <array>
#include <string>
#include <vector>

#include "cli/inputs/lens_view.h"
#include "report_reader.h"
#include "svg.h"

namespace lumaveil::plot {

// Centroid, RMS radius about the centroid and geometric (largest) radius of
// the finite points.
struct SpotStats {
  double cx = 0, cy = 0, rms = 0, geometric = 0;
  int used = 0, total = 0;
};
SpotStats spot_stats(const std::vector<svg::Point>& points);

// c0 + c1 t + ... + c6 t^6.
double polynomial(const std::array<double, 7>& c, double t);
// The polynomial at `samples` evenly spaced t from -1 to 1, ends included.
std::vector<svg::Point> fit_curve(const std::array<double, 7>& c, int samples);

// A length in the lens unit (mm) as µm or mm, whichever reads better.
std::string length_text(double mm);

struct Figure {
  std::string file;     // e.g. "spot-wavelength-1.svg"
  std::string caption;
  std::string svg;
};

struct Options {
  bool residuals = false;  // modes 2, 3, 5, 6: also Xa, Xs, Ya, Ys
};

// Every plot of a report. `lens` may be null (no IN_FM.txt): then the
// layout is drawn without surfaces and wavelengths are named by number.
// Remarks for the page (surfaces that could not be drawn) go to `notes`.
std::vector<Figure> figures(const report::Report& report, const cli::inputs::LensView* lens,
                            const Options& options, std::vector<std::string>* notes = nullptr);

// The page that shows the figures, with the lens title, the mode and the date.
std::string index_html(const report::Report& report, const cli::inputs::LensView* lens,
                       const std::vector<Figure>& figures, const std::string& date,
                       const std::vector<std::string>& notes);

}  // namespace lumaveil::plot

#endif
