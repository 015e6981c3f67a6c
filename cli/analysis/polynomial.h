// The degree-6 polynomials of mode 4's fits: their value, and samples of the
// curve over the normalised pupil coordinate t = -1 .. 1.
#ifndef LUMAVEIL_CLI_ANALYSIS_POLYNOMIAL_H
#define LUMAVEIL_CLI_ANALYSIS_POLYNOMIAL_H

#include <array>
#include <vector>

#include "cli/analysis/point.h"

namespace lumaveil::cli::analysis {

// c0 + c1 t + ... + c6 t^6.
double polynomial(const std::array<double, 7>& c, double t);
// The polynomial at `samples` evenly spaced t from -1 to 1, ends included.
std::vector<Point> fit_curve(const std::array<double, 7>& c, int samples);

}  // namespace lumaveil::cli::analysis

#endif
