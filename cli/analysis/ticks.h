// Round numbers for axes and scale bars: the one 1-2-5 rounding of the host
// (plots and workbook charts alike), ticks on linear and logarithmic axes,
// and labels that tell the ticks apart. Numbers only; nothing is drawn.
#ifndef LUMAVEIL_CLI_ANALYSIS_TICKS_H
#define LUMAVEIL_CLI_ANALYSIS_TICKS_H

#include <string>
#include <vector>

namespace lumaveil::cli::analysis {

// How a length is rounded to 1, 2 or 5 times a power of ten: to the nearest
// such step (axis ticks), or to the largest one not above it (a scale bar
// that must fit where it is drawn).
enum class Rounding { kNearest, kAtMost };
double step_125(double target, Rounding rounding);

// A value for a label: `digits` significant digits, exponent form only for
// very large or very small magnitudes.
std::string label(double value, int digits);

struct Ticks {
  double lo = 0, hi = 1;  // the axis range: the data range widened to whole steps
  double step = 1;
  std::vector<double> values;
  std::vector<std::string> labels;
};

// About `target` ticks at 1, 2 or 5 times a power of ten covering [lo, hi].
// A range of one value is widened around it. Labels differ from tick to tick.
Ticks nice_ticks(double lo, double hi, int target = 6);
// Ticks at the powers of ten covering [lo, hi] (both positive), with 2 and 5
// added when the range spans less than two decades.
Ticks log_ticks(double lo, double hi);

}  // namespace lumaveil::cli::analysis

#endif
